#include "reference/windows/work_copy_editors.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_table.h"
#include "grids/windows/ovc_tc_entry_fields.h"
#include "grids/windows/popup_box.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/paths.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "reference/work_copies.h"
#include "reference/windows/edit_table.h"

namespace korval {

// ---- shared ----

TWorkCopyDialog::TWorkCopyDialog(QWidget* parent, const char* name, const char* caption) : QDialog(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(QString::fromLatin1(caption));
    Controller = new TOvcController(this);
    auto* bar = new QMenuBar(this);
    FileMenu = bar->addMenu(QStringLiteral("&File"));
    FileMenu->addAction(QStringLiteral("Export"), this, [this] { ExportClick(); })->setObjectName("Export1");
    FileMenu->addAction(QStringLiteral("Import"), this, [this] { ImportClick(); })->setObjectName("Import1");
    FileMenu->addAction(QStringLiteral("Cancel Changes and Exit"), this, [this] { reject(); });
    FileMenu->addAction(QStringLiteral("Save Changes and Exit"), this, [this] { SaveClick(); });
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(bar);
}

void TWorkCopyDialog::ExportClick()
{
    const std::string path = AskFile ? AskFile(true)
                                     : QFileDialog::getSaveFileName(this, QStringLiteral("Export"), QString(),
                                                                    QStringLiteral("Text File (*.txt)"))
                                           .toStdString();
    if (path.empty())
        return;
    const bool hasExt = path.find('.', path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/')) !=
                        std::string::npos;
    try {
        RewriteDataFile(hasExt ? path : path + ".txt", ExportText());
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return;
    }
    MessageDlg(ExportedMessage(), TMsgDlgType::mtInformation, mbOK);
}

void TWorkCopyDialog::ImportClick()
{
    const std::string path = AskFile ? AskFile(false)
                                     : QFileDialog::getOpenFileName(this, QStringLiteral("Import"), QString(),
                                                                    QStringLiteral("Text file (*.txt)"))
                                           .toStdString();
    if (path.empty())
        return;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        MessageDlg("Cannot open " + path, TMsgDlgType::mtError, mbOK);
        return;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const bool deleteFirst = MessageDlg(DeleteQuestion(), TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
    const TImportSummary summary = Import(text, deleteFirst);
    Refresh();
    MessageDlg(summary.Text(SummaryWithSkipped()), TMsgDlgType::mtInformation, mbOK);
}

namespace {

// The search field on a line of its own with its caption, the table below it.
void AddSearchAndTable(QWidget* window, const char* caption, QWidget* field, QWidget* table)
{
    auto* lay = qobject_cast<QVBoxLayout*>(window->layout());
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QString::fromLatin1(caption), window));
    search->addWidget(field);
    search->addStretch(1);
    lay->addLayout(search);
    lay->addWidget(table, 1);
}

// Ends an edit in progress, keeping what was typed.
void EndEdit(TOvcTable* t)
{
    if (t->InEditingState())
        t->StopEditingState(true);
}

void SizeTable(TOvcTable* t, std::size_t rows)
{
    EndEdit(t);
    t->SetRowLimit(static_cast<int>(rows) + 1);
    t->InvalidateTable();
}

// The first row whose key is at or after the text, else the last.
template <class Row, class Key>
int LocateRow(const std::vector<Row>& rows, const std::string& text, Key key)
{
    const auto at = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return key(r) >= text; });
    return static_cast<int>(at == rows.end() ? rows.size() : at - rows.begin() + 1);
}

// A search field: each typed letter upper-cased, the table moved after every key.
TOvcSimpleField* SearchField(QWidget* parent, const char* name, int maxLen, std::function<void(const std::string&)> locate)
{
    auto* f = new TOvcSimpleField(parent);
    f->setObjectName(name);
    f->SetMaxLength(maxLen);
    f->SetPictureMask('!');
    f->OnChange = [f, locate = std::move(locate)](QObject*) { locate(f->GetAsString()); };
    return f;
}

