#pragma once
// TMyReportSetup ("Report Setup"): where a listing or a page of labels goes (printer, preview or
// a file), all pages or a range, and the printer setup. RunReportSetup asks it and makes the
// report system's run go there; PrintReport prints a listing through it.
#include <QDialog>

#include <functional>
#include <string>


class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace korval {

class TFprint;
class TReportSystem;
struct TSetupChoice;

class TMyReportSetup : public QDialog {
    Q_OBJECT
public:
    // LabelDefaults: the preview of pages 1 to 5 (labels are tried on screen first); otherwise
    // the printer and all pages.
    TMyReportSetup(TReportSystem& report, bool labelDefaults, QWidget* parent = nullptr);

    QComboBox *F_Destination, *F_Range;
    QLineEdit* F_FileName;
    QSpinBox *F_From, *F_To;
    QLabel *FromLabel, *ToLabel, *FileLabel, *PrinterLabel;
    QPushButton *BtnOk, *BtnCancel, *BtnSetup;

    // What OK chose (valid after OK).
    TSetupChoice Choice() const;
    void accept() override;

    // Stands in for the save dialog of a double-click on the file name (tests).
    std::function<std::string()> AskFileName;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateVisibility();
    void updatePrinterLabel();

    TReportSystem& report_;
};

// Shows the setup modally; on OK the report system's next Execute goes to the chosen
// destination, file and pages without asking again. False when cancelled.
bool RunReportSetup(bool labelDefaults, TReportSystem& report, QWidget* owner = nullptr);
// Applies a choice to the report system's next run (what OK of the setup does).
void ApplyReportSetup(TReportSystem& report, const TSetupChoice& choice);

// Prints the listing: the setup first, then the run. The report font of the configuration; true
// when the run went through (not cancelled or aborted).
bool PrintReport(const TFprint& fprint, QWidget* owner, bool multiColumn);

// Installs the asking of the setup (tests answer instead: the choice, or false for Cancel).
using TReportSetupAnswer = std::function<bool(bool labelDefaults, TSetupChoice& choice)>;
TReportSetupAnswer SetReportSetupAnswer(TReportSetupAnswer answer);
// An answer that sends every run to the file (tests); counts the questions in *asked.
TReportSetupAnswer AnswerToFile(const std::string& fileName, int* asked = nullptr);

// Makes the log list's Print command print its view through the listing printer.
void InstallLogListPrinting();

} // namespace korval
