#pragma once
// File > Print Setup: the printer (every printer of the report engine's list, the PDF printer
// "PDF on FILE:" among them), its paper, the orientation, the copies and two-sided printing.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "reporting/drawing_context.h"
#include "reporting/rp_device.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace korval {

// What the dialog asks of the printers it lists, by their position in the list.
struct TPrintSetupPrinters {
    std::vector<std::string> Names;                           // "<printer> on <port>"
    std::function<TNamedCodes(int)> Papers;                   // the printer's papers
    std::function<int(int)> MaxCopies;                        // 1: no copies of its own
    std::function<bool(int)> CanDuplex;
    std::function<bool(int, TDevMode&)> Settings;             // the printer's own settings
};

class TPrintSetupDialog : public QDialog {
    Q_OBJECT
public:
    TPrintSetupDialog(TPrintSetupPrinters printers, int current, const TDevMode& devMode, QWidget* parent = nullptr);

    // The chosen printer and its settings (after OK).
    int Printer() const { return printer_; }
    const TDevMode& Settings() const { return devMode_; }

    QComboBox* PrinterCB = nullptr;
    QComboBox* PaperCB = nullptr;
    QRadioButton* PortraitRB = nullptr;
    QRadioButton* LandscapeRB = nullptr;
    QSpinBox* CopiesED = nullptr;
    QCheckBox* DuplexCK = nullptr;
    QPushButton* OKBB = nullptr;
    QPushButton* CancelBB = nullptr;

    void accept() override;

private:
    void showPrinter(int index);

    TPrintSetupPrinters printers_;
    TNamedCodes papers_;
    int printer_ = 0;
    TDevMode devMode_;
};

} // namespace korval