// Takes the edited row out and puts it back in key order once the table is done with the edit;
// the moved row stays the active one.
template <class Row, class Less>
void ResortRows(TOvcTable* t, std::vector<Row>& rows, int row, Less less)
{
    if (row < 1 || row > static_cast<int>(rows.size()))
        return;
    Row moved = rows[static_cast<std::size_t>(row - 1)];
    rows.erase(rows.begin() + (row - 1));
    const auto at = std::upper_bound(rows.begin(), rows.end(), moved, less);
    const int now = static_cast<int>(at - rows.begin()) + 1;
    rows.insert(at, std::move(moved));
    t->InvalidateTable();
    t->SetActiveCell(now, t->ActiveCol());
}

std::int32_t CellDate(TDayNumber d) { return d == NoDate ? -1 : DayNumberToStDate(d); }
TDayNumber StoredDate(std::int32_t cell) { return cell < 0 ? NoDate : StDateToDayNumber(cell); }

} // namespace

// ---- QSL managers ----

enum { colStation = 1, colDate, colMgr };

TEditQSLMgrDialog::TEditQSLMgrDialog(QWidget* parent)
    : TWorkCopyDialog(parent, "EditQSLMgrDialog", "QSL Manager dabase")
{
    QMenu* table = qobject_cast<QMenuBar*>(layout()->menuBar())->addMenu(QStringLiteral("&Table"));
    table->addAction(QStringLiteral("Insert"), this, [this] { InsertRow(); })->setShortcut(Qt::Key_Insert);
    table->addAction(QStringLiteral("Delete"), this, [this] { DeleteRow(); })->setShortcut(Qt::CTRL | Qt::Key_Delete);
    F_CallSearch = SearchField(this, "F_CallSearch", static_cast<int>(CallCap), [this](const std::string& t) { Locate(t); });
    auto* dateCell = DateCell(this, "Col_Date");
    dateCell->SetPictureMask("mm/dd/yyyy");
    Table = NewEditTable(this, "Table", Controller, {"", "Station", "Date", "Manager"},
                         {{TextCell(this, "Col_Station", static_cast<int>(CallCap), '!'), 120},
                          {dateCell, 100},
                          {TextCell(this, "Col_Mgr", static_cast<int>(CallCap), '!'), 120}});
    Table->OnGetCellData = [this](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
        if (r < 1 || r > static_cast<int>(rows_.size()))
            return;
        TQslMgrRow& row = rows_[static_cast<std::size_t>(r - 1)];
        if (c == colStation)
            data = TOvcCellData::String(row.Station);
        else if (c == colDate)
            data = TOvcCellData::Date(row.Date);
        else if (c == colMgr)
            data = TOvcCellData::String(row.Manager);
    };
    Table->OnDoneEdit = [this](int r, int) { QTimer::singleShot(0, this, [this, r] { Resort(r); }); };
    AddSearchAndTable(this, "Callsign search", F_CallSearch, Table);
    if (CountryDb.Loaded())
        SetWork(QslManagerWorkCopy(CountryDb));
    resize(460, 420);
}

void TEditQSLMgrDialog::SetWork(const std::vector<TQslMgrEntry>& work)
{
    rows_.clear();
    for (const TQslMgrEntry& e : work)
        rows_.push_back({e.Station, CellDate(e.Date), e.Manager});
    SizeTable(Table, rows_.size());
}

std::vector<TQslMgrEntry> TEditQSLMgrDialog::Work() const
{
    std::vector<TQslMgrEntry> out;
    for (const TQslMgrRow& r : rows_)
        out.push_back({UpperAscii(TrimSpaces(r.Station)), StoredDate(r.Date), UpperAscii(TrimSpaces(r.Manager))});
    std::stable_sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.Station < b.Station; });
    return out;
}

