#include "logbook/windows/qso_form.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "logbook/config_record.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/qso_data.h"
#include "logbook/sort_orders.h"
#include "logbook/windows/entry_field_error_dialog.h"
#include "logbook/base/string_utils.h"
#include "logbook/main_form_code.h"
#include "logbook/note_editing.h"
#include "logbook/qso_location.h"
#include "logbook/windows/get_date_range.h"
#include "logbook/windows/help_window.h"
#include "logbook/windows/log_dialogs.h"
#include "logbook/windows/picklist.h"
#include "logbook/windows/qsl_commands.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "logbook/configured_formats.h"

namespace korval {

namespace {

struct TSlotLayout {
    int field;
    const char* caption;
    int row, col, width;  // width in columns (1 or 2)
    int maxLength;
};

// Where each control sits: rows of four label-and-control columns.
const TSlotLayout kLayout[] = {
    {fCall, "Call", 0, 0, 1, 12},        {fDate, "Date", 0, 1, 1, 0},        {fTime, "Time", 0, 2, 1, 0},
    {fPrefix, "Prefix", 1, 0, 1, 5},     {fZone, "Zone", 1, 1, 1, 2},        {fMode, "Mode", 1, 2, 1, 0},
    {fBand, "Band", 1, 3, 1, 0},         {fRsts, "RST sent", 2, 0, 1, 3},   {fRstr, "RST rcvd", 2, 1, 1, 3},
    {fRecvd, "Exchange", 2, 2, 1, 4},    {fGroup, "Group", 2, 3, 1, 3},     {fCallNotes, "Call notes", 3, 0, 2, 80},
    {fQslMgr, "QSL mgr", 3, 2, 1, 12},   {fNote, "Note", 4, 0, 4, 255},      {fState, "State", 5, 0, 1, 2},
    {fCnty, "County", 5, 1, 1, 18},      {fGrid, "Grid", 5, 2, 1, 6},       {fIota, "IOTA", 5, 3, 1, 5},
    {fLabel, "Label", 6, 0, 1, 0},       {fQslDate, "QSL sent", 6, 1, 1, 0}, {fQslRoute, "QSL via", 6, 2, 1, 0},
    {fConf, "QSL rcvd", 6, 3, 1, 0},     {fQrp, "QRP", 7, 0, 1, 0},         {fYl, "YL", 7, 1, 1, 0},
    {fSat, "Satellite", 7, 2, 1, 0},     {fValid, "Awards", 7, 3, 1, 0},    {fAwdType, "Cust awd", 8, 0, 1, 0},
    {fAwdSel, "Value", 8, 1, 1, 0},      {fAwdVal, "Value", 8, 1, 1, 8},
    {fAwDxccMixed, "DXCC mix", 9, 0, 1, 0},  {fAwDxccBand, "DXCC band", 9, 1, 1, 0},
    {fAwDxccMode, "DXCC mode", 9, 2, 1, 0},  {fAwWazMixed, "WAZ mix", 9, 3, 1, 0},
    {fAwWazBand, "WAZ band", 10, 0, 1, 0},   {fAwWazMode, "WAZ mode", 10, 1, 1, 0},
    {fAwWasMixed, "WAS mix", 10, 2, 1, 0},   {fAwWasBand, "WAS band", 10, 3, 1, 0},
    {fAwWasMode, "WAS mode", 11, 0, 1, 0},   {fAwWpxMixed, "WPX mix", 11, 1, 1, 0},
    {fAwWpxBand, "WPX band", 11, 2, 1, 0},   {fAwWpxMode, "WPX mode", 11, 3, 1, 0},
    {fAwIota, "IOTA awd", 12, 0, 1, 0},      {fAwVucc, "VUCC", 12, 1, 1, 0},
    {fAwCnty, "County awd", 12, 2, 1, 0},    {fAwCustAwd, "Cust awd", 12, 3, 1, 0},
};

constexpr int kRowHeight = 28, kTop = 8, kColWidth = 230, kLabelWidth = 80, kControlWidth = 140;

// The bottom row shown by each window size (the rows below are out of the keyboard's reach).
constexpr int kSizeLastRow[TQSOForm::kWindowSizeCount] = {1, 2, 3, 4, 6, 12};

QString Q(const std::string& s) { return FromWin1252(s); }

// A service the command needs; raises when the program did not connect it.
template <typename Fn>
const Fn& Need(const Fn& fn, TQsoCommand c)
{
    if (!fn)
        throw std::logic_error(std::string("\"") + QsoCommand(c).caption + "\" is not connected");
    return fn;
}

// The CW keyboard's was-open flag: the low byte of the spare longint of its placement slot.
bool CwKeyboardWasOpen() { return (Config.Placement(psCw).Spare & 0xFF) != 0; }
void SetCwKeyboardWasOpen(bool open)
{
    TFormPlacement p = Config.Placement(psCw);
    p.Spare = (p.Spare & ~0xFF) | (open ? 1 : 0);
    Config.SetPlacement(psCw, p);
}

} // namespace

TQSOForm::TQSOForm(TQsoData* log, QWidget* parent) : QWidget(parent)
{
    setWindowTitle(Q(log->FileName));
    entry_.reset(new TQsoEntry(log, static_cast<TQsoEntryHost*>(this)));
    controller_ = new TOvcController(this);
    menuBar_ = new QMenuBar(this);
    BuildActions();
    BuildMenus();
    top_ = menuBar_->sizeHint().height() + kTop;
    BuildControls();
    FillChoiceItems();
    windowSize_ = Config.QsoWindowSize() <= kLargestWindowSize ? Config.QsoWindowSize() : kLargestWindowSize;
    ApplyWindowSize();
    entry_->Start();
    Push();
    started_ = true;
}

TQSOForm::~TQSOForm()
{
    Config.SetQsoWindowSize(static_cast<std::uint8_t>(windowSize_));
    // The child windows open now come back the next time the window is shown.
    if (TChildWindows* children = ChildWindowSlots())
        children->FreeAll();
    if (services_.CwKeyboardOpen)
        SetCwKeyboardWasOpen(services_.CwKeyboardOpen());
    entry_->ClearSearch();
}

void TQSOForm::BuildControls()
{
    for (const auto& s : kLayout) {
        const int x = 8 + s.col * kColWidth;
        const int y = top_ + s.row * kRowHeight;
        QWidget* w = nullptr;
        switch (QsoFieldKind(s.field)) {
        case TQsoFieldKind::Choice: {
            auto* box = new TWheelx(this);
            w = box;
            const int field = s.field;
            box->OnChange = [this, field](TCustomPopupBox*) {
                if (pushing_)
                    return;
                // The mode's change is measured against the mode shown before (Pull already
                // holds the new one), so default reports follow it.
                const int modeBefore = entry_->Fields.Sel[fMode];
                Run([&] {
                    entry_->Fields.Modified[field] = entry_->Fields.EverModified[field] = true;
                    if (field == fBand)
                        entry_->SetBand(entry_->Fields.Sel[fBand]);
                    else if (field == fMode) {
                        const int chosen = entry_->Fields.Sel[fMode];
                        entry_->Fields.Sel[fMode] = modeBefore;
                        entry_->SetMode(chosen);
                    } else if (field == fAwdType) {
                        entry_->ShowAwardValue({});
                        entry_->Fields.Modified[field] = entry_->Fields.EverModified[field] = true;
                    }
                });
            };
            if (s.field == fAwdSel)
                box->SetStyle(pbsDropDown);
            break;
        }
        case TQsoFieldKind::Date:
        case TQsoFieldKind::Time: {
            auto* f = new TOvcPictureField(this);
            if (QsoFieldKind(s.field) == TQsoFieldKind::Date) {
                f->SetDataType(pftDate);
                f->SetPictureMask(DateFormatString());
            } else {
                f->SetDataType(pftTime);
                f->SetPictureMask(TimeFormatString());
            }
            w = f;
            break;
        }
        default: {
            auto* f = new TOvcSimpleField(this);
            if (s.maxLength)
                f->SetMaxLength(s.maxLength);
            w = f;
            break;
        }
        }
        w->setObjectName(QsoFieldName(s.field));
        w->setGeometry(x + kLabelWidth, y, s.width == 1 ? kControlWidth : kControlWidth + (s.width - 1) * kColWidth,
                       kRowHeight - 4);
        auto* label = new QLabel(QString::fromLatin1(s.caption), this);
        label->setGeometry(x, y, kLabelWidth - 4, kRowHeight - 4);
        labels_[static_cast<std::size_t>(s.field)] = label;
        controls_[static_cast<std::size_t>(s.field)] = w;
        w->installEventFilter(this);
        if (auto* f = dynamic_cast<TOvcBaseEntryField*>(w)) {
            const int field = s.field;
            f->AfterExit = [this, field](QObject*) { FieldExit(field); };
            f->AfterEnter = [this, field](QObject*) { FieldEnter(field); };
            f->OnUserValidation = [this, field, f](QObject*, uint16_t& code) {
                if (code != 0 || QsoFieldKind(field) != TQsoFieldKind::Text)
                    return;
                // The check reads the text being edited; the slot keeps its value meanwhile.
                const auto i = static_cast<std::size_t>(field);
                auto& F = entry_->Fields;
                const std::string keepText = F.Text[i];
                const bool keepModified = F.Modified[i];
                F.Text[i] = f->GetEditString();
                F.Modified[i] = f->GetModified();
                code = static_cast<uint16_t>(entry_->ValidateField(field));
                F.Text[i] = keepText;
                F.Modified[i] = keepModified;
            };
            f->OnError = [this, field](QObject* sender, uint16_t code, const std::string& text) {
                // A date or time is the field's own check: its message, and the text stays.
                if (QsoFieldKind(field) != TQsoFieldKind::Text) {
                    ShowEntryFieldError(sender, code, text);
                    return;
                }
                Run([&] { entry_->FieldError(field, code); });
            };
            if (field == fCall)
                f->OnChange = [this](QObject*) {
                    if (!pushing_ && Config.LookupWhileTyping())
                        Run([&] { entry_->CallChange(); });
                };
        }
    }
    // The two displays.
    country_ = new TOvcSimpleField(this);
    country_->setObjectName("F_Country");
    country_->setGeometry(8 + 3 * kColWidth, top_, kControlWidth + kLabelWidth, kRowHeight - 4);
    country_->setEnabled(false);
    dirDist_ = new TOvcSimpleField(this);
    dirDist_->setObjectName("F_DirDist");
    dirDist_->setGeometry(8 + 3 * kColWidth, top_ + 2 * kRowHeight, kControlWidth + kLabelWidth, kRowHeight - 4);
    dirDist_->setEnabled(false);
    SizeDisplays();
    // Tab order follows the slots.
    for (int f = 0; f + 1 < kQsoFieldCount; ++f)
        QWidget::setTabOrder(controls_[static_cast<std::size_t>(f)], controls_[static_cast<std::size_t>(f + 1)]);
    resize(std::max(8 + 4 * kColWidth, std::max(country_->geometry().right(), dirDist_->geometry().right()) + 9),
           top_ + 13 * kRowHeight);
}

void TQSOForm::SizeDisplays()
{
    // The displays hold the longest country name of the database and the longest heading text
    // (20 characters) whole, at the window's font.
    const QFontMetrics fm(country_->font());
    std::size_t longest = 20;
    int widest = fm.horizontalAdvance(Q("JO62QM: 359\xB0 20,037K"));
    for (std::int32_t n = 0; n <= CountryCount(); ++n) {
        const std::string name = CountryName(static_cast<std::uint16_t>(n));
        longest = std::max(longest, name.size());
        widest = std::max(widest, fm.horizontalAdvance(Q(name)));
    }
    const int width = std::max(kControlWidth + kLabelWidth, widest + 2 * country_->TextMargin() + 8);
    for (TOvcBaseEntryField* d : {country_, dirDist_}) {
        d->SetMaxLength(static_cast<int>(std::min<std::size_t>(longest, 255)));
        d->resize(width, d->height());
    }
}

void TQSOForm::BuildActions()
{
    for (const TQsoCommandDef& d : QsoCommands()) {
        auto* act = new QAction(QString::fromLatin1(d.caption), this);
        act->setObjectName(QString::fromLatin1(d.name));
        act->setShortcut(QKeySequence(QString::fromLatin1(d.key), QKeySequence::PortableText));
        act->setShortcutContext(Qt::WindowShortcut);
        addAction(act);
        actions_[d.id] = act;
        const TQsoCommand c = d.id;
        connect(act, &QAction::triggered, this, [this, c] { RunCommand(c); });
    }
    actions_[cmSpecialKeys]->setCheckable(true);
    for (const TReportEntry& r : ReportEntries()) {
        auto* act = new QAction(QString::fromLatin1(r.caption), this);
        act->setObjectName(QStringLiteral("Report%1%2").arg(QString::fromLatin1(r.menu)).arg(reportActions_.size()));
        const TReportEntry entry = r;
        connect(act, &QAction::triggered, this, [this, entry] {
            if (!services_.OpenReport)
                throw std::logic_error(std::string("the report \"") + entry.caption + "\" is not connected");
            services_.OpenReport(entry);
        });
        reportActions_.push_back(act);
    }
    ConnectCommands();
    // Commands that wait for a state of the window, the rotator or the program.
    EnableRotatorMenu(false);
    EnableCommand(cmSpecialKeys, false);
    EnableCommand(cmSelection, UserLevelAllows(2));
    EnableCommand(cmEditGroupNames, UserLevelAllows(2));
    UpdateMenus(0);
}

void TQSOForm::ConnectCommands()
{
    auto on = [this](TQsoCommand c, auto fn) { handlers_[c] = [this, fn] { Run(fn); }; };
    on(cmAddRealTime, [this] { entry_->Addrealtime(); });
    on(cmAddOffline, [this] { entry_->Addoffline(); });
    on(cmUpdate, [this] { entry_->Update2Click(); });
    on(cmDelete, [this] { entry_->Delete2Click(); });
    on(cmSearch, [this] { entry_->BeginSearch(true); });
    on(cmSearchOldFilter, [this] { entry_->BeginSearch(false); });
    on(cmCount, [this] { entry_->Count2Click(); });
    on(cmCancelFilter, [this] { entry_->CancelFilter(); });
    on(cmFirst, [this] { entry_->First(); });
    on(cmPrevious, [this] { entry_->Previous(); });
    on(cmNext, [this] { entry_->Next(); });
    on(cmLast, [this] { entry_->Last(); });
    on(cmNextSorted, [this] { entry_->NextSorted(true); });
    on(cmPreviousSorted, [this] { entry_->NextSorted(false); });
    on(cmDisableFields, [this] { DisableFields1Click(); });
    handlers_[cmNextWindowSize] = [this] { Nextwindowsize1Click(); };
    for (int i = 0; i < kChildWindowCount; ++i)
        handlers_[ChildWindowCommand(i)] = [this, i] { OpenChildWindow(i); };
    handlers_[cmShortPath] = [this] { ShortPath1Click(); };
    handlers_[cmLongPath] = [this] { LongPath1Click(); };
    handlers_[cmStopRotator] = [this] { StopRotator1Click(); };
    handlers_[cmRotatorParameters] = [this] { Need(services_.RotatorParameters, cmRotatorParameters)(); };
    handlers_[cmCwKeyboard] = [this] { Need(services_.OpenCwKeyboard, cmCwKeyboard)(); };
    handlers_[cmSpecialKeys] = [this] { SetSpecialKeys(!specialKeys_); };
    handlers_[cmAnnounceDx] = [this] {
        Pull();
        const std::string call = TrimSpaces(entry_->Fields.Text[fCall]);
        if (!call.empty())
            Need(services_.AnnounceDx, cmAnnounceDx)(UpperAscii(call));
    };
    handlers_[cmSwitchToPacket] = [this] { Need(services_.SwitchToPacket, cmSwitchToPacket)(); };
    handlers_[cmSelection] = [this] { Selection1Click(); };
    handlers_[cmEditGroupNames] = [this] { Need(services_.RunGroupNamesDialog, cmEditGroupNames)(); };
    handlers_[cmChangeAwardFlags] = [this] { Need(services_.RunAwardFlagsDialog, cmChangeAwardFlags)(); };
    // The QSL day and the changes over the selection (their dialogs come through SetCommandHandler).
    handlers_[cmConfirmLabel] = [this] { korval::ConfirmLabel(*this); };
    handlers_[cmConfirmSwl] = [this] { korval::ConfirmSwl(*this); };
    handlers_[cmSetLabelFlags] = [this] { korval::SetLabelFlags(*this, false); };
    handlers_[cmClearPrintFlags] = [this] { korval::SetLabelFlags(*this, true); };
    handlers_[cmClearSequencedPrint] = [this] { korval::ClearSequencedPrint(*this); };
    handlers_[cmClearSwlLabels] = [this] { korval::ClearSwlLabels(*this); };
    handlers_[cmSetConfirmed] = [this] { SetSelectedConfirmed(*this); };
    handlers_[cmSetUsaStates] = [this] { korval::SetUsaStates(*this); };
    handlers_[cmSetQslDate] = [this] { SetSelectedQslDate(*this); };
    handlers_[cmDeleteQsos] = [this] { DeleteSelectedQsos(*this); };
}

void TQSOForm::BuildMenus()
{
    std::map<std::string, QMenu*> menus;
    for (const char* title : QsoTopMenus()) {
        QMenu* m = menuBar_->addMenu(QString::fromLatin1(title));
        m->setToolTipsVisible(true);
        menus[title] = m;
    }
    // A submenu is made where its first item stands (after a separator when that item asks for one).
    std::function<QMenu*(const std::string&, bool)> menuOf = [&](const std::string& path, bool separated) -> QMenu* {
        if (auto it = menus.find(path); it != menus.end())
            return it->second;
        const std::size_t slash = path.rfind('/');
        QMenu* parent = menuOf(path.substr(0, slash), false);
        if (separated && !parent->isEmpty())
            parent->addSeparator();
        QMenu* m = parent->addMenu(QString::fromLatin1(path.substr(slash + 1)));
        m->setToolTipsVisible(true);
        menus[path] = m;
        return m;
    };
    auto* group = new QActionGroup(this);
    const char* const captions[] = {"Band", "Call", "County", "Cust Awd", "Date", "Grid", "Group",
                                    "IOTA", "Prefix", "SeqPrtNr", "State", "WPX", "Zone"};
    for (int order = 0; order < kSortOrderCount; ++order) {
        QAction* a = menus[kSortMenu]->addAction(QString::fromLatin1(captions[order]));
        a->setCheckable(true);
        group->addAction(a);
        sortActions_[static_cast<std::size_t>(order)] = a;
        connect(a, &QAction::triggered, this, [this, order] { SetSortOrder(order); });
    }
    const auto& reports = ReportEntries();
    for (std::size_t i = 0; i < reports.size(); ++i) {
        QMenu* m = menuOf(std::string(kReportsMenu) + "/" + reports[i].menu, false);
        m->addAction(reportActions_[i]);
    }
    for (const TQsoCommandDef& d : QsoCommands()) {
        QMenu* m = menuOf(d.menu, d.separatorBefore);
        if (d.separatorBefore && !m->isEmpty())
            m->addSeparator();
        m->addAction(actions_[d.id]);
    }
}

void TQSOForm::FillChoiceItems()
{
    auto fill = [this](int field, const std::vector<std::string>& items) {
        TWheelx* w = Wheel(field);
        w->GetItems().Clear();
        for (const auto& s : items)
            w->GetItems().Add(s);
        w->Loaded();
    };
    std::vector<std::string> modes, bands;
    for (int m = 1; m <= ModeCount; ++m)
        modes.push_back(ModeName(m));
    for (int b = 1; b <= BandCount; ++b)
        bands.push_back(BandName(b));
    fill(fMode, modes);
    fill(fBand, bands);
    fill(fQslRoute, std::vector<std::string>(std::begin(QslRouteNames), std::end(QslRouteNames)));
    fill(fSat, std::vector<std::string>(std::begin(SatModeNames), std::end(SatModeNames)));
    for (int f : {fConf, fLabel, fQrp, fYl})
        fill(f, {"Y", "N"});
    fill(fValid, {"Valid", "Invalid"});
    for (int f = 0; f < kQsoFieldCount; ++f)
        if (AwardMaskOfField(f))
            fill(f, {"--", "Subm", "Chkd"});
    fill(fAwdType, entry_->AwardTypeItems());
}

TOvcBaseEntryField* TQSOForm::Field(int field) const
{
    return dynamic_cast<TOvcBaseEntryField*>(controls_[static_cast<std::size_t>(field)]);
}

// A QSO on a band the band table lacks (60 m, 4 m: band 0) shows an empty band, which it keeps
// when saved; the blank line goes again once the QSO has a band of the table.
void TQSOForm::ShowBand(TWheelx& box, int band)
{
    box.SetAllowDefault(band == 0);
    box.SetSelection(band);
}

TWheelx* TQSOForm::Wheel(int field) const { return dynamic_cast<TWheelx*>(controls_[static_cast<std::size_t>(field)]); }

bool TQSOForm::Unreadable(int field) const
{
    const TQsoFieldKind kind = QsoFieldKind(field);
    if (kind != TQsoFieldKind::Date && kind != TQsoFieldKind::Time)
        return false;
    const uint16_t code = Field(field)->ValidateContents(false);
    return code == oeInvalidDate || code == oeInvalidTime;
}

bool TQSOForm::RefuseUnreadable()
{
    for (int f : {fDate, fTime, fQslDate})
        if (Unreadable(f)) {
            controls_[static_cast<std::size_t>(f)]->setFocus(Qt::OtherFocusReason);
            Field(f)->ValidateContents(true);
            return true;
        }
    return false;
}

void TQSOForm::Pull()
{
    auto& F = entry_->Fields;
    for (int f = 0; f < kQsoFieldCount; ++f) {
        const auto i = static_cast<std::size_t>(f);
        if (TWheelx* w = Wheel(f)) {
            if (f == fAwdSel) {
                F.Text[i] = w->GetText();
            } else {
                F.Sel[i] = w->GetSelection();
            }
            if (w->Changed()) {
                F.Modified[i] = F.EverModified[i] = true;
            }
            continue;
        }
        TOvcBaseEntryField* e = Field(f);
        switch (QsoFieldKind(f)) {
        case TQsoFieldKind::Date: {
            std::int32_t d = e->GetAsStDate();
            (f == fDate ? F.Date : F.QslDate) = d;
            break;
        }
        case TQsoFieldKind::Time:
            F.Time = e->GetAsStTime();
            break;
        default:
            F.Text[i] = e->GetAsString();
            break;
        }
        F.Modified[i] = F.Modified[i] || e->GetModified();
        F.EverModified[i] = F.EverModified[i] || e->GetEverModified();
    }
}

void TQSOForm::Push()
{
    pushing_ = true;
    auto& F = entry_->Fields;
    const bool blank = entry_->BlankItems();
    if (blank != blankShown_) {
        SetWheelxAllowDefault(this, blank);
        blankShown_ = blank;
    }
    // The award box's items follow the prefix, band and mode.
    TWheelx* awd = Wheel(fAwdType);
    const auto& names = entry_->AwardTypeItems();
    bool same = awd->GetItems().Count() == static_cast<int>(names.size()) + (blank ? 1 : 0);
    for (int i = 0; same && i < static_cast<int>(names.size()); ++i)
        same = awd->GetItems()[i + (blank ? 1 : 0)] == names[static_cast<std::size_t>(i)];
    if (!same) {
        awd->SetAllowDefault(false);
        awd->GetItems().Clear();
        for (const auto& n : names)
            awd->GetItems().Add(n);
        awd->SetAllowDefault(blank);
    }
    for (int f = 0; f < kQsoFieldCount; ++f) {
        const auto i = static_cast<std::size_t>(f);
        if (TWheelx* w = Wheel(f)) {
            if (f == fAwdSel)
                w->SetText(F.Text[i]);
            else if (f == fBand)
                ShowBand(*w, F.Sel[i]);
            else
                w->SetSelection(F.Sel[i]);
            w->Changed() = F.Modified[i] ? 1 : 0;
            continue;
        }
        TOvcBaseEntryField* e = Field(f);
        // Writing a value into the field being typed in selects its whole text, so the next key
        // would replace it: the field keeps its text, selection and caret unless its value changed.
        const bool typing = e->hasFocus();
        switch (QsoFieldKind(f)) {
        case TQsoFieldKind::Date: {
            const std::int32_t d = f == fDate ? F.Date : F.QslDate;
            // No value of its own (what an unreadable text pulls as): the typed text stays.
            if ((d >= 0 || !Unreadable(f)) && !(typing && e->GetAsStDate() == d))
                e->SetAsStDate(d);
            break;
        }
        case TQsoFieldKind::Time:
            if ((F.Time >= 0 || !Unreadable(f)) && !(typing && e->GetAsStTime() == F.Time))
                e->SetAsStTime(F.Time);
            break;
        default:
            if (!(typing && e->GetAsString() == F.Text[i]))
                e->SetAsString(F.Text[i]);
            break;
        }
        e->SetModified(F.Modified[i]);
        e->SetEverModified(F.EverModified[i]);
    }
    controls_[fAwdSel]->setVisible(F.AwdSelVisible);
    controls_[fAwdVal]->setVisible(F.AwdValVisible);
    labels_[fAwdSel]->setVisible(F.AwdSelVisible || F.AwdValVisible);
    labels_[fAwdVal]->setVisible(false);
    controls_[fBand]->setEnabled(entry_->BandBoxEnabled());
    controls_[fMode]->setEnabled(entry_->ModeBoxEnabled());
    country_->SetAsString(F.CountryText);
    dirDist_->SetAsString(F.DirDist);
    QPalette pal = controls_[fCall]->palette();
    pal.setColor(QPalette::Base, F.CallIsDupe ? QColor(255, 0, 0) : palette().color(QPalette::Base));
    controls_[fCall]->setPalette(pal);
    // The path as it is: file names differ by case here.
    std::string title = entry_->Log()->FileName;
    title += " sorted by ";
    title += SortOrderNames[entry_->SortOrder()];
    if (QAction* a = sortActions_[static_cast<std::size_t>(entry_->SortOrder())])
        a->setChecked(true);
    const TQsoSelection& sel = entry_->Log()->Selection;
    if (sel.DateRange || sel.GroupFlag || sel.Bit(TQsoSelection::kQrpOnlyBit) || sel.Bit(TQsoSelection::kYlOnlyBit))
        title += "  Selection: " + sel.Name.str();
    setWindowTitle(Q(title));
    // The function keys are the macros' only in real-time entry; entering it offers them.
    const int mode = entry_->EntryMode();
    if (mode != emRealTime) {
        if (specialKeys_)
            SetSpecialKeys(false);
        EnableCommand(cmSpecialKeys, false);
    } else if (shownMode_ != emRealTime) {
        EnableCommand(cmSpecialKeys, true);
    }
    shownMode_ = mode;
    pushing_ = false;
}

template <typename Fn>
void TQSOForm::Run(Fn fn)
{
    if (pushing_)
        return;
    Pull();
    fn();
    Push();
}

void TQSOForm::PreviewSpot(const std::string& call, TDayNumber date)
{
    Run([&] { entry_->PreviewCall(call, date); });
}

void TQSOForm::StartQsoFromSpot(const std::string& call, int mode, int band)
{
    Run([&] { entry_->StartQsoFromSpot(call, mode, band); });
}

void TQSOForm::FieldExit(int field)
{
    if (pushing_ || Unreadable(field))
        return;
    Run([&] {
        switch (field) {
        case fCall: entry_->CallExit(); break;
        case fDate: entry_->DateExit(); break;
        case fPrefix: entry_->PrefixExit(); break;
        case fState: entry_->StateExit(); break;
        case fGrid: entry_->GridExit(); break;
        case fZone: entry_->ZoneExit(); break;
        case fIota: entry_->IotaExit(); break;
        default: break;
        }
    });
}

void TQSOForm::FieldEnter(int field)
{
    if (field == fDate || field == fTime)
        entry_->EnterDateOrTimeField();
    if (TOvcBaseEntryField* f = Field(field))
        if (field != fNote && field != fCallNotes)
            f->SelectAll();
}

bool TQSOForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        const int key = k->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && k->modifiers() == Qt::NoModifier) {
            // A drop-down list open in a choice box takes its own Enter.
            if (auto* box = dynamic_cast<TCustomPopupBox*>(watched); box && box->Dropped())
                return false;
            // A QSO is never logged or searched with a date or time the window could not read.
            if (RefuseUnreadable())
                return true;
            Run([&] { entry_->EnterKey(); });
            return true;
        }
        if (key == Qt::Key_Escape) {
            if (auto* box = dynamic_cast<TCustomPopupBox*>(watched); box && box->Dropped())
                return false;
            // Escape first stops CW that is being sent.
            if (specialKeys_ && services_.ClearBusyCw && services_.ClearBusyCw())
                return true;
            const int mode = EntryMode();
            Run([&] { entry_->EscapeKey(); });
            if (mode == emRealTime || mode == emOffline) {
                SetSpecialKeys(false);
                EnableCommand(cmSpecialKeys, false);
            }
            return true;
        }
        if (FormKeyDown(k))
            return true;
        if ((key == Qt::Key_Up || key == Qt::Key_Down) &&
            (watched == controls_[fDate] || watched == controls_[fTime] || watched == controls_[fQslDate])) {
            Run([&] {
                auto& F = entry_->Fields;
                const int cmd = key == Qt::Key_Up ? 256 : 257;
                if (watched == controls_[fQslDate]) {
                    if (F.QslDate < 0)
                        F.QslDate = DayNumberToStDate(UtcToday());
                    else
                        F.QslDate += cmd == 256 ? 1 : -1;
                    F.Modified[fQslDate] = F.EverModified[fQslDate] = true;
                } else if (watched == controls_[fDate]) {
                    F.Date += cmd == 256 ? 1 : -1;
                    F.Modified[fDate] = F.EverModified[fDate] = true;
                } else {
                    F.Time += cmd == 256 ? 60 : -60;
                    if (F.Time >= 86400) {
                        F.Time -= 86400;
                        ++F.Date;
                    } else if (F.Time < 0) {
                        F.Time += 86400;
                        --F.Date;
                    }
                    F.Modified[fTime] = F.EverModified[fTime] = true;
                }
            });
            return true;
        }
        if ((key == Qt::Key_D || key == Qt::Key_R) && k->modifiers() == Qt::ControlModifier &&
            (watched == controls_[fNote] || watched == controls_[fCallNotes])) {
            const int field = watched == controls_[fNote] ? fNote : fCallNotes;
            Run([&] { entry_->AppendToNote(field, key == Qt::Key_D ? 'D' : 'R'); });
            Field(field)->SetInsertionPoint(255);
            return true;
        }
        if (key == Qt::Key_E && k->modifiers() == Qt::ControlModifier) {
            if (watched == controls_[fNote] || watched == controls_[fCallNotes]) {
                EditNote(watched == controls_[fNote] ? fNote : fCallNotes);
                return true;
            }
            if (watched == controls_[fQslMgr]) {
                EditManagerAddress(false);
                return true;
            }
        }
        // The space key moves on, except in the free-text fields.
        if (key == Qt::Key_Space && k->modifiers() == Qt::NoModifier && watched != controls_[fCallNotes] &&
            watched != controls_[fCnty] && watched != controls_[fNote] && dynamic_cast<TOvcBaseEntryField*>(watched)) {
            focusNextChild();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TQSOForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    ApplyTabStops();
    // A window coming back from the task bar is not shown anew.
    if (e->spontaneous())
        return;
    ReopenChildWindows();
}

