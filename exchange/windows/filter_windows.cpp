#include "exchange/windows/filter_windows.h"

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_simple_field.h"
#include "exchange/export_driver.h"
#include "exchange/filter_editor.h"
#include "exchange/fprint.h"
#include "exchange/windows/import_dialogs.h"
#include "exchange/windows/report_setup.h"
#include "exchange/import_driver.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_list_box.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/ovc_virtual_list_box.h"
#include "grids/windows/popup_box.h"
#include "logbook/config_record.h"
#include "logbook/base/day_number.h"
#include "logbook/windows/help_window.h"
#include "logbook/paths.h"
#include "logbook/qso_data.h"
#include "logbook/base/string_utils.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace korval {

namespace {

TFileChooser fileChooser;

std::string chooseFile(QWidget* parent, bool save, const std::string& filter, const std::string& ext)
{
    if (fileChooser)
        return fileChooser(save, filter, ext);
    // "Name|*.EXT|Name2|*.*" as Qt filters.
    QStringList parts = FromWin1252(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + parts[i + 1] + ")";
    QFileDialog d(parent);
    d.setNameFilters(filters);
    d.setDefaultSuffix(FromWin1252(ext));
    d.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    d.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return {};
    return d.selectedFiles().front().toStdString();
}

std::int32_t todayStDate()
{
    try {
        return DayNumberToStDate(UtcToday());
    } catch (const std::exception&) {
        return 0;
    }
}

TOvcSimpleField* textField(QWidget* parent, int maxLen, bool upper)
{
    auto* f = new TOvcSimpleField(parent);
    f->SetMaxLength(maxLen);
    if (upper)
        f->SetPictureMask('!');
    return f;
}

int fieldNumber(TOvcSimpleField* f)
{
    std::string s = f->GetAsString();
    return s.empty() ? 0 : DigitsValue(s);
}

} // namespace

void SetExchangeFileChooser(TFileChooser chooser) { fileChooser = std::move(chooser); }

// ---- TIEDialog2 ----

TIEDialog2::TIEDialog2(const TFilterRecord& record, const TFilterList* list, int index, QWidget* parent)
    : QDialog(parent), record_(record), list_(list), index_(index)
{
    setWindowTitle(FromWin1252("Filter: " + record.Description));
    Controller = new TOvcController(this);
    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu("&File");
    ViewASCIIfile1 = file->addAction("View ASCII File", this, [this] { ViewASCIIFile(); });
    PrintFilter1 = file->addAction("Print Filter", this, [this] { PrintFilter(); });
    Cancelchangesandexit1 = file->addAction("Cancel Changes and Exit", this, [this] { CancelChangesAndExit(); });
    Savechangesandexit1 = file->addAction("Save Changes and Exit", this, [this] { SaveChangesAndExit(); });

    OvcNotebook1 = new TOvcNotebook(this);
    TOvcTabPage* general = OvcNotebook1->AddPage("General");
    TOvcTabPage* fields = OvcNotebook1->AddPage("Fields");

    auto* g = new QGridLayout(general);
    F_IE_ext = textField(general, 3, true);
    F_IE_reclen = textField(general, 3, false);
    F_IE_reclen->SetPictureMask('9');
    F_IE_id = textField(general, 8, true);
    F_IE_usage = new TWheelx(general);
    for (const char* u : {"Import", "Imp/Exp", "Binary Imp"})
        F_IE_usage->GetItems().Add(u);
    F_IE_description = textField(general, 30, false);
    F_IE_datechar = textField(general, 1, false);
    F_IE_modified = textField(general, 10, false);
    TOvcEntryFieldOptions ro = F_IE_modified->Options();
    ro.Include(efoReadOnly);
    F_IE_modified->SetOptions(ro);
    F_IE_Note_ext = textField(general, 3, true);
    F_IE_filter_freq = new QCheckBox("Frequency", general);
    F_IE_filter_import = new QCheckBox("Import from", general);
    F_IE_filter_dupes = new QCheckBox("Duplicates", general);
    int row = 0;
    auto add = [&](const char* label, QWidget* w) {
        g->addWidget(new QLabel(label, general), row, 0);
        g->addWidget(w, row++, 1);
    };
    add("Extension", F_IE_ext);
    add("Record length", F_IE_reclen);
    add("ID", F_IE_id);
    add("Usage", F_IE_usage);
    add("Description", F_IE_description);
    add("Date character", F_IE_datechar);
    add("Modified", F_IE_modified);
    add("Note file extension", F_IE_Note_ext);
    g->addWidget(new QLabel("Note filters", general), row++, 0);
    g->addWidget(F_IE_filter_freq, row, 0);
    g->addWidget(F_IE_filter_import, row, 1);
    g->addWidget(F_IE_filter_dupes, row, 2);

    auto* fg = new QGridLayout(fields);
    F_FldName = new TWheelx(fields);
    for (int f = 0; f < FilterFieldCount; ++f)
        F_FldName->GetItems().Add(FilterFieldName(f));
    F_FldPos = textField(fields, 3, false);
    F_FldPos->SetPictureMask('9');
    F_FldTyp = new TWheelx(fields);
    F_FldLen = textField(fields, 3, false);
    F_FldLen->SetPictureMask('9');
    LB = new TOvcCustomListBox(fields);
    VLB = new TOvcVirtualListBox(fields);
    std::string ruler = "1...|...10";
    for (int c = 20; c <= 250; c += 10)
        ruler += "....|..." + std::to_string(c);
    VLB->SetHeader(ruler);
    VLB->SetShowHeader(true);
    VLB->OnGetItem = [this](int i, std::string& text) {
        text = i >= 0 && i < static_cast<int>(sample_.size()) ? sample_[static_cast<std::size_t>(i)] : std::string();
    };
    VLB->SetNumItems(0);
    FileLabel = new QLabel("File: ", fields);
    fg->addWidget(new QLabel("Field", fields), 0, 0);
    fg->addWidget(F_FldName, 0, 1);
    fg->addWidget(new QLabel("Position", fields), 1, 0);
    fg->addWidget(F_FldPos, 1, 1);
    fg->addWidget(new QLabel("Format", fields), 2, 0);
    fg->addWidget(F_FldTyp, 2, 1);
    fg->addWidget(new QLabel("Length", fields), 3, 0);
    fg->addWidget(F_FldLen, 3, 1);
    fg->addWidget(new QLabel("Field allocation", fields), 0, 2);
    fg->addWidget(LB, 1, 2, 3, 1);
    fg->addWidget(FileLabel, 4, 0, 1, 3);
    fg->addWidget(VLB, 5, 0, 1, 3);

    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menuBar);
    l->addWidget(OvcNotebook1);
    resize(640, 480);