void TEditQSLMgrDialog::Refresh() { SizeTable(Table, rows_.size()); }

TImportSummary TEditQSLMgrDialog::Import(std::string_view text, bool deleteFirst)
{
    std::vector<TQslMgrEntry> work = Work();
    const TImportSummary s = ImportQslManagers(work, text, deleteFirst);
    SetWork(work);
    return s;
}

std::string TEditQSLMgrDialog::ExportText() const { return ExportQslManagers(Work()); }
std::string TEditQSLMgrDialog::ExportedMessage() const { return std::to_string(rows_.size()) + " Manager written"; }

void TEditQSLMgrDialog::InsertRow()
{
    EndEdit(Table);
    rows_.push_back({"??CALL??", -1, "??MANAGER??"});
    SizeTable(Table, rows_.size());
    Table->SetActiveCell(static_cast<int>(rows_.size()), colStation);
}

void TEditQSLMgrDialog::DeleteRow()
{
    EndEdit(Table);
    const int r = Table->ActiveRow();
    if (r < 1 || r > static_cast<int>(rows_.size()))
        return;
    rows_.erase(rows_.begin() + (r - 1));
    SizeTable(Table, rows_.size());
}

void TEditQSLMgrDialog::Locate(const std::string& text)
{
    if (rows_.empty())
        return;
    Table->SetActiveRow(std::min(LocateRow(rows_, text, [](const TQslMgrRow& r) { return r.Station; }),
                                 static_cast<int>(rows_.size())));
}

void TEditQSLMgrDialog::Resort(int row)
{
    ResortRows(Table, rows_, row, [](const TQslMgrRow& a, const TQslMgrRow& b) { return a.Station < b.Station; });
}

void TEditQSLMgrDialog::SaveClick()
{
    EndEdit(Table);
    StoreQslManagers(CountryDb, Work());
    SetCountryDataModified();
    accept();
}

// ---- IOTA ----

enum { colAbbr = 1, colName, colLong, colLat };

TEditIOTADialog::TEditIOTADialog(QWidget* parent) : TWorkCopyDialog(parent, "EditIOTADialog", "IOTA database")
{
    QMenu* table = qobject_cast<QMenuBar*>(layout()->menuBar())->addMenu(QStringLiteral("&Table"));
    table->addAction(QStringLiteral("Insert"), this, [this] { InsertRow(); })->setShortcut(Qt::Key_Insert);
    table->addAction(QStringLiteral("Delete"), this, [this] { DeleteRow(); })->setShortcut(Qt::CTRL | Qt::Key_Delete);
    F_IOTASearch = SearchField(this, "F_IOTASearch", 5, [this](const std::string& t) { Locate(t); });
    auto* abbr = new TOvcTCPictureField(this);
    abbr->setObjectName(QStringLiteral("Col_abbr"));
    abbr->SetPictureMask("!!999");
    auto* name = new TOvcTCSimpleField(this);
    name->setObjectName(QStringLiteral("Col_Name"));
    name->ForBoth([](TOvcBaseEntryField& f) { f.SetMaxLength(51); });
    auto coord = [this](const char* n, const char* mask, const char* limit) {
        auto* c = new TOvcTCNumericField(this);
        c->setObjectName(QString::fromLatin1(n));
        c->SetDataType(nftDouble);
        c->SetPictureMask(mask);
        c->ForBoth([limit](TOvcBaseEntryField& f) {
            f.SetRangeLo(std::string("-") + limit);
            f.SetRangeHi(limit);
        });
        return c;
    };
    Table = NewEditTable(this, "Table", Controller, {"", "IOTA", "Name", "Long", "Lat"},
                         {{abbr, 60}, {name, 260}, {coord("Col_Long", "####.##", "180"), 80},
                          {coord("Col_Lat", "###.##", "90"), 80}});
    Table->OnGetCellData = [this](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
        if (r < 1 || r > static_cast<int>(work_.size()))
            return;
        TIotaEntry& e = work_[static_cast<std::size_t>(r - 1)];
        if (c == colAbbr)
            data = TOvcCellData::String(e.Reference);
        else if (c == colName)
            data = TOvcCellData::String(e.Name);
        else if (c == colLong)
            data = TOvcCellData::Float(e.Longitude);
        else if (c == colLat)
            data = TOvcCellData::Float(e.Latitude);
    };
    Table->OnDoneEdit = [this](int r, int) { QTimer::singleShot(0, this, [this, r] { Resort(r); }); };
    AddSearchAndTable(this, "Enter a few characters to locate IOTA", F_IOTASearch, Table);
    if (CountryDb.Loaded())
        work_ = IotaWorkCopy(CountryDb);
    Refresh();
    resize(600, 420);
}