void TQSOForm::ClockUpdate(TDayNumber date, std::int32_t seconds)
{
    if (entry_->EntryMode() != emRealTime || !entry_->ClockFollows())
        return;
    Run([&] { entry_->ClockUpdate(date, seconds); });
}

void TQSOForm::RadioUpdate(int mode, double kHz)
{
    Run([&] { entry_->RadioUpdate(mode, kHz); });
}

void TQSOForm::RadioStateChanged()
{
    Run([&] { entry_->RadioStateChanged(); });
}

void TQSOForm::SetSortOrder(int order)
{
    Run([&] { entry_->SetSortOrder(order); });
    Config.SetLastLogFile(entry_->Log()->FileName);
}

void TQSOForm::ScrollTo(int code, int& position)
{
    Run([&] { entry_->ScrollTo(code, position); });
}

void TQSOForm::ApplyDateFormats()
{
    Pull();
    for (int f : {fDate, fQslDate})
        static_cast<TOvcPictureField*>(Field(f))->SetPictureMask(DateFormatString());
    static_cast<TOvcPictureField*>(Field(fTime))->SetPictureMask(TimeFormatString());
    Push();
    emit logChanged(true);
}

bool TQSOForm::FinishEntry()
{
    bool ok = true;
    Run([&] { ok = entry_->FinishEntry(); });
    return ok;
}