    LoadGeneral();
    ShowField(0);
    BuildAllocation();
    F_FldName->OnChange = [this](TCustomPopupBox*) {
        if (showing_)
            return;
        StoreCurrentField();
        ShowField(F_FldName->GetSelection() - 1);
    };
    F_FldTyp->OnChange = [this](TCustomPopupBox*) {
        if (!showing_)
            FormatChanged();
    };
}

void TIEDialog2::LoadGeneral()
{
    F_IE_ext->SetAsString(record_.Ext);
    F_IE_reclen->SetAsString(std::to_string(record_.RecLen));
    F_IE_id->SetAsString(record_.Id);
    F_IE_usage->SetSelection(record_.Usage + 1);
    F_IE_description->SetAsString(record_.Description);
    F_IE_datechar->SetAsString(record_.DateChar ? std::string(1, record_.DateChar) : std::string());
    std::string modified;
    if (record_.Modified > 0) {
        try {
            int y, m, d;
            DecodeDayNumber(StDateToDayNumber(record_.Modified), y, m, d);
            modified = ZeroPadNumber(static_cast<std::uint32_t>(y), 4) + "/" + ZeroPadNumber(static_cast<std::uint32_t>(m), 2) +
                       "/" + ZeroPadNumber(static_cast<std::uint32_t>(d), 2);
        } catch (const std::exception&) {
        }
    }
    F_IE_modified->SetAsString(modified);
    F_IE_Note_ext->SetAsString(record_.NoteExt);
    F_IE_filter_freq->setChecked(record_.FilterFreq);
    F_IE_filter_import->setChecked(record_.FilterImport);
    F_IE_filter_dupes->setChecked(record_.FilterDupes);
}

