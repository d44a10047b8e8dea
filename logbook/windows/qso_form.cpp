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
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

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
#include "logbook/note_editing.h"
#include "logbook/windows/log_dialogs.h"
#include "logbook/windows/picklist.h"
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
    struct A {
        TCommand c;
        const char* text;
        QKeySequence key;
    };
    const A list[] = {
        {cmAddRealTime, "Add Real-time", QKeySequence(Qt::CTRL | Qt::Key_R)},
        {cmAddOffline, "Add Off-line", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {cmSearch, "Search", QKeySequence(Qt::Key_F8)},
        {cmSearchOldFilter, "Search Using Old Filter", QKeySequence(Qt::SHIFT | Qt::Key_F8)},
        {cmCount, "Count", QKeySequence()},
        {cmCancelFilter, "Cancel Filter", QKeySequence()},
        {cmUpdate, "Update QSO", QKeySequence(Qt::CTRL | Qt::Key_U)},
        {cmDelete, "Delete QSO", QKeySequence()},
        {cmFirst, "First", QKeySequence(Qt::CTRL | Qt::Key_Home)},
        {cmPrevious, "Previous", QKeySequence(Qt::Key_PageUp)},
        {cmNext, "Next", QKeySequence(Qt::Key_PageDown)},
        {cmLast, "Last", QKeySequence(Qt::CTRL | Qt::Key_End)},
        {cmNextWindowSize, "Next Window Size", QKeySequence(Qt::Key_F5)},
        {cmLogList, "Log List", QKeySequence()},
        {cmContestMode, "Contest Mode", QKeySequence()},
        {cmCountryInformation, "SunRise/Set", QKeySequence()},
    };
    for (const auto& a : list) {
        auto* act = new QAction(QString::fromLatin1(a.text), this);
        act->setShortcut(a.key);
        act->setShortcutContext(Qt::WindowShortcut);
        addAction(act);
        actions_[a.c] = act;
    }
    auto on = [this](TCommand c, auto fn) { connect(actions_[c], &QAction::triggered, this, [this, fn] { Run(fn); }); };
    on(cmAddRealTime, [this] { entry_->Addrealtime(); });
    on(cmAddOffline, [this] { entry_->Addoffline(); });
    on(cmSearch, [this] { entry_->BeginSearch(true); });
    on(cmSearchOldFilter, [this] { entry_->BeginSearch(false); });
    on(cmCount, [this] { entry_->Count2Click(); });
    on(cmCancelFilter, [this] { entry_->CancelFilter(); });
    on(cmUpdate, [this] { entry_->Update2Click(); });
    on(cmDelete, [this] { entry_->Delete2Click(); });
    on(cmFirst, [this] { entry_->First(); });
    on(cmPrevious, [this] { entry_->Previous(); });
    on(cmNext, [this] { entry_->Next(); });
    on(cmLast, [this] { entry_->Last(); });
    connect(actions_[cmNextWindowSize], &QAction::triggered, this, [this] { Nextwindowsize1Click(); });
    // Their windows come with later work: present, but not yet usable.
    actions_[cmLogList]->setEnabled(false);
    actions_[cmContestMode]->setEnabled(false);
    actions_[cmCountryInformation]->setEnabled(false);
}

void TQSOForm::BuildMenus()
{
    auto menu = [this](const char* title, std::initializer_list<TCommand> items) {
        QMenu* m = menuBar_->addMenu(QString::fromLatin1(title));
        for (TCommand c : items)
            if (c == kCommandCount)
                m->addSeparator();
            else
                m->addAction(actions_[c]);
        return m;
    };
    constexpr TCommand sep = kCommandCount;
    menu("&QSO", {cmAddRealTime, cmAddOffline, sep, cmUpdate, cmDelete});
    menu("&Search", {cmSearch, cmSearchOldFilter, sep, cmCount, cmCancelFilter});
    menu("&Browse", {cmFirst, cmPrevious, cmNext, cmLast});
    QMenu* sort = menuBar_->addMenu(QStringLiteral("S&ort"));
    auto* group = new QActionGroup(this);
    const char* const captions[] = {"Band", "Call", "County", "Cust Awd", "Date", "Grid", "Group",
                                    "IOTA", "Prefix", "SeqPrtNr", "State", "WPX", "Zone"};
    for (int order = 0; order < kSortOrderCount; ++order) {
        QAction* a = sort->addAction(QString::fromLatin1(captions[order]));
        a->setCheckable(true);
        group->addAction(a);
        sortActions_[static_cast<std::size_t>(order)] = a;
        connect(a, &QAction::triggered, this, [this, order] { SetSortOrder(order); });
    }
    menu("&Window", {cmNextWindowSize, sep, cmLogList, cmCountryInformation, cmContestMode});
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
        switch (QsoFieldKind(f)) {
        case TQsoFieldKind::Date: {
            const std::int32_t d = f == fDate ? F.Date : F.QslDate;
            // No value of its own (what an unreadable text pulls as): the typed text stays.
            if (d >= 0 || !Unreadable(f))
                e->SetAsStDate(d);
            break;
        }
        case TQsoFieldKind::Time:
            if (F.Time >= 0 || !Unreadable(f))
                e->SetAsStTime(F.Time);
            break;
        default:
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
    std::string title = entry_->Log()->FileName;
    for (char& c : title)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    title += " sorted by ";
    title += SortOrderNames[entry_->SortOrder()];
    if (QAction* a = sortActions_[static_cast<std::size_t>(entry_->SortOrder())])
        a->setChecked(true);
    const TQsoSelection& sel = entry_->Log()->Selection;
    if (sel.DateRange || sel.GroupFlag || sel.Bit(TQsoSelection::kQrpOnlyBit) || sel.Bit(TQsoSelection::kYlOnlyBit))
        title += "  Selection: " + sel.Name.str();
    setWindowTitle(Q(title));
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
            Run([&] { entry_->EscapeKey(); });
            return true;
        }
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

unsigned TQSOForm::TakeDirtyChildren()
{
    unsigned d = dirty_;
    dirty_ = 0;
    return d;
}

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

// ---- host services ----

void TQSOForm::Beep() { QApplication::beep(); }

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
    actions_[cmUpdate]->setEnabled(on);
    actions_[cmDelete]->setEnabled(on);
}

void TQSOForm::AskDateRange(TDayNumber& start, TDayNumber& end)
{
    QDialog dlg(this);
    dlg.setWindowTitle("Date range");
    auto* from = new TOvcPictureField(&dlg);
    auto* to = new TOvcPictureField(&dlg);
    for (auto* f : {from, to}) {
        f->SetDataType(pftDate);
        f->SetPictureMask(DateFormatString());
    }
    from->SetAsStDate(DayNumberToStDate(start));
    to->SetAsStDate(DayNumberToStDate(end));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* lay = new QVBoxLayout(&dlg);
    lay->addWidget(from);
    lay->addWidget(to);
    lay->addWidget(buttons);
    dlg.exec();
    // The dates the dialog shows stand, however it was left.
    if (TDayNumber d = StDateToDayNumber(from->GetAsStDate()))
        start = d;
    if (TDayNumber d = StDateToDayNumber(to->GetAsStDate()))
        end = d;
}

int TQSOForm::ShowPicklist(const std::string& caption, const TTwoIndex& list, int first)
{
    return korval::ShowPicklist(this, caption, list, first);
}

} // namespace korval