void TQSOForm::RunOnEntry(const std::function<void(TQsoEntry&)>& fn)
{
    Run([&] { fn(*entry_); });
}

void TQSOForm::Addrealtime1Click() { actions_[cmAddRealTime]->trigger(); }

const char* TQSOForm::FieldCaption(int field)
{
    for (const auto& s : kLayout)
        if (s.field == field)
            return s.caption;
    return "";
}

void TQSOForm::DisableFields1Click()
{
    TDisabledFields dlg(this);
    if (dlg.exec() == QDialog::Accepted)
        ApplyTabStops();
}

void TQSOForm::EditNote(int field)
{
    Pull();
    TEditNote dlg(this, field == fNote ? "QSO Notes" : "Callsign Notes");
    dlg.SetLines(SplitNoteLines(entry_->Fields.Text[static_cast<std::size_t>(field)]));
    dlg.DateText = [this] { return entry_->NoteInsertText('D'); };
    dlg.FrequencyText = [this] { return entry_->NoteInsertText('R'); };
    if (dlg.exec() != QDialog::Accepted || !dlg.Modified())
        return;
    Run([&] {
        entry_->Fields.Text[static_cast<std::size_t>(field)] = JoinNoteLines(dlg.Lines());
        entry_->Fields.EverModified[static_cast<std::size_t>(field)] = true;
    });
    Field(field)->SetInsertionPoint(255);
}