void TIEDialog2::ShowField(int field)
{
    if (field < 0 || field >= FilterFieldCount)
        field = 0;
    showing_ = true;
    current_ = field;
    F_FldName->SetSelection(field + 1);
    const TFieldEntry& e = record_.Field(field);
    F_FldPos->SetAsString(std::to_string(e.Pos));
    F_FldTyp->GetItems().Clear();
    for (const std::string& f : FieldFormats(field))
        F_FldTyp->GetItems().Add(f);
    F_FldTyp->SetSelection(ShownFormat(record_, field) + 1);
    F_FldTyp->setEnabled(FilterFieldInfo(field).Kind != fkPlain);
    TFieldLength rule = FieldLengthRule(field, ShownFormat(record_, field));
    F_FldLen->SetAsString(std::to_string(rule.Editable ? e.Len : rule.Length));
    F_FldLen->setEnabled(rule.Editable);
    showing_ = false;
}

void TIEDialog2::StoreCurrentField()
{
    int sel = F_FldTyp->GetSelection();
    StoreField(record_, current_, fieldNumber(F_FldPos), sel > 0 ? sel - 1 : 0, fieldNumber(F_FldLen));
}

void TIEDialog2::FormatChanged()
{
    int sel = F_FldTyp->GetSelection();
    if (FilterFieldInfo(current_).Kind != fkPlain)
        SetFieldFormat(record_, current_, sel > 0 ? sel - 1 : 0);
    StoreCurrentField();
    ShowField(current_);
    BuildAllocation();
}

void TIEDialog2::BuildAllocation()
{
    LB->Items().Clear();
    for (const std::string& line : AllocationLines(record_))
        LB->Items().Add(line);
}

void TIEDialog2::ViewASCIIFile()
{
    std::string filter = record_.Ext.empty() ? std::string() : "Log file|*." + record_.Ext + "|";
    filter += "ASCII file|*.*";
    std::string path = chooseFile(this, false, filter, record_.Ext);
    if (path.empty())
        return;
    sample_ = SampleLines(path, 100);
    VLB->SetNumItems(static_cast<int>(sample_.size()));
    VLB->viewport()->update();
    std::size_t slash = path.find_last_of('/');
    FileLabel->setText(FromWin1252("File: " + (slash == std::string::npos ? path : path.substr(slash + 1))));
    OvcNotebook1->SetPageIndex(1);
}

std::vector<std::string> TIEDialog2::PrintedLines() const { return FilterPrintLines(record_); }

void TIEDialog2::PrintFilter()
{
    const std::vector<std::string> lines = PrintedLines();
    TFprint listing;
    listing.SetHeading("I/E Filter for " + record_.Description, {"Fieldname", "Value", "Pos", "Length"},
                       {16, 40, -4, -6});
    listing.Rows = &lines;
    PrintReport(listing, this, false);
}

void TIEDialog2::SaveChangesAndExit()
{
    StoreCurrentField();
    TFilterRecord r = record_;
    r.Ext = F_IE_ext->GetAsString();
    int reclen = fieldNumber(F_IE_reclen);
    r.RecLen = static_cast<std::uint8_t>(reclen > 255 ? 255 : reclen);
    r.Id = TrimRightShort(F_IE_id->GetAsString());
    int usage = F_IE_usage->GetSelection();
    r.Usage = static_cast<std::uint8_t>(usage >= 1 && usage <= 3 ? usage - 1 : 0);
    r.Description = F_IE_description->GetAsString();
    std::string dc = F_IE_datechar->GetAsString();
    r.DateChar = dc.empty() || dc[0] == ' ' ? '/' : dc[0];
    r.Modified = todayStDate();
    r.NoteExt = TrimRightShort(F_IE_Note_ext->GetAsString());
    r.FilterFreq = F_IE_filter_freq->isChecked();
    r.FilterImport = F_IE_filter_import->isChecked();
    r.FilterDupes = F_IE_filter_dupes->isChecked();
    if (list_) {
        std::string error = FilterSaveError(r, *list_, index_);
        if (!error.empty()) {
            MessageDlg(error, TMsgDlgType::mtError, mbOK);
            return;
        }
    }
    record_ = r;
    accept();
}