void TEditIOTADialog::Refresh() { SizeTable(Table, work_.size()); }

TImportSummary TEditIOTADialog::Import(std::string_view text, bool deleteFirst)
{
    EndEdit(Table);
    return ImportIota(work_, text, deleteFirst);
}

std::string TEditIOTADialog::ExportedMessage() const { return std::to_string(work_.size()) + " written"; }

void TEditIOTADialog::InsertRow()
{
    EndEdit(Table);
    work_.push_back({"?????", "??Name??", 0, 0});
    Refresh();
    Table->SetActiveCell(static_cast<int>(work_.size()), colAbbr);
}

void TEditIOTADialog::DeleteRow()
{
    EndEdit(Table);
    const int r = Table->ActiveRow();
    if (r < 1 || r > static_cast<int>(work_.size()))
        return;
    work_.erase(work_.begin() + (r - 1));
    Refresh();
}

void TEditIOTADialog::Locate(const std::string& text)
{
    if (work_.empty())
        return;
    Table->SetActiveRow(std::min(LocateRow(work_, text, [](const TIotaEntry& e) { return e.Reference; }),
                                 static_cast<int>(work_.size())));
}

void TEditIOTADialog::Resort(int row)
{
    ResortRows(Table, work_, row, [](const TIotaEntry& a, const TIotaEntry& b) { return a.Reference < b.Reference; });
}

void TEditIOTADialog::SaveClick()
{
    EndEdit(Table);
    StoreIota(CountryDb, work_);
    SetCountryDataModified();
    accept();
}

// ---- manager addresses ----

namespace {

// The memo shows the address lines one a line; the entry keeps them apart with the byte 255.
QString MemoText(const std::string& text)
{
    std::string s = text;
    std::replace(s.begin(), s.end(), AddressLineSeparator, '\n');
    return FromWin1252(s);
}

std::string EntryText(const QString& memo)
{
    std::string s = ToWin1252(memo);
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    while (!s.empty() && s.back() == '\n')
        s.pop_back();
    std::replace(s.begin(), s.end(), '\n', AddressLineSeparator);
    return s.substr(0, AddressTextMax);
}

} // namespace

TEditAddressDialog::TEditAddressDialog(QWidget* parent)
    : TWorkCopyDialog(parent, "EditAddressDialog", "QSL Manager Addresses")
{
    QMenu* edit = qobject_cast<QMenuBar*>(layout()->menuBar())->addMenu(QStringLiteral("&Edit"));
    edit->addAction(QStringLiteral("Search Manager"), this, [this] { SearchManager(); })->setShortcut(Qt::Key_F3);
    edit->addAction(QStringLiteral("Add Address"), this, [this] { AddAddress(); })
        ->setShortcut(Qt::CTRL | Qt::Key_Insert);
    edit->addAction(QStringLiteral("Delete Address"), this, [this] { DeleteAddress(); })
        ->setShortcut(Qt::CTRL | Qt::Key_Delete);
    LB = new TPopupBox(this);
    LB->setObjectName(QStringLiteral("LB"));
    LB->MaxLength = static_cast<int>(CallCap);
    LB->OnListClick = [this](TCustomPopupBox*) { ShowEntry(LB->GetItemIndex()); };
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    auto* lay = qobject_cast<QVBoxLayout*>(layout());
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Manager"), this));
    top->addWidget(LB, 1);
    lay->addLayout(top);
    lay->addWidget(Memo1, 1);
    if (CountryDb.Loaded())
        work_ = AddressWorkCopy(CountryDb);
    Refresh();
    resize(380, 300);
}