void TQSOForm::EditManagerAddress(bool startModified)
{
    Pull();
    const std::string call = UpperAscii(TrimSpaces(entry_->Fields.Text[fQslMgr])).substr(0, 12);
    if (call.empty()) {
        MessageDlg("Editing the address of a QSL manager\rrequires a callsign for the manager",
                   TMsgDlgType::mtError, mbOK);
        return;
    }
    TEditAddress dlg(this, "Address for " + call);
    dlg.SetLines(ManagerAddressLines(call));
    if (startModified)
        dlg.SetModifiedAtEnd();
    if (dlg.exec() == QDialog::Accepted && dlg.Modified())
        StoreManagerAddress(call, dlg.Lines());
}

bool TQSOForm::ShowQso(const TQsoRecord* rec)
{
    bool shown = false;
    Run([&] { shown = entry_->FinishEntry() && entry_->ShowQso(rec); });
    if (shown) {
        activateWindow();
        raise();
        controls_[fCall]->setFocus(Qt::OtherFocusReason);
    }
    return shown;
}
void TQSOForm::Addoffline1Click() { actions_[cmAddOffline]->trigger(); }

void TQSOForm::Nextwindowsize1Click()
{
    windowSize_ = (windowSize_ + 1) % kWindowSizeCount;
    ApplyWindowSize();
}

