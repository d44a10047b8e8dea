#pragma once
// "Announce DX": call, frequency, QSX frequency and remarks of a spot the operator sends to the
// cluster.
#include <QDialog>

#include <string>

class QPushButton;

namespace korval {

class TOvcNumericField;
class TOvcSimpleField;

struct TAnnouncement {
    std::string call;
    double kHz = 0;
    double qsxKHz = 0;  // 0: none
    std::string remarks;
};

class TAnnounceDXDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAnnounceDXDialog(const TAnnouncement& prefill, QWidget* parent = nullptr);

    TOvcSimpleField* F_call = nullptr;
    TOvcNumericField* F_AVFO = nullptr;
    TOvcNumericField* F_BVFO = nullptr;
    TOvcSimpleField* F_Remarks = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

    TAnnouncement Result();
    // OK: a spot needs the DX's call and frequency; without them the dialog says so and stays.
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace korval