void TEditAddressDialog::FillChoice()
{
    LB->GetItems().Clear();
    for (const TAddressEntry& e : work_)
        LB->GetItems().Add(e.Call);
}

void TEditAddressDialog::Refresh()
{
    if (work_.empty())
        work_.push_back({PlaceholderCall, ""});
    shown_ = -1;
    FillChoice();
    ShowEntry(0);
}

void TEditAddressDialog::StoreShown()
{
    if (shown_ >= 0 && shown_ < static_cast<int>(work_.size()) && Memo1->document()->isModified())
        work_[static_cast<std::size_t>(shown_)].Text = EntryText(Memo1->toPlainText());
    Memo1->document()->setModified(false);
}

void TEditAddressDialog::ShowEntry(int index)
{
    StoreShown();
    if (index < 0 || index >= static_cast<int>(work_.size()))
        return;
    shown_ = index;
    LB->SetItemIndex(index);
    Memo1->setPlainText(MemoText(work_[static_cast<std::size_t>(index)].Text));
    Memo1->document()->setModified(false);
}

const std::vector<TAddressEntry>& TEditAddressDialog::Work()
{
    StoreShown();
    return work_;
}

void TEditAddressDialog::SearchManager()
{
    const std::string call = UpperAscii(TrimSpaces(LB->GetText()));
    const int at = LocateRow(work_, call, [](const TAddressEntry& e) { return e.Call; });
    ShowEntry(std::min(at, static_cast<int>(work_.size())) - 1);
}

void TEditAddressDialog::AddAddress()
{
    const std::string call = UpperAscii(TrimSpaces(LB->GetText())).substr(0, CallCap);
    if (call.empty())
        return;
    StoreShown();
    const auto at = std::lower_bound(work_.begin(), work_.end(), call,
                                     [](const TAddressEntry& e, const std::string& c) { return e.Call < c; });
    if (at != work_.end() && at->Call == call) {
        MessageDlg("Please change the manager\rbefore adding an entry", TMsgDlgType::mtWarning, mbOK);
        return;
    }
    const auto added = work_.insert(at, TAddressEntry{call, ""});
    const int index = static_cast<int>(added - work_.begin());
    shown_ = -1;
    FillChoice();
    ShowEntry(index);
    Memo1->setFocus();
}

void TEditAddressDialog::DeleteAddress()
{
    if (shown_ < 0 || shown_ >= static_cast<int>(work_.size()))
        return;
    const int index = shown_;
    work_.erase(work_.begin() + index);
    shown_ = -1;
    if (work_.empty()) {
        Refresh();
        return;
    }
    FillChoice();
    ShowEntry(std::min(index, static_cast<int>(work_.size()) - 1));
}

TImportSummary TEditAddressDialog::Import(std::string_view text, bool deleteFirst)
{
    StoreShown();
    // The placeholder of an emptied list is no address of its own.
    if (work_.size() == 1 && work_[0].Call == PlaceholderCall && work_[0].Text.empty())
        work_.clear();
    return ImportAddresses(work_, text, deleteFirst);
}

std::string TEditAddressDialog::ExportedMessage() const { return std::to_string(work_.size()) + " written"; }

void TEditAddressDialog::SaveClick()
{
    StoreShown();
    StoreAddresses(CountryDb, work_);
    SetCountryDataModified();
    accept();
}

} // namespace korval