int TQSOForm::SizeHeight(int size) const
{
    // The bottom of the last row's controls plus 2 pixels.
    return top_ + kSizeLastRow[size] * kRowHeight + (kRowHeight - 4) + 2;
}

int TQSOForm::NearestSize(int height) const
{
    int best = 0;
    for (int n = 1; n < kWindowSizeCount; ++n)
        if (std::abs(SizeHeight(n) - height) < std::abs(SizeHeight(best) - height))
            best = n;
    return best;
}

void TQSOForm::ApplyWindowSize()
{
    const int height = SizeHeight(windowSize_);
    sizing_ = true;
    resize(width(), height);
    sizing_ = false;
    // Only the rows the window shows can be reached: a field below them takes no focus.
    for (QWidget* w : controls_)
        w->setEnabled(w->geometry().top() < height);
    country_->setEnabled(false);
    dirDist_->setEnabled(false);
    if (QWidget* f = focusWidget(); f && !f->isEnabled())
        controls_[fCall]->setFocus(Qt::OtherFocusReason);
    if (started_)
        Push();
}

void TQSOForm::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    menuBar_->setGeometry(0, 0, width(), menuBar_->sizeHint().height());
    if (sizing_ || !started_ || height() == SizeHeight(windowSize_))
        return;
    // A resize by the mouse (or the window manager) snaps to the nearest window size.
    windowSize_ = NearestSize(height());
    QTimer::singleShot(0, this, [this] { ApplyWindowSize(); });
}

