#include "reference/windows/setup_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <set>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_base_table_cell.h"
#include "grids/windows/ovc_check_list.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/base/day_number.h"
#include "logbook/base/decimal_text.h"
#include "logbook/base/ini_file.h"
#include "logbook/base/record_bytes.h"
#include "logbook/base/string_utils.h"
#include "logbook/configured_formats.h"
#include "logbook/coord_parts.h"
#include "logbook/country_db.h"
#include "logbook/paths.h"
#include "logbook/position.h"
#include "logbook/qso_fields.h"
#include "logbook/windows/entry_field_error_dialog.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/help_window.h"
#include "logbook/windows/picklist.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "reference/settings_ini.h"
#include "reference/setup_restart.h"
#include "reference/windows/page_controls_ini.h"
#include "station/radio_list.h"

namespace korval {

namespace {

// How a control moves between the working copy and the window.
enum TBindKind {
    bkText,     // short string of capacity `size`
    bkSel,      // choice, 1-based selection in a byte
    bkIndex8,   // choice, 0-based item index in a byte
    bkIndex32,  // choice, 0-based item index in 32 bits
    bkFlag,     // check box, byte 0/1
    bkU8,       // number field
    bkU16,
    bkI32,
    bkChecks,   // check list, one byte per item from the offset
};

const char* const PageCaptions[TSetupDialog::PageCount] = {
    "Personal", "Station", "QSO", "Screen", "Import", "Radio", "Packet1", "Packet2",
    "RTTY", "Ext Data", "F2 Key", "DXCC", "WAS", "WAZ", "WPX", "Rep/Lab"};

// The controls a settings file never holds: the cut-offs go in sections of their own and the
// notes only show the chosen radio's.
const std::set<std::string> NotInSettingsFile{"Personal_band", "Personal_CWcutoff", "F_RadioNotes",
                                              "F_WorkedCutoff", "F_MailedCutoff"};

const std::vector<std::string> QslRouteChoices(std::begin(QslRouteNames), std::end(QslRouteNames));
const std::vector<std::string> ComPorts{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
const std::vector<std::string> TncBaudRates{"1200", "2400", "4800", "9600", "14400", "19200", "38400"};
const std::vector<std::string> FlowControls{"None", "XON/XOFF", "RTS/CTS"};
const std::vector<std::string> Parities{"8 bits/no parity", "7 bits/even parity"};

constexpr std::size_t PacketBlock = TConfigRecord::PacketPortOffset;
constexpr std::size_t RttyBlock = TConfigRecord::RttyPortOffset;
// Award blocks: valid bands, separate bands and valid modes (16 flags each from band or mode 0),
// then the award kinds.
constexpr std::size_t AwardBlockSize = TAwardSettings::Size;
constexpr int MaxShownChars = 48;
constexpr int ShortFieldChars = 12;
constexpr int MaxTabRows = 2;

TOvcSimpleField* TextField(QWidget* parent, const char* name, int maxLength, char mask = 'X')
{
    auto* f = new TOvcSimpleField(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->SetMaxLength(maxLength);
    f->SetPictureMask(mask);
    f->setProperty("Chars", std::min(maxLength, MaxShownChars));
    return f;
}

TOvcSimpleField* ReadOnlyField(QWidget* parent, const char* name, int maxLength)
{
    TOvcSimpleField* f = TextField(parent, name, maxLength);
    TOvcEntryFieldOptions options = f->Options();
    options.Include(efoReadOnly);
    f->SetOptions(options);
    return f;
}

TOvcNumericField* NumberField(QWidget* parent, const char* name, const char* mask, double lo, double hi,
                              bool real = false)
{
    auto* f = new TOvcNumericField(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->SetDataType(real ? nftDouble : nftLongInt);
    f->SetPictureMask(mask);
    auto text = [real](double v) { return real ? FormatFixed(v, 6) : std::to_string(static_cast<long long>(v)); };
    f->SetRangeLo(text(lo));
    f->SetRangeHi(text(hi));
    // The range message names the limits as the operator knows them.
    f->setProperty("RangeLo", QString::number(lo));
    f->setProperty("RangeHi", QString::number(hi));
    f->setProperty("Chars", static_cast<int>(std::string(mask).size()) + 1);
    return f;
}

TWheelx* Choice(QWidget* parent, const char* name, const std::vector<std::string>& items)
{
    auto* w = new TWheelx(parent);
    w->setObjectName(QString::fromLatin1(name));
    for (const std::string& item : items)
        w->GetItems().Add(item);
    w->Loaded();
    return w;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

TOvcCheckList* CheckList(QWidget* parent, const std::string& name, const std::vector<std::string>& items)
{
    auto* list = new TOvcCheckList(parent);
    list->setObjectName(QString::fromStdString(name));
    for (const std::string& item : items)
        list->Items().Add(item);
    // Sized to its items once the fonts are known (FitWindow).
    list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    return list;
}

QGroupBox* Group(QWidget* parent, const char* name, const char* caption)
{
    auto* g = new QGroupBox(QString::fromLatin1(caption), parent);
    g->setObjectName(QString::fromLatin1(name));
    return g;
}

QLabel* Caption(QWidget* parent, const char* text)
{
    return new QLabel(QString::fromLatin1(text), parent);
}

// Rows of caption and control in a grid, from a column.
class TRows {
public:
    TRows(QGridLayout* grid, int column = 0, int row = 0) : grid_(grid), column_(column), row_(row) {}
    void Add(QWidget* parent, const char* caption, QWidget* control, QWidget* extra = nullptr)
    {
        grid_->addWidget(Caption(parent, caption), row_, column_);
        grid_->addWidget(control, row_, column_ + 1);
        if (extra)
            grid_->addWidget(extra, row_, column_ + 2);
        ++row_;
    }
    void Span(QWidget* control, int columns = 2)
    {
        grid_->addWidget(control, row_++, column_, 1, columns);
    }
    int Row() const { return row_; }

private:
    QGridLayout* grid_;
    int column_;
    int row_;
};

std::vector<std::string> BandNames(int from, int to, bool padded)
{
    std::vector<std::string> names;
    for (int band = from; band <= to; ++band)
        names.push_back(padded ? PadLeft(BandName(band), 5) : BandName(band));
    return names;
}

std::vector<std::string> ModeNames(bool blank)
{
    std::vector<std::string> names;
    for (int mode = 1; mode <= 15; ++mode)
        names.push_back((blank ? " " : "") + ModeName(mode));
    return names;
}

void SetCoordField(TOvcNumericField* field, TWheelx* sign, double value)
{
    const TCoordParts parts = SplitCoord(value);
    field->SetAsFloat(parts.magnitude);
    sign->SetSelection(parts.selection);
}

double GetCoordField(TOvcNumericField* field, TWheelx* sign)
{
    return JoinCoord(field->GetAsFloat(), sign->GetSelection());
}

std::uint32_t ColourOf(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

} // namespace

struct TSetupDialog::TBinding {
    int page;
    QWidget* control;
    int kind;
    std::size_t offset;
    int size;
};

TSetupDialog::TSetupDialog(TSetupServices& services, std::vector<std::string> reportNames, QWidget* parent,
                           std::string radiosDir)
    : QDialog(parent), services_(services), reportNames_(std::move(reportNames)), radiosDir_(std::move(radiosDir))
{
    setObjectName(QStringLiteral("SetupDialog"));
    setWindowTitle(QStringLiteral("Setup Parameters"));
    OvcController1 = new TOvcController(this);
    OvcController1->setObjectName(QStringLiteral("OvcController1"));
    OvcController1->OnError = [](QObject* sender, uint16_t code, const std::string& text) {
        ShowEntryFieldError(sender, code, text);
    };
    BuildMenu();
    BuildPages();
    Merged = false;
    // F1 is the setup's help; the spotter prefixes take it for their country list.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { ShowHelp(this); });
}

TSetupDialog::~TSetupDialog() = default;

QWidget* TSetupDialog::Control(const char* name) const
{
    return findChild<QWidget*>(QString::fromLatin1(name));
}

int TSetupDialog::PageOf(const QWidget* control) const
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const auto it = std::find(pages_.begin(), pages_.end(), w);
        if (it != pages_.end())
            return static_cast<int>(it - pages_.begin());
    }
    return -1;
}

void TSetupDialog::BuildMenu()
{
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(MainMenu);
    lay->setContentsMargins(4, 4, 4, 4);
    QMenu* file = MainMenu->addMenu(QStringLiteral("&File"));
    auto add = [this, file](const char* name, const char* text, void (TSetupDialog::*slot)()) {
        QAction* a = file->addAction(QString::fromLatin1(text), this, [this, slot] { (this->*slot)(); });
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    Savechangesandexit1 = add("Savechangesandexit1", "&Save Changes and Exit", &TSetupDialog::Savechangesandexit1Click);
    Cancelchangesandexit2 =
        add("Cancelchangesandexit2", "&Cancel Changes and Exit", &TSetupDialog::Cancelchangesandexit2Click);
    file->addSeparator();
    WriteINIFile1 = add("WriteINIFile1", "&Write INI File", &TSetupDialog::WriteINIFile1Click);
    MergeINIfile1 = add("MergeINIfile1", "&Merge INI file", &TSetupDialog::MergeINIfile1Click);
}

void TSetupDialog::AddFlagBoxes(int page, QWidget* group, QBoxLayout* layout, std::span<const TFlagBox> boxes,
                                std::size_t base)
{
    for (const TFlagBox& b : boxes) {
        QCheckBox* box = Check(group, b.name, b.caption);
        layout->addWidget(box);
        Bind(page, box, bkFlag, base + b.offset);
    }
}

void TSetupDialog::Bind(int page, QWidget* control, int kind, std::size_t offset, int size)
{
    bindings_.push_back({page, control, kind, offset, size});
}

void TSetupDialog::BuildPages()
{
    SetupNoteBook = new TOvcNotebook(this);
    SetupNoteBook->setObjectName(QStringLiteral("SetupNoteBook"));
    for (int i = 0; i < PageCount; ++i) {
        TOvcTabPage* page = SetupNoteBook->AddPage(PageCaptions[i]);
        page->setObjectName(QStringLiteral("Page%1").arg(i));
        pages_.push_back(page);
    }
    BuildPersonal(pages_[pgPersonal]);
    BuildStation(pages_[pgStation]);
    BuildQso(pages_[pgQso]);
    BuildScreen(pages_[pgScreen]);
    BuildImport(pages_[pgImport]);
    BuildRadio(pages_[pgRadio]);
    BuildPacket1(pages_[pgPacket1]);
    BuildPacket2(pages_[pgPacket2]);
    BuildRtty(pages_[pgRtty]);
    BuildExtData(pages_[pgExtData]);
    BuildF2Key(pages_[pgF2Key]);
    BuildAward(pages_[pgDxcc], "CL_DXCC_", "CL_DXCC_valid", akDxcc);
    BuildAward(pages_[pgWas], "CL_WAS_", "CL_WAS_valid", akWas);
    BuildAward(pages_[pgWaz], "CL_WAZ_", "CL_WAZ_valid", akWaz);
    BuildAward(pages_[pgWpx], "CL_WPX_", "CL_WPX_Valid", akWpx);
    BuildRepLab(pages_[pgRepLab]);

    SetupNoteBook->SetTabOrientation(toRight);
    SetupNoteBook->OnPageChange = [this](TOvcNotebook*, int, bool& allow) {
        StorePage(SetupNoteBook->PageIndex());
        allow = true;
    };
    SetupNoteBook->OnPageChanged = [this](TOvcNotebook*, int index) { LoadPage(index); };
    SetupNoteBook->OnDrawTab = [this](TOvcNotebook*, int index, const std::string& title, const QRect& r, bool,
                                      bool active, QPainter& p) { SetupNoteBookDrawTab(index, title, r, active, p); };
    SetupNoteBook->Loaded();
    layout()->addWidget(SetupNoteBook);
}

QWidget* TSetupDialog::BuildPersonal(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows rows(grid);
    auto* call = TextField(page, "Personal_Callsign", 12, '!');
    auto* level = Choice(page, "Personal_UserLevel", {"Regular", "Advanced", "Expert"});
    rows.Add(page, "Callsign", call);
    rows.Add(page, "User level", level);
    Bind(pgPersonal, call, bkText, TConfigRecord::OwnCallOffset, TConfigRecord::OwnCallCapacity);
    Bind(pgPersonal, level, bkSel, TConfigRecord::UserLevelOffset);
    for (int line = 0; line < 4; ++line) {
        const std::string name = "Personal_Addr" + std::to_string(line + 1);
        auto* addr = TextField(page, name.c_str(), 40);
        rows.Add(page, line == 0 ? "Name and address" : "", addr);
        grid->addWidget(addr, rows.Row() - 1, 1, 1, 3);
        Bind(pgPersonal, addr, bkText, TConfigRecord::AddressOffset + 41 * line, 40);
    }
    Personal_grid = new TOvcPictureField(page);
    Personal_grid->setObjectName(QStringLiteral("Personal_grid"));
    Personal_grid->SetPictureMask("!!99ll");
    Personal_grid->setProperty("Chars", 7);
    Bind(pgPersonal, Personal_grid, bkText, TConfigRecord::OwnGridOffset, TConfigRecord::OwnGridCapacity);
    GridToPosBtn = new QToolButton(page);
    GridToPosBtn->setObjectName(QStringLiteral("GridToPosBtn"));
    GridToPosBtn->setText(QStringLiteral("Calculate from Grid"));
    PosToGridBtn = new QToolButton(page);
    PosToGridBtn->setObjectName(QStringLiteral("PosToGridBtn"));
    PosToGridBtn->setText(QStringLiteral("Calculate from Long/Lat"));
    connect(GridToPosBtn, &QToolButton::clicked, this, &TSetupDialog::GridToPositionClick);
    connect(PosToGridBtn, &QToolButton::clicked, this, &TSetupDialog::PositionToGridClick);
    rows.Add(page, "Grid locator", Personal_grid, GridToPosBtn);
    grid->addWidget(PosToGridBtn, rows.Row() - 1, 3);
    Personal_Longitude = NumberField(page, "Personal_Longitude", "###.###", 0, 180, true);
    Personal_longsign = Choice(page, "Personal_longsign", {"East", "West"});
    Personal_Latitude = NumberField(page, "Personal_Latitude", "##.###", 0, 90, true);
    Personal_latsign = Choice(page, "Personal_latsign", {"North", "South"});
    rows.Add(page, "Longitude", Personal_Longitude, Personal_longsign);
    rows.Add(page, "Latitude", Personal_Latitude, Personal_latsign);
    auto* dates = Choice(page, "Personal_DateFormat", {"mm/dd/yyyy", "dd/mm/yyyy", "yyyy-mm-dd"});
    auto* units = Choice(page, "Personal_UnitFormat", {"Mi", "Km"});
    rows.Add(page, "Date format", dates);
    rows.Add(page, "Distance unit", units);
    Bind(pgPersonal, dates, bkSel, TConfigRecord::DateFormatOffset);
    Bind(pgPersonal, units, bkSel, TConfigRecord::DistanceUnitOffset);
    auto dateField = [page](const char* name) {
        auto* f = new TOvcPictureField(page);
        f->setObjectName(QString::fromLatin1(name));
        f->SetDataType(pftDate);
        f->SetPictureMask(DateFormatString());
        f->setProperty("Chars", 11);
        return f;
    };
    F_WorkedCutoff = dateField("F_WorkedCutoff");
    F_MailedCutoff = dateField("F_MailedCutoff");
    rows.Add(page, "Worked cutoff", F_WorkedCutoff);
    rows.Add(page, "Mailed cutoff", F_MailedCutoff);
    grid->setRowStretch(rows.Row(), 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TSetupDialog::BuildStation(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    auto* bands = CheckList(page, "CL_station_bands", BandNames(1, 15, true));
    auto* modes = CheckList(page, "CL_station_modes", ModeNames(true));
    auto* vucc = CheckList(page, "CL_VUCC_bands", BandNames(10, 15, true));
    grid->addWidget(Caption(page, "Station bands"), 0, 0);
    grid->addWidget(Caption(page, "Station modes"), 0, 1);
    grid->addWidget(Caption(page, "VUCC bands"), 0, 2);
    grid->addWidget(bands, 1, 0, 3, 1);
    grid->addWidget(modes, 1, 1, 3, 1);
    grid->addWidget(vucc, 1, 2);
    Bind(pgStation, bands, bkChecks, TConfigRecord::StationBandOffset + 1, 15);
    Bind(pgStation, modes, bkChecks, TConfigRecord::StationModeOffset + 1, 15);
    Bind(pgStation, vucc, bkChecks, TConfigRecord::VuccBandOffset, 6);

    auto* squares = Group(page, "GridGroup", "Grid squares");
    auto* squaresLay = new QGridLayout(squares);
    F_GridSelection = Choice(squares, "F_GridSelection", {"2 chars", "4 chars", "6 chars"});
    TRows(squaresLay).Add(squares, "Length", F_GridSelection);
    grid->addWidget(squares, 2, 2);

    auto* rotator = Group(page, "RotatorGroup", "Rotator");
    auto* rotLay = new QGridLayout(rotator);
    TRows rotRows(rotLay);
    auto* rotType = Choice(rotator, "Rotator_type", {"None", "SARtek1", "Hygn DCU1", "Orion M2", "HD-1780"});
    auto* rotPort = Choice(rotator, "Rotator_port", ComPorts);
    rotRows.Add(rotator, "Type", rotType);
    rotRows.Add(rotator, "Port", rotPort);
    Bind(pgStation, rotType, bkSel, TConfigRecord::RotatorKindOffset);
    Bind(pgStation, rotPort, bkSel, TConfigRecord::RotatorPortOffset);
    grid->addWidget(rotator, 1, 3);

    auto* decoder = Group(page, "BandDecoderGroup", "Band decoder");
    auto* decLay = new QGridLayout(decoder);
    TRows decRows(decLay);
    auto* decType = Choice(decoder, "F_Band_type", {"None", "Top Ten"});
    auto* decPort = Choice(decoder, "F_Band_Port", {"LPT1", "LPT2", "LPT3"});
    auto* decRange = Choice(decoder, "F_Band_sel", {"160m-10m", "160m-6m", "6m-23cm"});
    decRows.Add(decoder, "Type", decType);
    decRows.Add(decoder, "Port", decPort);
    decRows.Add(decoder, "Bands", decRange);
    Bind(pgStation, decType, bkSel, TConfigRecord::BandDecoderOffset);
    Bind(pgStation, decPort, bkSel, TConfigRecord::BandDecoderPortOffset);
    Bind(pgStation, decRange, bkSel, TConfigRecord::BandDecoderKindOffset);
    grid->addWidget(decoder, 2, 3);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TSetupDialog::BuildQso(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows rows(grid);
    auto* band = Choice(page, "DefQSO_band", BandNames(1, 15, false));
    auto* mode = Choice(page, "DefQSO_Mode", ModeNames(false));
    auto* method = Choice(page, "DefQSO_Method", QslRouteChoices);
    auto* label = Choice(page, "DefQSO_Label", {"Y", "N"});
    auto* group = NumberField(page, "DefQSO_Group", "999", 0, 253);
    group->setToolTip(QStringLiteral("A number from 0 to 253"));
    auto* backup = NumberField(page, "DefQSO_BackupInterval", "99999", 0, 65535);
    backup->setToolTip(QStringLiteral("Set to 0 for no backup"));
    auto* callSearch = Choice(page, "DefQSO_CallSearch", {"Exact", "Pattern", "Fuzzy", "Substring"});
    auto* dateSearch = Choice(page, "DefQSO_DateSearch", {"Exact", "Greater Equal", "Range"});
    rows.Add(page, "Default band", band);
    rows.Add(page, "Default mode", mode);
    rows.Add(page, "Default QSL method", method);
    rows.Add(page, "Default label", label);
    rows.Add(page, "Default group", group);
    rows.Add(page, "Backup interval (min)", backup);
    rows.Add(page, "Callsign search", callSearch);
    rows.Add(page, "Date search", dateSearch);
    Bind(pgQso, band, bkSel, TConfigRecord::DefaultBandOffset);
    Bind(pgQso, mode, bkSel, TConfigRecord::DefaultModeOffset);
    Bind(pgQso, method, bkSel, TConfigRecord::DefaultQslRouteOffset);
    Bind(pgQso, label, bkSel, TConfigRecord::DefaultLabelOffset);
    Bind(pgQso, group, bkU8, TConfigRecord::MergeGroupOffset);
    Bind(pgQso, backup, bkU16, TConfigRecord::AutoSaveIntervalOffset);
    Bind(pgQso, callSearch, bkSel, TConfigRecord::CallSearchMethodOffset);
    Bind(pgQso, dateSearch, bkSel, TConfigRecord::DateSearchMethodOffset);

    auto* cutoff = Group(page, "CutoffGroup", "CW cutoff (kHz)");
    auto* cutLay = new QGridLayout(cutoff);
    Personal_band = Choice(cutoff, "Personal_band", BandNames(1, 15, false));
    Personal_CWcutoff = NumberField(cutoff, "Personal_CWcutoff", "#,###,###.##", 0, 9999999.99, true);
    cutLay->addWidget(Personal_band, 0, 0);
    cutLay->addWidget(Personal_CWcutoff, 0, 1);
    Personal_band->OnChange = [this](TCustomPopupBox*) {
        if (!loading_)
            Personal_bandChange();
    };
    rows.Span(cutoff, 3);

    auto* flags = Group(page, "QsoFlagsGroup", "Options");
    auto* flagLay = new QVBoxLayout(flags);
    const TFlagBox boxes[] = {{"DefQSO_Cycle", "Cycle Files", TConfigRecord::KeepBackupOffset},
                 {"DefQSO_ShowSecs", "Show seconds in time", TConfigRecord::TimeFormatOffset},
                 {"DefQSO_ShowHints", "Show Hints", TConfigRecord::ShowHintsOffset},
                 {"DefQSO_CallUpdate", "Callsign Update", TConfigRecord::LookupWhileTypingOffset},
                 {"DefQSO_WarnOnMove", "Warn if QSO not saved", TConfigRecord::WarnUnsavedQsoOffset},
                 {"DefQSO_CheckCalendar", "Check Calendar at startup", TConfigRecord::CalendarCheckOffset},
                 {"DefQSO_ShowBandMHz", "Show band in MHz", TConfigRecord::BandNamesAsFrequencyOffset}};
    AddFlagBoxes(pgQso, flags, flagLay, boxes);
    flagLay->addStretch();
    grid->addWidget(flags, 0, 3, rows.Row(), 1);
    grid->setRowStretch(rows.Row(), 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TSetupDialog::BuildScreen(QWidget* page)
{
    auto* lay = new QVBoxLayout(page);
    ScreenGroup = Group(page, "ScreenGroup", "Screen Fonts / Scale");
    auto* grid = new QGridLayout(ScreenGroup);
    F_FormScale = NumberField(ScreenGroup, "F_FormScale", "999", 50, 150);
    grid->addWidget(Caption(ScreenGroup, "Form scale (%)"), 0, 0);
    grid->addWidget(F_FormScale, 0, 1);
    grid->addWidget(Caption(ScreenGroup, "Font"), 1, 1);
    grid->addWidget(Caption(ScreenGroup, "Size"), 1, 2);
    grid->addWidget(Caption(ScreenGroup, "Bold"), 1, 3);
    struct TFontRow {
        const char* caption;
        const char* prefix;
        TOvcSimpleField** name;
        TOvcNumericField** size;
        QCheckBox** bold;
        TFontKind kind;
    };
    const TFontRow fontRows[] = {{"Heading", "F_FontL", &F_FontLName, &F_FontLSize, &F_FontLBold, fkScalable},
                                 {"Input", "F_FontI", &F_FontIName, &F_FontISize, &F_FontIBold, fkAny},
                                 {"Listbox", "F_FontB", &F_FontBName, &F_FontBSize, &F_FontBBold, fkFixedPitch}};
    int row = 2;
    for (const TFontRow& r : fontRows) {
        const std::string p = r.prefix;
        *r.name = ReadOnlyField(ScreenGroup, (p + "Name").c_str(), 40);
        (*r.name)->setProperty("Chars", 24);
        *r.size = NumberField(ScreenGroup, (p + "Size").c_str(), "99", 0, 99);
        *r.bold = Check(ScreenGroup, (p + "Bold").c_str(), "");
        grid->addWidget(Caption(ScreenGroup, r.caption), row, 0);
        grid->addWidget(*r.name, row, 1);
        grid->addWidget(*r.size, row, 2);
        grid->addWidget(*r.bold, row, 3);
        const std::size_t at = TConfigRecord::FontOffset + TConfigRecord::FontStride * (row - 2);
        Bind(pgScreen, *r.name, bkText, at, 40);
        Bind(pgScreen, *r.size, bkU8, at + 41);
        Bind(pgScreen, *r.bold, bkFlag, at + 42);
        (*r.name)->installEventFilter(this);
        (*r.name)->setProperty("FontKind", static_cast<int>(r.kind));
        ++row;
    }
    grid->setColumnStretch(4, 1);
    lay->addWidget(ScreenGroup);
    lay->addStretch();
    return page;
}

QWidget* TSetupDialog::BuildImport(QWidget* page)
{
    auto* lay = new QVBoxLayout(page);
    auto* errors = Group(page, "ImportErrorsGroup", "Report errors");
    auto* errLay = new QVBoxLayout(errors);
    const TFlagBox boxes[] = {{"Imp_syntax", "Simple errors", TConfigRecord::ImportDiagnosticsOffset},
                 {"imp_prefix", "Prefix differences", TConfigRecord::ImportPrefixDiffsOffset},
                 {"imp_zone", "Zone differences", TConfigRecord::ImportZoneDiffsOffset}};
    AddFlagBoxes(pgImport, errors, errLay, boxes);
    auto* conflicts = Group(page, "ImportConflictGroup", "Differences");
    auto* conLay = new QVBoxLayout(conflicts);
    auto* action = Choice(conflicts, "imp_action",
                          {"Show QSO information and ask", "Accept KORVAL values", "Accept imported values"});
    conLay->addWidget(action);
    Bind(pgImport, action, bkIndex32, TConfigRecord::ImportConflictActionOffset);
    auto* row = new QHBoxLayout;
    row->addWidget(errors);
    row->addWidget(conflicts);
    row->addStretch();
    lay->addLayout(row);
    lay->addStretch();
    return page;
}

QWidget* TSetupDialog::BuildRadio(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows rows(grid);
    Hardware_RadioType = Choice(page, "Hardware_RadioType", {});
    Hardware_RadioType->OnChange = [this](TCustomPopupBox*) {
        if (!loading_)
            RadioTypeChange();
    };
    F_RadioNotes = ReadOnlyField(page, "F_RadioNotes", 35);
    F_RadioNotes->setFocusPolicy(Qt::NoFocus);
    rows.Add(page, "Radio", Hardware_RadioType, F_RadioNotes);
    auto* id = TextField(page, "Hardware_RadioID", 2, 'K');
    id->SetDataType(sftByte);
    id->SetMaxLength(2);
    id->SetPictureMask('K');
    id->setProperty("Chars", 3);
    id->setToolTip(QStringLiteral("Press F1 for values"));
    rows.Add(page, "Radio address (hex)", id);
    Bind(pgRadio, id, bkU8, TConfigRecord::RadioAddressOffset);
    Hardware_baudrate = NumberField(page, "Hardware_baudrate", "99999", 0, 65535);
    hardware_defaultrate = Check(page, "hardware_defaultrate", "Default");
    hardware_defaultrate->setChecked(true);
    connect(hardware_defaultrate, &QCheckBox::clicked, this, [this] { SetRadioRate(); });
    rows.Add(page, "Baud rate", Hardware_baudrate, hardware_defaultrate);
    Bind(pgRadio, Hardware_baudrate, bkU16, TConfigRecord::RadioBaudOffset);
    Bind(pgRadio, hardware_defaultrate, bkFlag, TConfigRecord::RadioUseDefaultRateOffset);
    auto* port = Choice(page, "Hardware_RadioCOMPort", ComPorts);
    auto* poll = NumberField(page, "Hardware_RadioPollRate", "99999", 0, 65535);
    auto* tries = NumberField(page, "Hardware_RadioMaxTries", "99", 1, 20);
    auto* cwPort = Choice(page, "hardware_cwport",
                          {"None", "LPT1", "LPT2", "LPT3", "DTR on radio port", "RTS on radio port"});
    auto* ptt = NumberField(page, "hardware_PTTDelay", "99", 0, 99);
    rows.Add(page, "COM port", port);
    rows.Add(page, "Poll rate (ms)", poll);
    rows.Add(page, "Maximum tries", tries);
    rows.Add(page, "CW port", cwPort);
    rows.Add(page, "PTT delay (ms)", ptt);
    Bind(pgRadio, port, bkSel, TConfigRecord::RadioComPortOffset);
    Bind(pgRadio, poll, bkU16, TConfigRecord::RadioPollIntervalOffset);
    Bind(pgRadio, tries, bkU8, TConfigRecord::RadioRetriesOffset);
    Bind(pgRadio, cwPort, bkSel, TConfigRecord::CwKeyingInterfaceOffset);
    Bind(pgRadio, ptt, bkU8, TConfigRecord::CwPttDelayOffset);
    auto* dtr = Check(page, "Hardware_DTRHigh", "DTR High");
    auto* rts = Check(page, "Hardware_RTSHigh", "RTS High");
    rows.Add(page, "Radio port lines", dtr, rts);
    Bind(pgRadio, dtr, bkFlag, TConfigRecord::RadioDtrOffset);
    Bind(pgRadio, rts, bkFlag, TConfigRecord::RadioRtsOffset);
    grid->setRowStretch(rows.Row(), 1);
    grid->setColumnStretch(3, 1);
    return page;
}

QWidget* TSetupDialog::BuildPacket1(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows left(grid);
    auto* kind = Choice(page, "TNC_Type", {"None", "Regular"});
    std::vector<std::string> ports = ComPorts;
    ports.insert(ports.end(), {"TCP/IP", "Msg"});
    auto* port = Choice(page, "TNC_Comport", ports);
    auto* baud = Choice(page, "TNC_Baudrate", TncBaudRates);
    auto* flow = Choice(page, "TNC_Flow", FlowControls);
    auto* parity = Choice(page, "TNC_Parity", Parities);
    left.Add(page, "TNC type", kind);
    left.Add(page, "Port", port);
    left.Add(page, "Baud rate", baud);
    left.Add(page, "Flow control", flow);
    left.Add(page, "Parity", parity);
    Bind(pgPacket1, kind, bkSel, PacketBlock + TPortSettings::TerminalKindOffset);
    Bind(pgPacket1, port, bkSel, PacketBlock + TPortSettings::ComPortOffset);
    Bind(pgPacket1, baud, bkSel, PacketBlock + TPortSettings::BaudIndexOffset);
    Bind(pgPacket1, flow, bkSel, PacketBlock + TPortSettings::FlowControlOffset);
    Bind(pgPacket1, parity, bkSel, PacketBlock + TPortSettings::ParityOffset);

    TRows right(grid, 2);
    auto* talk = Choice(page, "Packet_talkaction", {"Ignore", "System Beep", "List in Window", "Beep & show window"});
    auto* alert = Choice(page, "Packet_DXAlert", {"None", "New Country", "New Mode", "New Band/Mode", "All"});
    auto* voice = Choice(page, "Packet_DXVoice",
                         {"System Beep", "CW announce", "Call", "Band/Call", "Mode/Call", "Band/Mode/Call"});
    auto* endorsed = Choice(page, "Packet_EndorsedBM", {"Adds to Award", "New band or mode", "New band/mode"});
    right.Add(page, "Talk messages", talk);
    right.Add(page, "DX alert", alert);
    right.Add(page, "Announce", voice);
    right.Add(page, "Band/mode warning", endorsed);
    Bind(pgPacket1, talk, bkIndex32, TConfigRecord::TalkActionOffset);
    Bind(pgPacket1, alert, bkIndex32, TConfigRecord::AnnounceLevelOffset);
    Bind(pgPacket1, voice, bkIndex32, TConfigRecord::AnnounceContentOffset);
    Bind(pgPacket1, endorsed, bkSel, TConfigRecord::NewBandModeWarningOffset);

    auto* flags = Group(page, "PacketFlagsGroup", "Options");
    auto* flagLay = new QGridLayout(flags);
    const struct {
        const char* name;
        const char* caption;
        std::size_t offset;
    } boxes[] = {{"packet_soundbell", "Use bell character", PacketBlock + TPortSettings::UseBellOffset},
                 {"Packet_ShowFunction", "Show function keys", PacketBlock + TPortSettings::ShowFunctionKeysOffset},
                 {"Packet_IgnoreGray", "Ignore 'Gray' Spots", TConfigRecord::IgnoreGraySpotsOffset},
                 {"DefQSO_BackupDX", "Backup DX spots", TConfigRecord::BackupSpotsOffset},
                 {"Packet_ShowOnApp", "Show spot on taskbar", TConfigRecord::SpotOnTaskbarOffset}};
    int i = 0;
    for (const auto& b : boxes) {
        QCheckBox* box = Check(flags, b.name, b.caption);
        flagLay->addWidget(box, i / 3, i % 3);
        Bind(pgPacket1, box, bkFlag, b.offset);
        ++i;
    }
    const int below = std::max(left.Row(), right.Row());
    grid->addWidget(flags, below, 0, 1, 4);
    TRows texts(grid, 0, below + 1);
    auto* handshake = TextField(page, "Packet_MsgHandshake", 60);
    auto* calls = TextField(page, "Packet_DXCallsign", 60, '!');
    Packet_OkPrefixes = TextField(page, "Packet_OkPrefixes", 60, '!');
    Packet_OkPrefixes->setToolTip(QStringLiteral("F1 for Country Listing"));
    Packet_OkPrefixes->installEventFilter(this);
    for (auto [caption, field] : {std::pair{"Message handshake", handshake}, std::pair{"Alert callsigns", calls},
                                  std::pair{"Spotter prefixes", Packet_OkPrefixes}}) {
        texts.Add(page, caption, field);
        grid->addWidget(field, texts.Row() - 1, 1, 1, 3);
    }
    Bind(pgPacket1, handshake, bkText, TConfigRecord::MessageHandshakeOffset, 60);
    Bind(pgPacket1, calls, bkText, TConfigRecord::CallAlertListOffset, 60);
    Bind(pgPacket1, Packet_OkPrefixes, bkText, TConfigRecord::SpotterFilterOffset, 60);
    grid->setRowStretch(texts.Row(), 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TSetupDialog::BuildPacket2(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows rows(grid);
    auto* lines = NumberField(page, "Packet_max_lines", "99999", 100, 16000);
    auto* spots = NumberField(page, "Packet_max_putout", "99999", 10, 16000);
    rows.Add(page, "Terminal lines", lines);
    rows.Add(page, "DX spots kept", spots);
    Bind(pgPacket2, lines, bkI32, PacketBlock + TPortSettings::MaxLinesOffset);
    Bind(pgPacket2, spots, bkU16, TConfigRecord::SpotListCapacityOffset);
    for (int n = 0; n < 4; ++n) {
        const std::string pattern = "Packet_pat" + std::to_string(n + 1);
        const std::string talk = "packet_talk" + std::to_string(n + 1);
        auto* p = TextField(page, pattern.c_str(), 32);
        auto* t = TextField(page, talk.c_str(), 20, '!');
        rows.Add(page, n == 0 ? "DX spotting patterns" : "", p);
        grid->addWidget(Caption(page, n == 0 ? "Warning patterns" : ""), rows.Row() - 1, 2);
        grid->addWidget(t, rows.Row() - 1, 3);
        Bind(pgPacket2, p, bkText, TConfigRecord::SpotTemplateOffset + 33 * n, 32);
        Bind(pgPacket2, t, bkText, TConfigRecord::TalkPatternOffset + 21 * n, 20);
    }
    auto* colours = Group(page, "SpotColourGroup", "Spot colours (click to change)");
    auto* colLay = new QGridLayout(colours);
    const char* const captions[6] = {"New Country", "New Mode", "New band / mode", "Not cnf, different call",
                                     "Nothing special", "No interest"};
    for (int c = 0; c < 6; ++c) {
        CLab[c] = new QLabel(QString::fromLatin1(captions[c]), colours);
        CLab[c]->setObjectName(QStringLiteral("CLab%1").arg(c + 1));
        CLab[c]->setProperty("Tag", c + 1);
        CLab[c]->setAutoFillBackground(true);
        CLab[c]->setMargin(3);
        CLab[c]->setCursor(Qt::PointingHandCursor);
        CLab[c]->installEventFilter(this);
        colLay->addWidget(CLab[c], c / 3, c % 3);
    }
    grid->addWidget(colours, rows.Row(), 0, 1, 4);
    grid->setRowStretch(rows.Row() + 1, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TSetupDialog::BuildRtty(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows rows(grid);
    auto* kind = Choice(page, "RTTY_Type", {"None", "Regular"});
    std::vector<std::string> ports = ComPorts;
    ports.push_back("TCP/IP");
    auto* port = Choice(page, "RTTY_Comport", ports);
    auto* baud = Choice(page, "RTTY_Baudrate", TncBaudRates);
    auto* flow = Choice(page, "RTTY_Flow", FlowControls);
    auto* parity = Choice(page, "RTTY_Parity", Parities);
    auto* lines = NumberField(page, "rtty_max_lines", "99999", 100, 16000);
    rows.Add(page, "Terminal type", kind);
    rows.Add(page, "Port", port);
    rows.Add(page, "Baud rate", baud);
    rows.Add(page, "Flow control", flow);
    rows.Add(page, "Parity", parity);
    rows.Add(page, "Terminal lines", lines);
    Bind(pgRtty, kind, bkSel, RttyBlock + TPortSettings::TerminalKindOffset);
    Bind(pgRtty, port, bkSel, RttyBlock + TPortSettings::ComPortOffset);
    Bind(pgRtty, baud, bkSel, RttyBlock + TPortSettings::BaudIndexOffset);
    Bind(pgRtty, flow, bkSel, RttyBlock + TPortSettings::FlowControlOffset);
    Bind(pgRtty, parity, bkSel, RttyBlock + TPortSettings::ParityOffset);
    Bind(pgRtty, lines, bkI32, RttyBlock + TPortSettings::MaxLinesOffset);
    auto* flags = Group(page, "RttyFlagsGroup", "Options");
    auto* flagLay = new QVBoxLayout(flags);
    const TFlagBox boxes[] = {{"rtty_checkspots", "Check for DXspots", TPortSettings::TakesSpotsOffset},
                 {"RTTY_CheckOtherW", "Announce DX to other window", TPortSettings::AnnounceBothOffset},
                 {"rtty_soundbell", "Use bell character", TPortSettings::UseBellOffset},
                 {"rtty_alwaysimmed", "Always in Immediate mode", TPortSettings::AlwaysImmediateOffset},
                 {"rtty_showfunctions", "Show function keys", TPortSettings::ShowFunctionKeysOffset}};
    AddFlagBoxes(pgRtty, flags, flagLay, boxes, RttyBlock);
    grid->addWidget(flags, 0, 2, rows.Row(), 1);
    grid->setRowStretch(rows.Row(), 1);
    grid->setColumnStretch(3, 1);
    return page;
}

QWidget* TSetupDialog::BuildExtData(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    auto* address = Group(page, "ExtAddressGroup", "Address lookups");
    auto* addrLay = new QGridLayout(address);
    TRows addrRows(addrLay);
    auto* kind = Choice(address, "F_ExtAddrType", {"None", "Amsoft CDRom", "Buckmaster CDRom", "Flying Horse CDRom",
                                                   "QRZ CDRom", "Octavia CDROM"});
    auto* path = TextField(address, "F_ExtAddrPath", 80);
    path->setToolTip(QStringLiteral("Empty: the EXTDATA folder of the Korval home"));
    addrRows.Add(address, "Source", kind);
    addrRows.Add(address, "Data folder", path);
    Bind(pgExtData, kind, bkIndex8, TConfigRecord::CallbookKindOffset);
    Bind(pgExtData, path, bkText, TConfigRecord::CallbookPathOffset, 80);
    auto* qsl = Group(page, "ExtQslGroup", "QSL manager program");
    auto* qslLay = new QGridLayout(qsl);
    TRows qslRows(qslLay);
    auto* enabled = Check(qsl, "F_ExtQSLEnabled", "Enabled");
    F_ExtQSLProg = TextField(qsl, "F_ExtQSLProg", 80, '!');
    F_ExtQSLProg->setToolTip(QStringLiteral("Double click to choose the program"));
    F_ExtQSLProg->installEventFilter(this);
    qslRows.Span(enabled);
    qslRows.Add(qsl, "Program", F_ExtQSLProg);
    Bind(pgExtData, enabled, bkFlag, TConfigRecord::QslManagerProgramOnOffset);
    Bind(pgExtData, F_ExtQSLProg, bkText, TConfigRecord::QslManagerProgramOffset, 80);
    grid->addWidget(address, 0, 0);
    grid->addWidget(qsl, 1, 0);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* TSetupDialog::BuildF2Key(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    TRows rows(grid);
    auto* confirm = Check(page, "F_F2_Confirm", "Mark QSO as Confirmed");
    auto* method = Choice(page, "F_F2_Method", QslRouteChoices);
    auto* label = Choice(page, "F_F2_label", {"Do Nothing", "Set Label Field to Y", "Mark for Sequenced Printing"});
    auto* next = Choice(page, "F_F2_NextQSO", {"Same QSO", "Next QSO", "Specify New QSO Filter"});
    auto* alert = Check(page, "F_F2_Alert", "Alert when Confirming New Band or Mode");
    rows.Span(confirm);
    rows.Add(page, "QSL method", method);
    rows.Add(page, "Label", label);
    rows.Add(page, "Then", next);
    rows.Span(alert);
    Bind(pgF2Key, confirm, bkFlag, TConfigRecord::ConfirmMarksQslOffset);
    Bind(pgF2Key, method, bkSel, TConfigRecord::ConfirmQslRouteOffset);
    Bind(pgF2Key, label, bkIndex32, TConfigRecord::ConfirmLabelActionOffset);
    Bind(pgF2Key, next, bkIndex32, TConfigRecord::ConfirmNextActionOffset);
    Bind(pgF2Key, alert, bkFlag, TConfigRecord::ShowAwardQuestionOffset);
    grid->setRowStretch(rows.Row(), 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget* TSetupDialog::BuildAward(QWidget* page, const char* prefix, const char* validName, int award)
{
    const int pageIndex = PageOf(page);
    auto* grid = new QGridLayout(page);
    const std::string p = prefix;
    auto* valid = CheckList(page, validName, BandNames(1, 15, true));
    auto* separate = CheckList(page, p + "separate", BandNames(1, 15, true));
    auto* modes = CheckList(page, p + "modes", ModeNames(true));
    auto* kinds = CheckList(page, p + "Awards", {" Mixed", " Mode", " Band"});
    const char* const captions[4] = {"Valid bands", "Separate award", "Valid modes", "Awards"};
    TOvcCheckList* lists[4] = {valid, separate, modes, kinds};
    const std::size_t block = TConfigRecord::AwardSettingsOffset + AwardBlockSize * static_cast<std::size_t>(award);
    const std::size_t offsets[4] = {block + 1, block + 17, block + 33, block + 48};
    const int counts[4] = {15, 15, 15, 3};
    for (int c = 0; c < 4; ++c) {
        grid->addWidget(Caption(page, captions[c]), 0, c);
        grid->addWidget(lists[c], 1, c, c == 3 ? 1 : 2, 1);
        Bind(pageIndex, lists[c], bkChecks, offsets[c], counts[c]);
    }
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(4, 1);
    return page;
}

QWidget* TSetupDialog::BuildRepLab(QWidget* page)
{
    auto* lay = new QVBoxLayout(page);
    auto* report = Group(page, "ReportGroup", "Reports");
    auto* repGrid = new QGridLayout(report);
    TRows rows(repGrid);
    F_RepFontName = ReadOnlyField(report, "F_RepFontName", 40);
    F_RepFontName->setProperty("Chars", 24);
    F_RepFontName->setProperty("FontKind", static_cast<int>(fkPrinter));
    F_RepFontName->installEventFilter(this);
    F_RepFontSize = NumberField(report, "F_RepFontSize", "99", 6, 20);
    rows.Add(report, "Font", F_RepFontName, F_RepFontSize);
    auto* embellish = Choice(report, "F_RepEmbellish", {"None", "Lines", "Lines & Shades"});
    F_RepBoldHeader = Check(report, "F_RepBoldHeader", "Bold Header");
    rows.Add(report, "Embellishment", embellish, F_RepBoldHeader);
    F_CurrentReport = Choice(report, "F_CurrentReport", {});
    rows.Add(report, "Default report", F_CurrentReport);
    auto* heading = TextField(report, "F_ReportHeader", 60);
    rows.Add(report, "Heading", heading);
    repGrid->addWidget(heading, rows.Row() - 1, 1, 1, 3);
    repGrid->setColumnStretch(3, 1);
    Bind(pgRepLab, F_RepFontName, bkText, TConfigRecord::ReportFontNameOffset, 40);
    Bind(pgRepLab, F_RepFontSize, bkU8, TConfigRecord::ReportFontSizeOffset);
    Bind(pgRepLab, embellish, bkIndex8, TConfigRecord::ReportEmbellishmentOffset);
    Bind(pgRepLab, F_RepBoldHeader, bkFlag, TConfigRecord::ReportBoldHeaderOffset);
    Bind(pgRepLab, heading, bkText, TConfigRecord::ReportHeadingOffset, 60);

    auto* labels = Group(page, "LabelGroup", "Label greetings");
    auto* labLay = new QVBoxLayout(labels);
    for (int n = 0; n < 3; ++n) {
        const std::string name = "F_LabGreeting" + std::to_string(n + 1);
        auto* greeting = TextField(labels, name.c_str(), 40);
        labLay->addWidget(greeting);
        Bind(pgRepLab, greeting, bkText, TConfigRecord::LabelGreetingOffset + 41 * n, 40);
    }
    lay->addWidget(report);
    lay->addWidget(labels);
    lay->addStretch();
    return page;
}

// ---- showing ----

void TSetupDialog::showEvent(QShowEvent* e)
{
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
    QDialog::showEvent(e);
}

void TSetupDialog::FormShow()
{
    QFont base = font();
    ApplyConfiguredFont(base, 0);
    setFont(base);
    SetFormFont(this);
    CutoffBand = 1;
    Copy = Config;
    // Whether a spoken announcement plays is asked again after a change: only the copy forgets
    // the answer, so Cancel leaves the live record as it was.
    if (Copy.AnnounceContent() < 2)
        Copy.SetSoundConfirmed(false);

    Hardware_RadioType->GetItems().Clear();
    Hardware_RadioType->GetItems().Add("None");
    RadioNotes.assign(1, {" ", 0});
    {
        TRadioList radios(true, radiosDir_);
        for (int i = 0; i < radios.Count(); ++i) {
            Hardware_RadioType->GetItems().Add(radios.Name(i));
            RadioNotes.emplace_back(radios.GetRadio(i).Notes, radios.GetRadio(i).Baud);
        }
    }
    ScreenGroup->setEnabled(UserLevelAllows(2));
    F_CurrentReport->GetItems().Clear();
    for (const std::string& name : reportNames_)
        F_CurrentReport->GetItems().Add(name);

    TConfigFont tabFont = Config.Font(1);
    QFont f = SetupNoteBook->font();
    if (!tabFont.Name.empty())
        f.setFamily(FromWin1252(tabFont.Name));
    if (tabFont.Size > 0)
        f.setPointSize(tabFont.Size);
    f.setBold(true);
    SetupNoteBook->setFont(f);
    SetupNoteBook->SetActiveTabFont(f);
    FitWindow();
    LoadPage(SetupNoteBook->PageIndex());
}

void TSetupDialog::FitWindow()
{
    for (auto* list : findChildren<TOvcCheckList*>()) {
        const QFontMetrics fm(list->font());
        int widest = 0;
        for (int i = 0; i < list->Items().Count(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(FromWin1252(list->Items()[i])));
        const int rows = list->Items().Count();
        const int frame = 2 * list->frameWidth();
        list->setMinimumSize(widest + list->ItemHeight() + 12 + frame, rows * list->ItemHeight() + frame + 2);
        // A grid lays its rows and columns out by the hints of their controls when there is room,
        // and a list sized only by its minimum hints nothing: its own row and column must ask for it.
        auto* grid = list->parentWidget() ? qobject_cast<QGridLayout*>(list->parentWidget()->layout()) : nullptr;
        const int at = grid ? grid->indexOf(list) : -1;
        if (at >= 0) {
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
            if (rowSpan == 1)
                grid->setRowMinimumHeight(row, std::max(grid->rowMinimumHeight(row), list->minimumHeight()));
            if (columnSpan == 1)
                grid->setColumnMinimumWidth(column,
                                            std::max(grid->columnMinimumWidth(column), list->minimumWidth()));
        }
    }
    // Short fields take the room of their characters, long ones at least that and what is left.
    for (auto* field : findChildren<TOvcBaseEntryField*>()) {
        const int chars = field->property("Chars").toInt();
        if (chars <= 0)
            continue;
        const int width = field->fontMetrics().averageCharWidth() * chars + 12;
        // Long fields grow from their width, which the grid then keeps for their column.
        field->setSizePolicy(chars <= ShortFieldChars ? QSizePolicy::Fixed : QSizePolicy::MinimumExpanding,
                             field->sizePolicy().verticalPolicy());
        if (chars <= ShortFieldChars)
            field->setFixedWidth(width);
        else
            field->setMinimumWidth(width);
    }
    for (auto* box : findChildren<TCustomPopupBox*>())
        box->setSizePolicy(QSizePolicy::Fixed, box->sizePolicy().verticalPolicy());
    // The notebook is as large as its largest page and its tabs need.
    QSize need;
    for (QWidget* page : pages_)
        need = need.expandedTo(page->layout() ? page->layout()->minimumSize() : page->minimumSizeHint());
    SetupNoteBook->setMinimumSize(0, 0);
    QSize size = need + QSize(120, 40);
    for (int pass = 0; pass < 3; ++pass) {
        SetupNoteBook->resize(size);
        SetupNoteBook->Relayout();
        const TTabRect r = SetupNoteBook->Layout().pageRect;
        const QSize extra(size.width() - r.Width(), size.height() - r.Height());
        size = need + extra;
    }
    // Taller rather than a third row of tabs, which would move under the mouse at each click.
    for (int guard = 0; guard < 100; ++guard) {
        SetupNoteBook->resize(size);
        SetupNoteBook->Relayout();
        if (SetupNoteBook->Layout().rows <= MaxTabRows)
            break;
        size.rheight() += 10;
    }
    SetupNoteBook->setMinimumSize(size);
    layout()->activate();
    resize(sizeHint().expandedTo(minimumSizeHint()));
}

void TSetupDialog::SetupNoteBookDrawTab(int index, const std::string& title, const QRect& r, bool active, QPainter& p)
{
    (void)index;
    QFont f = SetupNoteBook->font();
    const TConfigFont tabFont = Config.Font(1);
    if (!tabFont.Name.empty())
        f.setFamily(FromWin1252(tabFont.Name));
    if (tabFont.Size > 0)
        f.setPointSize(tabFont.Size);
    f.setBold(true);
    p.save();
    p.setFont(f);
    p.setPen(active ? QColor(Qt::blue) : QColor(Qt::black));
    // The tabs stand on the right-hand side: the caption reads upwards along the tab.
    const QRect shifted = r.translated(3, 0);
    p.translate(shifted.center());
    p.rotate(-90);
    const QRect text(-shifted.height() / 2, -shifted.width() / 2, shifted.height(), shifted.width());
    p.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, FromWin1252(title));
    p.restore();
}

// ---- pages ----

void TSetupDialog::LoadPage(int page)
{
    if (page < 0 || page >= PageCount)
        return;
    loading_ = true;
    const std::uint8_t* b = Copy.Bytes();
    for (const TBinding& bind : bindings_) {
        if (bind.page != page)
            continue;
        QWidget* w = bind.control;
        switch (bind.kind) {
        case bkText:
            static_cast<TOvcBaseEntryField*>(w)->SetAsString(GetShortStr(b, bind.offset, bind.size));
            break;
        case bkSel:
            static_cast<TWheelx*>(w)->SetSelection(b[bind.offset]);
            break;
        case bkIndex8:
        case bkIndex32: {
            auto* box = static_cast<TWheelx*>(w);
            const int v = bind.kind == bkIndex8 ? b[bind.offset] : GetI32(b, bind.offset);
            box->SetItemIndex(std::clamp(v, 0, std::max(0, box->GetItems().Count() - 1)));
            break;
        }
        case bkFlag:
            static_cast<QCheckBox*>(w)->setChecked(b[bind.offset] != 0);
            break;
        case bkU8:
            static_cast<TOvcBaseEntryField*>(w)->SetAsInteger(b[bind.offset]);
            break;
        case bkU16:
            static_cast<TOvcBaseEntryField*>(w)->SetAsInteger(GetU16(b, bind.offset));
            break;
        case bkI32:
            static_cast<TOvcBaseEntryField*>(w)->SetAsInteger(GetI32(b, bind.offset));
            break;
        case bkChecks: {
            auto* list = static_cast<TOvcCheckList*>(w);
            for (int i = 0; i < bind.size; ++i)
                list->SetStates(i, b[bind.offset + static_cast<std::size_t>(i)] ? cbChecked : cbUnchecked);
            break;
        }
        }
    }
    LoadSpecial(page);
    loading_ = false;
}

void TSetupDialog::StorePage(int page)
{
    if (page < 0 || page >= PageCount)
        return;
    std::uint8_t* b = Copy.Bytes();
    for (const TBinding& bind : bindings_) {
        if (bind.page != page)
            continue;
        QWidget* w = bind.control;
        switch (bind.kind) {
        case bkText: {
            auto* field = static_cast<TOvcBaseEntryField*>(w);
            std::string text = field->GetAsString();
            if (qobject_cast<TOvcPictureField*>(w))
                text = TrimRight(text, " ");
            PutShortStr(b, bind.offset, static_cast<std::size_t>(bind.size), text);
            break;
        }
        case bkSel:
            b[bind.offset] = static_cast<std::uint8_t>(std::max(0, static_cast<TWheelx*>(w)->GetSelection()));
            break;
        case bkIndex8:
            b[bind.offset] = static_cast<std::uint8_t>(std::max(0, static_cast<TWheelx*>(w)->GetItemIndex()));
            break;
        case bkIndex32:
            PutI32(b, bind.offset, std::max(0, static_cast<TWheelx*>(w)->GetItemIndex()));
            break;
        case bkFlag:
            b[bind.offset] = static_cast<QCheckBox*>(w)->isChecked() ? 1 : 0;
            break;
        case bkU8:
            b[bind.offset] = static_cast<std::uint8_t>(static_cast<TOvcBaseEntryField*>(w)->GetAsInteger());
            break;
        case bkU16:
            PutU16(b, bind.offset, static_cast<std::uint16_t>(static_cast<TOvcBaseEntryField*>(w)->GetAsInteger()));
            break;
        case bkI32:
            PutI32(b, bind.offset, static_cast<TOvcBaseEntryField*>(w)->GetAsInteger());
            break;
        case bkChecks: {
            auto* list = static_cast<TOvcCheckList*>(w);
            for (int i = 0; i < bind.size; ++i)
                b[bind.offset + static_cast<std::size_t>(i)] = list->GetStates(i) == cbChecked ? 1 : 0;
            break;
        }
        }
    }
    StoreSpecial(page);
}

void TSetupDialog::LoadSpecial(int page)
{
    switch (page) {
    case pgPersonal:
        SetCoordField(Personal_Longitude, Personal_longsign, Copy.OwnLongitude());
        SetCoordField(Personal_Latitude, Personal_latsign, Copy.OwnLatitude());
        shownLongitude_ = GetCoordField(Personal_Longitude, Personal_longsign);
        shownLatitude_ = GetCoordField(Personal_Latitude, Personal_latsign);
        F_WorkedCutoff->SetAsStDate(DayNumberToStDate(Copy.WorkedCutoff()));
        F_MailedCutoff->SetAsStDate(DayNumberToStDate(Copy.QslSentCutoff()));
        break;
    case pgStation:
        F_GridSelection->SetSelection(Copy.GridSquareLength() / 2);
        break;
    case pgQso:
        Personal_band->SetSelection(CutoffBand);
        ShowCutoff();
        break;
    case pgScreen:
        F_FormScale->SetAsInteger(Copy.FormScale());
        break;
    case pgRadio: {
        const std::string model = Copy.RadioModel();
        const int index = model.empty() ? 0 : Hardware_RadioType->GetItems().IndexOf(model);
        Hardware_RadioType->SetItemIndex(index < 1 ? 0 : index);
        const int chosen = std::max(0, Hardware_RadioType->GetItemIndex());
        F_RadioNotes->SetAsString(RadioNotes[static_cast<std::size_t>(chosen)].first);
        SetRadioRate();
        break;
    }
    case pgPacket2:
        for (int c = 0; c < 6; ++c)
            PaintColourLabel(c, Copy.SpotReasonColour(c + 1));
        break;
    case pgRepLab: {
        const int index = F_CurrentReport->GetItems().IndexOf(Copy.DefaultReport());
        if (F_CurrentReport->GetItems().Count() > 0)
            F_CurrentReport->SetItemIndex(index < 0 ? 0 : index);
        break;
    }
    default:
        break;
    }
}

void TSetupDialog::StoreSpecial(int page)
{
    switch (page) {
    case pgPersonal: {
        // A coordinate left as it was shown keeps the stored value, not its rounded picture.
        const double lon = GetCoordField(Personal_Longitude, Personal_longsign);
        const double lat = GetCoordField(Personal_Latitude, Personal_latsign);
        if (lon != shownLongitude_)
            Copy.SetOwnLongitude(lon);
        if (lat != shownLatitude_)
            Copy.SetOwnLatitude(lat);
        Copy.SetWorkedCutoff(StDateToDayNumber(F_WorkedCutoff->GetAsStDate()));
        Copy.SetQslSentCutoff(StDateToDayNumber(F_MailedCutoff->GetAsStDate()));
        break;
    }
    case pgStation:
        Copy.SetGridSquareLength(static_cast<std::uint8_t>((std::max(0, F_GridSelection->GetItemIndex()) + 1) * 2));
        break;
    case pgQso:
        StoreCutoff();
        break;
    case pgScreen: {
        const int scale = F_FormScale->GetAsInteger();
        Copy.SetFormScale(static_cast<std::uint8_t>(scale < 50 || scale > 150 ? 100 : scale));
        break;
    }
    case pgRadio: {
        const int index = Hardware_RadioType->GetItemIndex();
        Copy.SetRadioModel(index <= 0 ? std::string() : Hardware_RadioType->GetText().substr(0, 30));
        break;
    }
    case pgPacket2:
        for (int c = 0; c < 6; ++c)
            Copy.SetSpotReasonColour(c + 1, CLab[c]->property("Colour").toUInt());
        break;
    case pgRepLab:
        if (F_CurrentReport->GetItems().Count() > 0)
            Copy.SetDefaultReport(F_CurrentReport->GetText().substr(0, TConfigRecord::DefaultReportCapacity));
        break;
    default:
        break;
    }
}

void TSetupDialog::ShowCutoff()
{
    Personal_CWcutoff->SetAsFloat(Copy.BandCutoff(CutoffBand));
    shownCutoff_ = Personal_CWcutoff->GetAsFloat();
}

void TSetupDialog::StoreCutoff()
{
    const double v = Personal_CWcutoff->GetAsFloat();
    if (v != shownCutoff_)
        Copy.SetBandCutoff(CutoffBand, v);
}

void TSetupDialog::Personal_bandChange()
{
    StoreCutoff();
    CutoffBand = std::clamp(Personal_band->GetSelection(), 1, 15);
    ShowCutoff();
}

void TSetupDialog::RadioTypeChange()
{
    const int index = std::max(0, Hardware_RadioType->GetItemIndex());
    const std::string& notes = RadioNotes[static_cast<std::size_t>(std::min<int>(index, RadioNotes.size() - 1))].first;
    if (notes != F_RadioNotes->GetAsString()) {
        hardware_defaultrate->setChecked(true);
        F_RadioNotes->SetAsString(notes);
    }
    SetRadioRate();
}

void TSetupDialog::SetRadioRate()
{
    const bool useDefault = hardware_defaultrate->isChecked();
    TOvcEntryFieldOptions options = Hardware_baudrate->Options();
    if (useDefault)
        options.Include(efoReadOnly);
    else
        options.Exclude(efoReadOnly);
    Hardware_baudrate->SetOptions(options);
    Hardware_baudrate->update();
    if (useDefault) {
        const int index = std::max(0, Hardware_RadioType->GetItemIndex());
        Hardware_baudrate->SetAsInteger(index < static_cast<int>(RadioNotes.size())
                                            ? RadioNotes[static_cast<std::size_t>(index)].second
                                            : 0);
    }
}

void TSetupDialog::PaintColourLabel(int index, std::uint32_t colour)
{
    QLabel* label = CLab[index];
    label->setProperty("Colour", static_cast<uint>(colour));
    QPalette pal = label->palette();
    const QColor c = ScreenQColor(colour);
    const QColor window = QApplication::palette().color(QPalette::Base);
    // The first two categories show their colour behind the text, the others in the text.
    if (index < 2) {
        pal.setColor(QPalette::Window, c);
        pal.setColor(QPalette::WindowText, window);
    } else {
        pal.setColor(QPalette::Window, window);
        pal.setColor(QPalette::WindowText, c);
    }
    label->setPalette(pal);
}

void TSetupDialog::ColourLabelClick(int index)
{
    const std::uint32_t old = CLab[index]->property("Colour").toUInt();
    QColor colour = ScreenQColor(old);
    bool ok = false;
    if (AskColour) {
        ok = AskColour(colour);
    } else {
        const QColor chosen = QColorDialog::getColor(colour, this, QStringLiteral("Colour"));
        ok = chosen.isValid();
        colour = chosen;
    }
    if (ok && ColourOf(colour) != old)
        PaintColourLabel(index, ColourOf(colour));
}

void TSetupDialog::PickFont(TOvcSimpleField* name, TOvcNumericField* size, QCheckBox* bold, TFontKind kind)
{
    QFont font(FromWin1252(name->GetAsString()));
    if (size->GetAsInteger() > 0)
        font.setPointSize(size->GetAsInteger());
    font.setBold(bold && bold->isChecked());
    bool ok = false;
    if (AskFont) {
        ok = AskFont(font, kind);
    } else {
        QFontDialog::FontDialogOptions options;
        if (kind == fkScalable)
            options |= QFontDialog::ScalableFonts;
        else if (kind == fkFixedPitch)
            options |= QFontDialog::MonospacedFonts;
        font = QFontDialog::getFont(&ok, font, this, QStringLiteral("Font"), options);
    }
    if (!ok)
        return;
    name->SetAsString(ToWin1252(font.family()).substr(0, 40));
    size->SetAsInteger(std::abs(font.pointSize()));
    if (bold)
        bold->setChecked(font.bold());
}

void TSetupDialog::PickProgram()
{
    std::string file;
    if (AskProgramFile) {
        file = AskProgramFile();
    } else {
        QFileDialog dlg(this, QStringLiteral("QSL manager program"), QStringLiteral("/usr/bin"),
                        QStringLiteral("Program (*)"));
        dlg.setFileMode(QFileDialog::ExistingFile);
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            file = QFile::encodeName(dlg.selectedFiles().first()).toStdString();
    }
    if (!file.empty())
        F_ExtQSLProg->SetAsString(file);
}

bool TSetupDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == F_FontLName)
            PickFont(F_FontLName, F_FontLSize, F_FontLBold, fkScalable);
        else if (watched == F_FontIName)
            PickFont(F_FontIName, F_FontISize, F_FontIBold, fkAny);
        else if (watched == F_FontBName)
            PickFont(F_FontBName, F_FontBSize, F_FontBBold, fkFixedPitch);
        else if (watched == F_RepFontName)
            PickFont(F_RepFontName, F_RepFontSize, nullptr, fkPrinter);
        else if (watched == F_ExtQSLProg)
            PickProgram();
        else
            return QDialog::eventFilter(watched, event);
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int c = 0; c < 6; ++c)
            if (watched == CLab[c]) {
                ColourLabelClick(c);
                return true;
            }
    }
    if (watched == Packet_OkPrefixes && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                CountryListingClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- speed buttons and the country list ----

void TSetupDialog::GridToPositionClick()
{
    const std::string grid = TrimSpaces(Personal_grid->GetAsString());
    double lon = 0, lat = 0;
    if (GridToPosition(grid, lon, lat)) {
        SetCoordField(Personal_Longitude, Personal_longsign, lon);
        SetCoordField(Personal_Latitude, Personal_latsign, lat);
    } else if (!grid.empty()) {
        MessageDlg("Bad Grid locator", TMsgDlgType::mtWarning, mbOK);
    }
}

void TSetupDialog::PositionToGridClick()
{
    Personal_grid->SetAsString(PositionToGrid(GetCoordField(Personal_Longitude, Personal_longsign),
                                              GetCoordField(Personal_Latitude, Personal_latsign)));
}

void TSetupDialog::CountryListingClick()
{
    if (!CountryDb.Loaded())
        return;
    std::vector<std::string> entries;
    for (std::int32_t i = 1; i < CountryDb.Countries->Count(); ++i)
        entries.push_back(PadRight(CountryPrefix(static_cast<std::uint16_t>(i)), 6) +
                          CountryName(static_cast<std::uint16_t>(i)));
    // The country list's first record is the placeholder "no country": the pick list starts after it.
    const int chosen = AskCountry ? AskCountry(entries, 0) : ShowPicklist(this, "Prefix", *CountryDb.Countries, 1) - 1;
    if (chosen < 0)
        return;
    std::string text = Packet_OkPrefixes->GetAsString();
    if (!text.empty())
        text += ",";
    text += CountryPrefix(static_cast<std::uint16_t>(chosen + 1));
    Packet_OkPrefixes->SetAsString(text);
}

// ---- leaving ----

void TSetupDialog::Savechangesandexit1Click()
{
    StorePage(SetupNoteBook->PageIndex());
    ApplySetup(Copy, Config, Merged, services_, [this] { hide(); });
    done(QDialog::Accepted);
}

void TSetupDialog::Cancelchangesandexit2Click()
{
    done(QDialog::Rejected);
}

void TSetupDialog::reject()
{
    Cancelchangesandexit2Click();
}

// ---- the settings file ----

void TSetupDialog::WriteINIFile1Click()
{
    std::string file;
    if (AskIniFile) {
        file = AskIniFile(true);
    } else {
        QFileDialog dlg(this, QStringLiteral("Write INI File"), QString::fromStdString(GetSaveDir()),
                        QStringLiteral("KORVAL ini file (*.ini)"));
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setDefaultSuffix(QStringLiteral("ini"));
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            file = QFile::encodeName(dlg.selectedFiles().first()).toStdString();
    }
    if (!file.empty())
        WriteIniFile(file);
}

void TSetupDialog::MergeINIfile1Click()
{
    std::string file;
    if (AskIniFile) {
        file = AskIniFile(false);
    } else {
        QFileDialog dlg(this, QStringLiteral("Merge INI file"), QString::fromStdString(GetSaveDir()),
                        QStringLiteral("KORVAL INI file (*.ini)"));
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setDefaultSuffix(QStringLiteral("ini"));
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
            file = QFile::encodeName(dlg.selectedFiles().first()).toStdString();
    }
    if (file.empty())
        return;
    MergeIniFile(file);
    Merged = true;
}

void TSetupDialog::WriteIniFile(const std::string& fileName)
{
    // Open windows note where they stand first, so the file has their places of now.
    std::vector<int> refreshed;
    for (int slot : ExportPlacementSlots) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w != this && w->isVisible() && w->property("Tag").toInt() == slot + 1) {
                SaveFormPlacement(w, slot);
                refreshed.push_back(slot);
                break;
            }
        }
    }
    TIniFile ini(fileName, false);
    const int current = SetupNoteBook->PageIndex();
    for (int page = 0; page < PageCount; ++page) {
        SetupNoteBook->SetPageIndex(page);
        WritePageControls(ini, PageCaptions[page], pages_[static_cast<std::size_t>(page)], NotInSettingsFile);
    }
    SetupNoteBook->SetPageIndex(current);
    StorePage(current);
    TConfigRecord out = Copy;
    for (int slot : refreshed)
        out.SetPlacement(slot, Config.Placement(slot));
    const std::array<int, 2> splits{
        services_.TerminalSplitPosition(0, Copy.PacketPort().SplitterPercent()),
        services_.TerminalSplitPosition(1, Copy.RttyPort().SplitterPercent())};
    WriteFixedSettings(ini, out, splits);
    try {
        ini.UpdateFile();
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

void TSetupDialog::MergeIniFile(const std::string& fileName)
{
    const TIniFile ini(fileName);
    const int current = SetupNoteBook->PageIndex();
    for (int page = 0; page < PageCount; ++page) {
        SetupNoteBook->SetPageIndex(page);
        ReadPageControls(ini, PageCaptions[page], pages_[static_cast<std::size_t>(page)], NotInSettingsFile);
        if (page == pgRadio)
            SetRadioRate();
    }
    SetupNoteBook->SetPageIndex(current);
    StorePage(current);
    if (MergeFixedSettings(ini, Copy)) {
        std::uint16_t widths[7];
        for (int col = 0; col < 7; ++col)
            widths[col] = Copy.SpotColumnWidth(col);
        services_.ApplySpotColumnWidths(widths);
    }
    LoadPage(current);
}

} // namespace korval
