#pragma once
// The small modal window that asks for a serial port when a port is opened without a number.
#include "comms/com_port_list.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace korval {

class TComSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TComSelectForm(QWidget* parent = nullptr, const std::string& devFolder = "/dev");

    // The chosen port number, 0 when none. A USB device that had no number yet is added to the
    // port map here, so the number keeps reaching it.
    int ChosenNumber();

    QLabel* Label1;
    QLabel* Label2;
    QFrame* Bevel1;
    QComboBox* PortsComboBox;
    QPushButton* OkBtn;
    QPushButton* AbortBtn;

private:
    void FormCreate(const std::string& devFolder);
    std::vector<TPortChoice> choices_;
};

} // namespace korval
