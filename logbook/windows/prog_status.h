#pragma once
// The log status window of the File menu's Info command.
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace korval {

struct TLogStatusInfo {
    bool open = false;
    std::string fileName;
    long qsos = 0;
    long notes = 0;
    long swl = 0;
};

class TProgStatus : public QDialog {
    Q_OBJECT
public:
    explicit TProgStatus(const TLogStatusInfo& info, QWidget* parent = nullptr);

    QLabel* F_fpn;
    QLabel* F_nrq;
    QLabel* F_nrNotes;
    QLabel* F_NrSWL;
    QPushButton* Button1;
};

} // namespace korval