// ---- TPickIEFilter ----

TPickIEFilter::TPickIEFilter(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Import / Export Filters");
    auto* menuBar = new QMenuBar(this);
    QMenu* file = menuBar->addMenu("&File");
    Import1 = file->addAction("&Import", this, [this] { Import(); });
    Import1->setStatusTip("Use current filter to import a file");
    Export1 = file->addAction("&Export", this, [this] { Export(); });
    Export1->setStatusTip("Use current filter to export log file");
    MergeKorvallog1 = file->addAction("Merge Korval Log", this, [this] { MergeKorvalLog(); });
    Exit1 = file->addAction("E&xit", this, [this] { accept(); });
    FilterMenu = menuBar->addMenu("F&ilter");
    Edit2 = FilterMenu->addAction("&Edit", this, [this] { EditFilter(); });
    Edit2->setStatusTip("Edit current filter");
    New2 = FilterMenu->addAction("&New", this, [this] { NewFilter(); });
    New2->setStatusTip("Edit a new filter");
    Copy1 = FilterMenu->addAction("&Copy", this, [this] { CopyFilter(); });
    Copy1->setStatusTip("Copy current filter and edit filter");
    Delete2 = FilterMenu->addAction("&Delete", this, [this] { DeleteFilter(); });
    Delete2->setStatusTip("Delete current filter");
    HelpforFilters1 = menuBar->addAction("Help for Filters", this, [this] {
        ShowHelp(this);
    });

    DG = new TMyGrid(this);
    DG->AddColumn("ID", 9, 0);
    DG->AddColumn("Usage", 5, 2);
    DG->AddColumn("Description", 30, 0);
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        int i = row - 1;
        if (row == 0 || i < 0 || i >= list_.Count())
            return;
        const TFilterRecord& r = list_.At(i);
        value = col == 0 ? r.Id : col == 1 ? UsageText(r.Usage) : r.Description;
    };
    DG->OnClick = [this](TMyGrid*) { UpdateMenus(); };
    DG->OnSelectCell = [this](TMyGrid*, int, int) { UpdateMenus(); };
    DG->OnDblClick = [this](TMyGrid*) { EditFilter(); };
    auto* l = new QVBoxLayout(this);
    l->setMenuBar(menuBar);
    l->addWidget(DG);
    resize(520, 360);

    RunEditor = [](TIEDialog2& d) { return d.exec() == QDialog::Accepted; };
    bool damaged = false;
    list_.Assign(LoadFilterFile(FilterFileName(), &damaged));
    if (damaged)
        MessageDlg("The filter file " + FilterFileName() + " is damaged; the records that cannot be used are left out",
                   TMsgDlgType::mtWarning, mbOK);
    DG->ApplyHeader();
    RefreshGrid();
    UpdateMenus();
}

int TPickIEFilter::CurrentIndex() const
{
    int i = DG->Row - 1;
    return i >= 0 && i < list_.Count() ? i : -1;
}

void TPickIEFilter::SetCurrentIndex(int index)
{
    DG->SetRows(list_.Count() + 1, index + 1);
    UpdateMenus();
}

void TPickIEFilter::RefreshGrid()
{
    int cur = CurrentIndex();
    DG->SetRows(list_.Count() + 1, cur < 0 ? 1 : cur + 1);
    DG->viewport()->update();
}

