#include "logbook/windows/logbook.h"

#include "logbook/windows/report_designer.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "grids/windows/my_grid.h"
#include "logbook/child_window.h"
#include "logbook/config_record.h"
#include "logbook/entry_mode.h"
#include "logbook/progress.h"
#include "logbook/qso_data.h"
#include "logbook/report_cells.h"
#include "logbook/windows/qso_form.h"
#include "platform/atomic_file.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

namespace korval {

TLogbook::TLogbook(TQSOForm* owner) : TChildForm(owner, cwLogbook, psLogb), owner_(owner), view_(owner->Entry().Log())
{
    setObjectName(QStringLiteral("Logbook"));
    resize(760, 420);
    DG = new TMyGrid(this);
    DG->setObjectName(QStringLiteral("DG"));
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(DG);
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        const TQsoRecord* q = QsoAt(row);
        if (q && col >= 0 && col < static_cast<int>(def_.Columns.size()) && view_.Log())
            value = ReportCellText(def_.Columns[static_cast<std::size_t>(col)], *q, row, def_.NoteWidth, *view_.Log());
    };
    DG->OnDblClick = [this](TMyGrid*) { GotoQSO1Click(); };

    PopupMenu1 = new QMenu(this);
    GotoQSO1 = PopupMenu1->addAction(QStringLiteral("Goto QSO"), this, &TLogbook::GotoQSO1Click);
    Confirmlabel1 = PopupMenu1->addAction(QStringLiteral("Confirm / Label"));
    ConfirmSWL1 = PopupMenu1->addAction(QStringLiteral("Confirm SWL"));
    PopupMenu1->addSeparator();
    Print1 = PopupMenu1->addAction(QStringLiteral("Print"), this, [this] {
        if (PrintCommand)
            PrintCommand(*this);
    });
    Reporteditor1 = PopupMenu1->addAction(QStringLiteral("Report editor"), this, &TLogbook::Reporteditor1Click);
    Selectreport1 = PopupMenu1->addAction(QStringLiteral("Select report"), this, &TLogbook::Selectreport1Click);
    WritetoFile1 = PopupMenu1->addAction(QStringLiteral("Write to File"), this, &TLogbook::WritetoFile1Click);
    // The QSL confirmation comes with later work.
    for (QAction* a : {Confirmlabel1, ConfirmSWL1})
        a->setEnabled(false);
    Print1->setEnabled(static_cast<bool>(PrintCommand));
    DG->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DG, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->exec(DG->mapToGlobal(at)); });

    view_.SetFilter([this](const TQsoRecord& r) {
        const TQsoData* log = view_.Log();
        return log && log->InSelection(r) && (!FilterActive() || owner_->Entry().MatchesSearch(r));
    });
    view_.OnRowChanged = [this](int index, bool inserted) { RowChanged(index, inserted); };
    view_.OnReset = [this] { ShowRows(std::max(1, DG->Row)); };
    // A change of mode, selection or search reaches the list as a full refresh; it is done once
    // the QSO window's work is over.
    connect(owner, &TQSOForm::logChanged, this, [this](bool full) {
        if (!full) {
            DG->viewport()->update();
            return;
        }
        if (!rebuildPending_) {
            rebuildPending_ = true;
            QTimer::singleShot(0, this, [this] {
                if (rebuildPending_)
                    Rebuild();
            });
        }
    });

    const TReportDefinitions& defs = ReportDefinitions();
    report_ = std::max(0, defs.IndexOfName(Config.ReportHeading()));
    defs.GetItem(report_, def_);
    SetupColumns();
    view_.SetSortOrder(def_.SortOrder);
    Rebuild();
}

TLogbook::~TLogbook() = default;

bool TLogbook::FilterActive() const { return owner_->EntryMode() == emBrowse; }

void TLogbook::SetupColumns()
{
    DG->BeginUpdate();
    DG->ClearHeader();
    for (std::uint8_t f : def_.Columns)
        DG->AddColumn(f < kReportFieldCount ? ReportFields[f].Name : "???", ReportColumnWidth(f), GridAlignOfReportField(f));
    DG->ApplyHeader();
    DG->EndUpdate();
}