void TQSOForm::ApplyTabStops()
{
    const bool radioLocks = entry_->EntryMode() == emRealTime && entry_->RadioAttached();
    for (int f = 0; f < kQsoFieldCount; ++f) {
        QWidget* w = controls_[static_cast<std::size_t>(f)];
        bool stop = true;
        if ((f == fBand || f == fMode) && radioLocks)
            stop = false;
        else if (f >= fPrefix && f <= fSat && Config.FieldDisabled(f))
            stop = false;
        w->setFocusPolicy(stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

// ---- commands ----

void TQSOForm::RunCommand(TQsoCommand c)
{
    if (!handlers_[c])
        throw std::logic_error(std::string("\"") + QsoCommand(c).caption + "\" is not connected");
    handlers_[c]();
}

void TQSOForm::SetCommandHandler(TQsoCommand c, std::function<void()> handler) { handlers_[c] = std::move(handler); }

void TQSOForm::EnableCommand(TQsoCommand c, bool on)
{
    actions_[c]->setEnabled(on);
}

void TQSOForm::OpenChildWindow(int index)
{
    std::string call;
    bool asManager = false;
    if (index == cwExternalData) {
        // The manager's call when the operator is in a filled manager field, else the QSO's.
        Pull();
        const auto& T = entry_->Fields.Text;
        const std::string manager = UpperAscii(TrimSpaces(T[fQslMgr])).substr(0, 12);
        asManager = focusWidget() == controls_[fQslMgr] && !manager.empty();
        call = asManager ? manager : UpperAscii(TrimSpaces(T[fCall])).substr(0, 12);
        if (call.empty()) {
            Beep();
            return;
        }
    }
    TChildWindows* children = ChildWindowSlots();
    if (!children || !children->Plugged(index))
        throw std::logic_error(std::string("\"") + QsoCommand(ChildWindowCommand(index)).caption +
                               "\" is not connected");
    const bool existed = children->Window(index) != nullptr;
    QWidget* w = children->Create(index, this);
    if (!w)
        return;
    if (existed || index == cwPsk31) {
        w->showNormal();
        w->raise();
        w->activateWindow();
        w->setFocus(Qt::OtherFocusReason);
    }
    if (index == cwExternalData && children->Kind(index).LookupCall)
        children->Kind(index).LookupCall(w, call, asManager);
}

void TQSOForm::ReopenChildWindows()
{
    if (TChildWindows* children = ChildWindowSlots())
        for (int i = 0; i < kChildWindowCount; ++i)
            // The lookup window asks outside programs: it opens only when the operator asks.
            if (i != cwExternalData && children->Plugged(i) && !children->Window(i) && TChildWindows::WasOpen(i))
                children->Create(i, this);
    if (CwKeyboardWasOpen() && services_.OpenCwKeyboard)
        services_.OpenCwKeyboard();
}

void TQSOForm::UpdateMenus(int code)
{
    EnableCommand(cmAnnounceDx, services_.TerminalHandlesSpots && services_.TerminalHandlesSpots());
    EnableCommand(cmSwitchToPacket, services_.PacketWindowExists && services_.PacketWindowExists());
    EnableCommand(cmLookupExtData, Config.CallbookKind() > 0 || Config.QslManagerProgramOn());
    if (code == mfRadioStopped)
        Run([&] { entry_->EnableBandAndModeBoxes(); });
    if (code == mfSetupChanged)
        if (TChildWindows* children = ChildWindowSlots())
            for (int i = 0; i < kChildWindowCount; ++i)
                if (TChildWindows::IsSummary(i) && children->Window(i)) {
                    if (children->Kind(i).Rebuild)
                        children->Kind(i).Rebuild(children->Window(i));
                    children->MarkDirty(i);
                }
}

void TQSOForm::EnableRotatorMenu(bool enabled)
{
    for (TQsoCommand c : {cmShortPath, cmLongPath, cmStopRotator})
        EnableCommand(c, enabled);
}

int TQSOForm::RotatorHeading() const { return HeadingOfDirDist(entry_->Fields.DirDist); }

void TQSOForm::ShortPath1Click() { Need(services_.TurnRotator, cmShortPath)(RotatorHeading()); }

void TQSOForm::LongPath1Click() { Need(services_.TurnRotator, cmLongPath)(RotatorHeading() + 180); }

void TQSOForm::StopRotator1Click() { Need(services_.StopRotator, cmStopRotator)(); }

void TQSOForm::SetSpecialKeys(bool on)
{
    // Only real-time entry sends macros from the function keys.
    if (on && EntryMode() != emRealTime)
        return;
    specialKeys_ = on;
    for (const TQsoCommandDef& d : QsoCommands())
        if (d.specialKey)
            actions_[d.id]->setShortcut(
                QKeySequence(QString::fromLatin1(on ? d.specialKey : d.key), QKeySequence::PortableText));
    actions_[cmSpecialKeys]->setChecked(on);
}

void TQSOForm::Selection1Click()
{
    if (!FinishEntry())
        return;
    const int result = Need(services_.RunSelectionDialog, cmSelection)();
    if (result > 0)
        Run([&] { entry_->RefreshAfterSelection(result == 2); });
}

void TQSOForm::LogChanged(bool keepStatus)
{
    Run([&] { entry_->LogChanged(keepStatus); });
}

bool TQSOForm::FormKeyDown(QKeyEvent* k)
{
    const int key = k->key();
    const Qt::KeyboardModifiers mods = k->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (specialKeys_ && key >= Qt::Key_F1 && key <= Qt::Key_F8 && mods == Qt::NoModifier) {
        // Neither the CW keyboard nor the RTTY terminal is there to send it: the keys are the
        // window's again.
        if (!services_.SendFunctionKey || !services_.SendFunctionKey(key - Qt::Key_F1 + 1))
            SetSpecialKeys(false);
        return true;
    }
    if (key == Qt::Key_F1 && (mods == Qt::ShiftModifier || (mods == Qt::NoModifier && !specialKeys_))) {
        ShowHelp(this);
        return true;
    }
    if (key == Qt::Key_F12 && mods == Qt::ShiftModifier) {
        if (services_.SetFrequency)
            services_.SetFrequency();
        return true;
    }
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && (mods & Qt::ControlModifier)) {
        CycleFocus(key == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
        return true;
    }
    return false;
}

void TQSOForm::CycleFocus(bool forward)
{
    // The controls in the window's tab order; Ctrl+Tab also reaches fields without a tab stop.
    std::vector<QWidget*> order;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (std::find(controls_.begin(), controls_.end(), w) != controls_.end())
            order.push_back(w);
    if (order.empty())
        return;
    const auto n = static_cast<int>(order.size());
    auto at = std::find(order.begin(), order.end(), focusWidget());
    int i = at == order.end() ? (forward ? n - 1 : 0) : static_cast<int>(at - order.begin());
    for (int step = 0; step < n; ++step) {
        i = (i + (forward ? 1 : n - 1)) % n;
        QWidget* w = order[static_cast<std::size_t>(i)];
        if (w->isEnabled() && w->isVisibleTo(this)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void TQSOForm::keyPressEvent(QKeyEvent* e)
{
    if (!FormKeyDown(e))
        QWidget::keyPressEvent(e);
}

// ---- host services ----

void TQSOForm::Beep()
{
    ++beeps_;
    QApplication::beep();
}

void TQSOForm::FocusField(int field)
{
    ApplyTabStops();
    QWidget* w = controls_[static_cast<std::size_t>(field)];
    if (!w || !isVisible())
        return;
    // A field below the window's rows (an error in it, say) makes the window tall enough to show it.
    while (!w->isEnabled() && w->geometry().top() >= SizeHeight(windowSize_) && windowSize_ < kLargestWindowSize) {
        ++windowSize_;
        ApplyWindowSize();
    }
    if (w->isEnabled())
        w->setFocus(Qt::OtherFocusReason);
}

bool TQSOForm::FieldHasFocus(int field) const { return controls_[static_cast<std::size_t>(field)]->hasFocus(); }

void TQSOForm::EnableEditCommands(bool on)
{
    for (TQsoCommand c : {cmUpdate, cmDelete, cmConfirmLabel, cmConfirmSwl})
        EnableCommand(c, on);
}

void TQSOForm::AskDateRange(TDayNumber& start, TDayNumber& end)
{
    TGetDateRange dlg(this, start, end);
    dlg.exec();
    // The dates the dialog shows stand, however it was left.
    if (TDayNumber d = dlg.Start())
        start = d;
    if (TDayNumber d = dlg.End())
        end = d;
}

int TQSOForm::ShowPicklist(const std::string& caption, const TTwoIndex& list, int first)
{
    return korval::ShowPicklist(this, caption, list, first);
}

} // namespace korval