void TPickIEFilter::UpdateMenus()
{
    const int level = Config.UserLevel();
    const int cur = CurrentIndex();
    TQsoData* log = CurrentLog();
    FilterMenu->setEnabled(level >= 2);
    New2->setEnabled(level >= 2);
    Copy1->setEnabled(level >= 2 && cur >= 0);
    Edit2->setEnabled(list_.Count() > 0 && level >= 3);
    Delete2->setEnabled(list_.Count() > 0 && level >= 3);
    Import1->setEnabled(log != nullptr && cur >= 0);
    MergeKorvallog1->setEnabled(log != nullptr);
    Export1->setEnabled(log && log->Count() > 0 && cur >= 0 &&
                        (list_.At(cur).Usage == fuImpExp || list_.At(cur).Id == "ADIF"));
}

void TPickIEFilter::Import()
{
    int cur = CurrentIndex();
    if (cur < 0 || !CurrentLog())
        return;
    const TFilterRecord f = list_.At(cur);
    std::string path = chooseFile(this, false, f.Id + "|*." + f.Ext, f.Ext);
    if (path.empty())
        return;
    TDialogImportQuestions questions(this);
    TImportQuestions* old = SetImportQuestions(&questions);
    if (f.Usage == fuBinaryImp)
        ImportThroughScript(f, path);
    else
        ImportFile(path, f, f.IsAdif());
    SetImportQuestions(old);
    UpdateMenus();
}

void TPickIEFilter::Export()
{
    int cur = CurrentIndex();
    if (cur < 0 || !CurrentLog())
        return;
    const TFilterRecord f = list_.At(cur);
    std::string path = chooseFile(this, true, f.Id + "|*." + f.Ext, f.Ext);
    if (!path.empty())
        ExportFile(path, f, f.IsAdif());
}

void TPickIEFilter::MergeKorvalLog()
{
    if (!CurrentLog())
        return;
    std::string path = chooseFile(this, false, "Korval log|*.KVL", "KVL");
    if (path.empty())
        return;
    TDialogImportQuestions questions(this);
    TImportQuestions* old = SetImportQuestions(&questions);
    korval::MergeKorvalLog(path);
    SetImportQuestions(old);
    UpdateMenus();
}

void TPickIEFilter::EditFilter()
{
    int cur = CurrentIndex();
    if (cur < 0)
        return;
    TIEDialog2 editor(list_.At(cur), &list_, cur, this);
    if (!RunEditor(editor))
        return;
    int index = cur;
    if (list_.Replace(cur, editor.Record(), &index)) {
        dirty_ = true;
        RefreshGrid();
        SetCurrentIndex(index);
    }
}

void TPickIEFilter::NewFilter()
{
    int index = list_.New(todayStDate());
    dirty_ = true;
    RefreshGrid();
    SetCurrentIndex(index);
}

void TPickIEFilter::CopyFilter()
{
    int cur = CurrentIndex();
    if (cur < 0)
        return;
    int index = list_.Copy(cur, todayStDate());
    if (index < 0)
        return;
    dirty_ = true;
    RefreshGrid();
    SetCurrentIndex(index);
}

void TPickIEFilter::DeleteFilter()
{
    int cur = CurrentIndex();
    if (cur < 0)
        return;
    list_.Delete(cur);
    dirty_ = true;
    SetCurrentIndex(std::min(cur, list_.Count() - 1));
    RefreshGrid();
}

bool TPickIEFilter::SaveFilters()
{
    if (!dirty_)
        return true;
    try {
        SaveFilterFile(FilterFileName(), list_.Items());
    } catch (const std::exception& e) {
        MessageDlg("The filter file could not be written:\r" + std::string(e.what()), TMsgDlgType::mtError, mbOK);
        return false;
    }
    dirty_ = false;
    return true;
}

void TPickIEFilter::done(int r)
{
    SaveFilters();
    QDialog::done(r);
}

void ShowImportExportFilters(QWidget* parent)
{
    TPickIEFilter w(parent);
    w.exec();
}

} // namespace korval