void TLogbook::ShowRows(int currentRow)
{
    DG->SetRows(view_.Count() + 1, std::max(1, currentRow));
    DG->viewport()->update();
    UpdateCaption();
}

void TLogbook::Rebuild()
{
    rebuildPending_ = false;
    view_.Rebuild();
    const TQsoEntry& e = owner_->Entry();
    const int at = view_.IndexOf(e.ViewAt(e.CurrentIndex()));
    ShowRows(at >= 0 ? at + 1 : 1);
}

void TLogbook::RowChanged(int index, bool inserted)
{
    // The current row stays on its QSO; at the end of the list it follows new QSOs there.
    const int row = index + 1;
    const int rows = view_.Count() + 1;
    int current = DG->Row;
    if (inserted) {
        const bool atEnd = current == rows - 2;
        if (current >= row || (atEnd && row == rows - 1))
            ++current;
    } else if (current > row) {
        --current;
    }
    DG->SetRows(rows, std::clamp(current, 1, std::max(1, rows - 1)));
    DG->viewport()->update();
}

void TLogbook::SetSortOrder(int order)
{
    const TQsoRecord* current = QsoAt(DG->Row);
    if (!view_.SetSortOrder(order))
        return;
    const int at = view_.IndexOf(current);
    ShowRows(at >= 0 ? at + 1 : 1);
}

void TLogbook::SetReport(int index)
{
    TReportDefinition d;
    if (!ReportDefinitions().GetItem(index, d))
        return;
    report_ = index;
    def_ = d;
    SetupColumns();
    SetSortOrder(def_.SortOrder);
    UpdateCaption();
    DG->viewport()->update();
}

QString TLogbook::CaptionText() const
{
    std::string text = "Report: " + def_.Name + " sorted by " + SortOrderNames[view_.SortOrder()];
    if (FilterActive())
        text += " (Filter Active)";
    return FromWin1252(text);
}

void TLogbook::UpdateCaption() { setWindowTitle(CaptionText()); }

void TLogbook::Reporteditor1Click()
{
    TReportDesignerDialog dialog(ReportDefinitions(), report_, this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    // Cancel keeps what was made meanwhile (a new definition), so the list is shown again either way.
    SetReport(ok ? dialog.Report() : std::min(report_, ReportDefinitions().Count() - 1));
}

void TLogbook::Selectreport1Click()
{
    TSelectReport dialog(ReportDefinitions(), report_, SortOrder(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetReport(dialog.Report());
    SetSortOrder(dialog.SortOrder());
    UpdateCaption();
}

void TLogbook::GotoQSO1Click()
{
    if (TQsoRecord* q = QsoAt(DG->Row))
        owner_->ShowQso(q);
}

void TLogbook::WritetoFile1Click()
{
    if (MessageDlg("Write the " + std::to_string(view_.Count()) + " QSOs of this list to a text file?",
                   TMsgDlgType::mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    std::string name;
    if (AskFileName) {
        name = AskFileName();
    } else {
        const QString chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Write to File"), QString(),
                                                            QStringLiteral("Text files (*.txt);;All files (*)"));
        name = QFile::encodeName(chosen).toStdString();
    }
    if (name.empty())
        return;
    try {
        WriteToFile(name);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

void TLogbook::WriteToFile(const std::string& fileName)
{
    struct TProgressRun {
        explicit TProgressRun(int count) { Progress().Start("Writing QSOs", count); }
        ~TProgressRun() { Progress().Finish(); }
    } progress(view_.Count());
    AtomicFile file(fileName);
    std::string chunk;
    std::vector<std::string> values(def_.Columns.size());
    for (int i = 0; i < view_.Count() && view_.Log(); ++i) {
        const TQsoRecord& q = *view_.At(i);
        for (std::size_t c = 0; c < def_.Columns.size(); ++c)
            values[c] = ReportCellText(def_.Columns[c], q, i + 1, def_.NoteWidth, *view_.Log());
        chunk += CsvLine(values);
        chunk += "\r\n";
        if (chunk.size() >= (1u << 20)) {
            file.write(chunk);
            chunk.clear();
        }
        Progress().Step();
    }
    file.write(chunk);
    file.commit();
}

} // namespace korval
