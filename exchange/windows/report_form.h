#pragma once
// TReportForm: the window of every award, listing, summary and rate report. It shows the report
// engine's lines in a grid, writes them to a comma-separated file, and leads a double-click on a
// cell to the QSOs behind it through the QSO window's search, and prints it through the listing
// printer.
//
// A Reports-menu entry opens its report with OpenReport (the class, the entry's argument and
// the QSO window); the window is owned by the QSO window, shown modelessly, computed when first
// shown, and frees itself when closed.
#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

#include "exchange/report.h"
#include "exchange/report_kinds.h"

class QAction;
class QMenu;

namespace korval {

class TMyGrid;
class TQSOForm;

class TReportForm : public QWidget {
    Q_OBJECT
public:
    // qsoForm: the owner, whose search the double-click leads (may be null: no browsing).
    TReportForm(std::unique_ptr<TReport> report, TQSOForm* qsoForm);
    ~TReportForm() override;

    TReport& Report() { return *report_; }
    TMyGrid* DG;
    QMenu* PopupMenu1;
    QAction* Print1;
    QAction* WritetoFile1;

    // Prints the lines under the heading (the report setup first); false when nothing printed.
    bool Print();
    // Writes the report to the file; an error is shown to the operator and false returned.
    bool WriteToFile(const std::string& fileName);
    // What a double-click on a cell does (column from 0, data row from 1).
    void DGDblClick(int col, int row);

protected:
    void showEvent(QShowEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void ShowHeading();
    void WritetoFile1Click();

    std::unique_ptr<TReport> report_;
    QPointer<TQSOForm> qso_;
    bool made_ = false;
};

// The operator's choices before a report: the band or mode of a listing or summary, the award of
// a custom-award report. The dialogs answer unless a test installs other answers.
class TReportQuestions {
public:
    virtual ~TReportQuestions() = default;
    // False when the operator closed the dialog without a choice.
    virtual bool AskModeBand(QWidget* parent, int& modeGroup, int& band) = 0;
    // The chosen award's index in the custom-award list; false without one.
    virtual bool AskCustomAward(QWidget* parent, int& index) = 0;
};
// Installs questions (null: the dialogs); returns the previous ones.
TReportQuestions* SetReportQuestions(TReportQuestions* questions);

// Creates the report of a Reports-menu entry over the QSO window's log (the current log when
// qsoForm is null), asks what it needs first, and shows it; null when the operator gave no
// choice or no log is open. A submission (ReportSubmits) has set its flags when this returns.
TReportForm* OpenReport(TReportClass cls, int argument, TQSOForm* qsoForm);

} // namespace korval
