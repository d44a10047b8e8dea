#pragma once
// TLogbook: the log list, a child window of the QSO window that shows the QSOs of the current
// selection (and of the search, while one is applied) as a table in the columns, order and note
// width of a report definition. It keeps its own order over the logbook, which tells it of every
// QSO posted, replaced or deleted, and its grid asks only for the cells on screen.
#include <functional>
#include <memory>
#include <string>

#include "logbook/log_list_view.h"
#include "logbook/report_definitions.h"
#include "logbook/windows/child_form.h"

class QAction;
class QMenu;

namespace korval {

class TMyGrid;
class TQSOForm;

class TLogbook : public TChildForm {
    Q_OBJECT
public:
    // The report named by the configuration's report heading (letter case ignored), else the
    // first; that report's sort order; every QSO that passes.
    explicit TLogbook(TQSOForm* owner);
    ~TLogbook() override;

    // The idle refresh: the view is built anew.
    void RefreshChild() override { Rebuild(); }
    // Every QSO that passes, in the view's order; the QSO window's QSO becomes the current row.
    void Rebuild();
    void SetSortOrder(int order);
    // Another report definition: its columns, then its sort order.
    void SetReport(int index);
    int ReportNumber() const { return report_; }
    const TReportDefinition& Definition() const { return def_; }
    int SortOrder() const { return view_.SortOrder(); }
    QString CaptionText() const;
    TLogListView& View() { return view_; }
    // The QSO of a grid row (row 1 is the first QSO); null outside the view.
    TQsoRecord* QsoAt(int row) const { return view_.At(row - 1); }

    // Commands of the pop-up menu.
    void GotoQSO1Click();
    void WritetoFile1Click();
    // The report designer and the report selector; the list follows the chosen report.
    void Reporteditor1Click();
    void Selectreport1Click();
    // Writes the view as comma-separated lines (one per QSO, the report's columns); raises
    // EFileWriteError with any old file left as it was.
    void WriteToFile(const std::string& fileName);
    // What Print does with the list (the listing printer installs it); the item is disabled
    // without one.
    static inline std::function<void(TLogbook&)> PrintCommand;
    // Stands in for the save dialog (tests); an empty name cancels.
    std::function<std::string()> AskFileName;

    TMyGrid* DG = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction *GotoQSO1 = nullptr, *Confirmlabel1 = nullptr, *ConfirmSWL1 = nullptr, *Print1 = nullptr,
            *Reporteditor1 = nullptr, *Selectreport1 = nullptr, *WritetoFile1 = nullptr;

private:
    void SetupColumns();
    void ShowRows(int currentRow);
    void RowChanged(int index, bool inserted);
    void UpdateCaption();
    bool FilterActive() const;

    TQSOForm* owner_;
    TLogListView view_;
    TReportDefinition def_;
    int report_ = 0;
    bool rebuildPending_ = false;
};

} // namespace korval
