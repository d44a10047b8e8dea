#include "station/windows/putout_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenu>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "entry/ovc_intl.h"
#include "grids/windows/my_grid.h"
#include "grids/windows/ovc_base_table_cell.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "logbook/log_hooks.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/qso_form.h"
#include "platform/atomic_file.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"
#include "logbook/configured_formats.h"

namespace korval {

namespace {

const char* const kSortNames[6] = {"Time", "Arrival", "Callsign", "Frequency", "Priority", "Spotter"};

struct TSpotColumn {
    const char* caption;
    int width;
    TMyGridAlign align;
};
const TSpotColumn kColumns[7] = {{"Freq", 10, gaRight},    {"Callsign", 12, gaLeft}, {"Time", 5, gaLeft},
                                 {"QSX", 10, gaRight},     {"Remarks", 30, gaLeft},  {"Spotter", 12, gaLeft},
                                 {"Date", 8, gaLeft}};

} // namespace

std::string FormatSpotFrequency(double kHz)
{
    const long long tenths = std::llround(std::fabs(kHz) * 10);
    std::string whole = std::to_string(tenths / 10);
    const char comma = OvcIntlSup().CommaChar();
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(static_cast<std::size_t>(i), 1, comma);
    return (kHz < 0 ? "-" : "") + whole + OvcIntlSup().DecimalChar() + std::to_string(tenths % 10);
}

TPutoutW::TPutoutW(TPutoutEnv env, QWidget* parent)
    : QWidget(parent), env_(std::move(env)), list_(classifier_, env_.announcer),
      queue_(parser_, [this](const TSpotRecord& s) { AddSpot(s); },
             [this](const std::string& line) {
                 if (env_.talk)
                     env_.talk(line);
             })
{
    setWindowFlag(Qt::Window, true);
    setObjectName(QStringLiteral("PutoutW"));
    tuner_.SetRadio(env_.radio);
    // Lines wait until the window is first shown.
    queue_.setPaused(true);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    DG = new TMyGrid(this);
    DG->setObjectName(QStringLiteral("DG"));
    for (const TSpotColumn& c : kColumns)
        DG->AddColumn(c.caption, c.width, c.align);
    DG->ApplyHeader();
    DG->OnGetCell = [this](TMyGrid*, int col, int row, std::string& value) {
        const TSpotRecord* s = SpotAt(row);
        if (!s)
            return;
        switch (col) {
        case 0: value = FormatSpotFrequency(s->frequency); break;
        case 1: value = s->call; break;
        case 2: value = s->time == NoSpotTime ? std::string() : SecondsToHHMM(std::int32_t(s->time) * 60); break;
        case 3: value = s->qsxFrequency != 0 ? FormatSpotFrequency(s->qsxFrequency) : std::string(); break;
        case 4: value = s->remarks; break;
        case 5: value = s->spotter; break;
        case 6: value = FormatDayNumber(s->date); break;
        }
    };
    // New countries and new modes stand out on their colour; the others are written in it.
    DG->OnGetColor = [this](TMyGrid*, int, int row, QColor& fg, QColor& bg) {
        const TSpotRecord* s = SpotAt(row);
        if (!s || s->reason < '1' || s->reason > '6')
            return;
        const QColor reason = ScreenQColor(Config.SpotReasonColour(s->reason - '0'));
        const QColor window = palette().color(QPalette::Base);
        if (s->reason <= '2') {
            bg = reason;
            fg = window;
        } else {
            fg = reason;
            bg = window;
        }
    };
    DG->OnClick = [this](TMyGrid*) { SpotToQso(); };
    DG->OnDblClick = [this](TMyGrid*) { GrabSpot(true); };
    lay->addWidget(DG);

    BuildMenu();
    DG->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DG, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popup_->exec(DG->mapToGlobal(at)); });
    resize(560, 200);
    UpdateCaption();
}

TPutoutW::~TPutoutW() = default;

void TPutoutW::BuildMenu()
{
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    auto add = [this](QMenu* menu, const char* text, auto slot) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(popup_, "Delete", [this] { DeleteSpot(); });
    grabTune_ = add(popup_, "Grab spot and set radio", [this] { GrabSpot(true); });
    add(popup_, "Grab spot only", [this] { GrabSpot(false); });
    returnFreq_ = add(popup_, "Return to last Freq", [this] { ReturnToLastFreq(); });
    listen_ = add(popup_, "Listen", [this] { Listen(); });
    add(popup_, "Monitor", [this] { Monitor(); });
    QMenu* sort = popup_->addMenu(QStringLiteral("Sort"));
    // The menu lists the orders alphabetically; each item knows its order number.
    for (int order : {int(spArrival), int(spCallsign), int(spFrequency), int(spPriority), int(spSpotter), int(spTime)}) {
        QAction* a = add(sort, kSortNames[order], [this, order] { SetSortOrder(order); });
        a->setCheckable(true);
        sortActions_[static_cast<std::size_t>(order)] = a;
    }
    add(popup_, "Toggle holding", [this] { ToggleHolding(); });
    viewAnnouncements_ = add(popup_, "View announcements", [this] {
        if (env_.viewAnnouncements)
            env_.viewAnnouncements();
    });
    viewAnnouncements_->setEnabled(static_cast<bool>(env_.viewAnnouncements));
    popup_->addSeparator();
    for (int group = cgDxcc; group <= cgWpx; ++group) {
        QAction* a = add(popup_, (std::string(SpotColourGroupName(group)) + " colors").c_str(),
                         [this, group] { SetColourGroup(group); });
        a->setCheckable(true);
        colourActions_[static_cast<std::size_t>(group - 1)] = a;
    }
    colourActions_[0]->setChecked(true);
    popup_->addSeparator();
    add(popup_, "Cancel spot announcements", [this] { CancelAnnouncements(); });
    add(popup_, "Clear All Spots", [this] { ClearAllSpots(); });
    add(popup_, "Delete old spots (2 Hrs)", [this] { DeleteOldSpots(); });
    add(popup_, "Write spots to File", [this] { WriteSpotsToFile(); });
    // The radio may start or stop while the window is open.
    auto radioItems = [this] {
        for (QAction* a : {grabTune_, returnFreq_, listen_})
            a->setEnabled(tuner_.hasRadio());
    };
    radioItems();
    connect(popup_, &QMenu::aboutToShow, this, radioItems);
}

void TPutoutW::ReadSettings()
{
    TSpotListSettings s;
    s.capacity = Config.SpotListCapacity();
    s.ignoreGray = Config.IgnoreGraySpots();
    s.callsignAlert = Config.CallAlertList();
    s.okPrefixes = Config.SpotterFilter();
    s.dxAlert = Config.AnnounceLevel();
    list_.SetSettings(s);
    std::array<std::string, 4> templates;
    for (int i = 0; i < 4; ++i) {
        templates[static_cast<std::size_t>(i)] = Config.SpotTemplate(i);
        if (TrimSpaces(templates[static_cast<std::size_t>(i)]).empty())
            templates[static_cast<std::size_t>(i)] = TSpotParser::DefaultTemplates()[static_cast<std::size_t>(i)];
    }
    parser_ = TSpotParser(templates);
    queue_.setTalkAction(Config.TalkAction());
}

void TPutoutW::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (started_)
        return;
    started_ = true;
    RestoreFormPlacement(this, psSpot);
    ReadSettings();
    TLogSpotClassifier::UpdateLogStatistics();
    if (list_.Load(env_.spotFile) == TSpotFileResult::Incompatible)
        MessageDlg(IncompatibleSpotFileText, TMsgDlgType::mtWarning, mbOK);
    bool allWidths = true;
    for (int c = 0; c < 7; ++c)
        allWidths = allWidths && Config.SpotColumnWidth(c) != 0;
    if (allWidths)
        for (int c = 0; c < 7; ++c)
            DG->SetColWidth(c, Config.SpotColumnWidth(c));
    const int order = Config.SpotSortOrder();
    list_.SetSortOrder(order <= spSpotter ? order : spTime);
    for (int o = 0; o < 6; ++o)
        sortActions_[static_cast<std::size_t>(o)]->setChecked(o == list_.sortOrder());
    holding_ = list_.sortOrder() == spFrequency;
    ShowSpots(0);
    UpdateCaption();
    queue_.setPaused(false);
}

void TPutoutW::closeEvent(QCloseEvent* e)
{
    // The operator cannot close the list: it lives as long as the terminal that feeds it.
    e->ignore();
}

void TPutoutW::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (started_ && !holding_)
        SpotToQso();
}

void TPutoutW::AddPendingLine(const std::string& line) { queue_.AddPendingLine(line); }

void TPutoutW::AppIdle()
{
    if (queue_.pending() == 0)
        return;
    DG->BeginUpdate();
    queue_.ProcessPendingLines();
    DG->EndUpdate();
}

const TSpotRecord* TPutoutW::SpotAt(int row) const
{
    if (row < 1 || static_cast<std::size_t>(row) > list_.spots().size())
        return nullptr;
    return &list_.spots()[static_cast<std::size_t>(row - 1)];
}

const TSpotRecord* TPutoutW::CurrentSpot() const { return SpotAt(DG->Row); }

void TPutoutW::AddSpot(const TSpotRecord& spot)
{
    if (!list_.AddSpot(spot))
        return;
    LogHooks().RestartAutoSave();
    ShowSpots(list_.lastRemoved());
}

// The grid after the list changed: one header row and a row a spot. While holding, the view
// stays on the same spots; otherwise it goes to the newest row and shows it in the QSO window.
void TPutoutW::ShowSpots(std::size_t removed)
{
    const int rows = static_cast<int>(list_.spots().size()) + 1;
    if (holding_) {
        const int shift = static_cast<int>(removed);
        DG->SetRows(rows, std::max(1, DG->Row - shift), std::max(1, DG->TopRow - shift));
    } else {
        DG->SetRows(rows, INT_MAX, INT_MAX);
        SpotToQso();
    }
    DG->viewport()->update();
}

void TPutoutW::SelectSpot(const TSpotRecord* keep)
{
    int row = DG->Row;
    if (keep)
        for (std::size_t i = 0; i < list_.spots().size(); ++i)
            if (list_.spots()[i].arrival == keep->arrival) {
                row = static_cast<int>(i) + 1;
                break;
            }
    DG->SetRows(static_cast<int>(list_.spots().size()) + 1, row);
    DG->viewport()->update();
}

void TPutoutW::KeepingSelection(const std::function<void()>& change)
{
    std::optional<TSpotRecord> keep;
    if (const TSpotRecord* s = CurrentSpot())
        keep = *s;
    change();
    SelectSpot(keep ? &*keep : nullptr);
}

void TPutoutW::SpotToQso()
{
    const TSpotRecord* s = CurrentSpot();
    if (!s)
        return;
    if (TQSOForm* qso = env_.qsoWindow ? env_.qsoWindow() : nullptr)
        qso->PreviewSpot(s->call, s->date);
    if (Config.SpotOnTaskbar())
        QGuiApplication::setApplicationDisplayName(FromWin1252(s->call));
}

QString TPutoutW::CaptionText() const
{
    std::string text = "DX spots [" + std::string(SpotColourGroupName(classifier_.colourGroup())) + "] sorted by " +
                       kSortNames[list_.sortOrder()];
    if (holding_)
        text += " (HOLDING)";
    return FromWin1252(text);
}

void TPutoutW::UpdateCaption() { setWindowTitle(CaptionText()); }

void TPutoutW::SetHolding(bool on)
{
    holding_ = on;
    UpdateCaption();
}

void TPutoutW::GrabSpot(bool tune)
{
    const TSpotRecord* current = CurrentSpot();
    if (!current)
        return;
    const TSpotRecord spot = *current;
    auto doTune = [&] {
        if (tune && tuner_.Tune(spot) == TSpotTuner::TResult::BadFrequency)
            MessageDlg(BadFrequencyText, TMsgDlgType::mtError, mbOK);
    };
    TQSOForm* qso = env_.qsoWindow ? env_.qsoWindow() : nullptr;
    if (!qso) {
        doTune();
        return;
    }
    if (!qso->FinishEntry())
        return;
    doTune();
    qso->StartQsoFromSpot(spot.call, spot.mode, spot.band);
}

void TPutoutW::ReturnToLastFreq() { tuner_.ReturnToLastFreq(); }

void TPutoutW::Listen()
{
    const TSpotRecord* s = CurrentSpot();
    if (!s)
        return;
    SetHolding(true);
    tuner_.Listen(*s);
}

void TPutoutW::Monitor()
{
    const TSpotRecord* s = CurrentSpot();
    if (!s)
        return;
    // The scanner's channels are kept in the configuration, where the scanner reads them.
    for (int n = 1; n <= ScannerChannelCount; ++n) {
        TScannerChannel ch = Config.ScannerChannel(n);
        if (ch.Active || !ch.Description.empty())
            continue;
        ch.Active = true;
        ch.Description = (s->call + " " + s->remarks).substr(0, 30);
        ch.FrequencyKHz = s->frequency;
        ch.QsxKHz = s->qsxFrequency;
        Config.SetScannerChannel(n, ch);
        SetHolding(true);
        return;
    }
    MessageDlg(NoFreeScannerChannelText, TMsgDlgType::mtWarning, mbOK);
}

void TPutoutW::DeleteSpot()
{
    if (!CurrentSpot())
        return;
    list_.Delete(static_cast<std::size_t>(DG->Row - 1));
    LogHooks().RestartAutoSave();
    SelectSpot(nullptr);
}

void TPutoutW::ClearAllSpots()
{
    list_.Clear();
    LogHooks().RestartAutoSave();
    SetHolding(false);
    DG->SetRows(1, 0);
    DG->viewport()->update();
}

void TPutoutW::DeleteOldSpots()
{
    list_.DeleteOldSpots();
    ShowSpots(0);
}

void TPutoutW::ToggleHolding()
{
    SetHolding(!holding_);
    if (!holding_)
        ShowSpots(0);
}

void TPutoutW::SetSortOrder(int order)
{
    if (order < spTime || order > spSpotter)
        return;
    KeepingSelection([&] { list_.SetSortOrder(order); });
    for (int o = 0; o < 6; ++o)
        sortActions_[static_cast<std::size_t>(o)]->setChecked(o == order);
    SetHolding(order == spFrequency);
}

void TPutoutW::SetColourGroup(int group)
{
    for (int g = cgDxcc; g <= cgWpx; ++g)
        colourActions_[static_cast<std::size_t>(g - 1)]->setChecked(g == group);
    classifier_.SetColourGroup(group);
    UpdateCaption();
    RecheckAllSpots();
}

void TPutoutW::RecheckAllSpots()
{
    TLogSpotClassifier::UpdateLogStatistics();
    KeepingSelection([&] { list_.RecheckAllSpots(); });
}

void TPutoutW::RecheckSpotsForQso(std::uint16_t country)
{
    KeepingSelection([&] { list_.RecheckSpotsForCountry(country); });
}

void TPutoutW::GoToNearestSpot(double kHz)
{
    const auto& spots = list_.spots();
    if (spots.empty())
        return;
    std::size_t best = 0;
    double bestGap = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < spots.size(); ++i)
        if (double gap = std::fabs(spots[i].frequency - kHz); gap < bestGap) {
            bestGap = gap;
            best = i;
        }
    SetHolding(true);
    DG->SelectRow(static_cast<int>(best) + 1);
}

void TPutoutW::WriteSpotsToFile()
{
    if (list_.spots().empty())
        return;
    const std::string name = env_.askTextFile
                                 ? env_.askTextFile()
                                 : QFileDialog::getSaveFileName(this, QStringLiteral("Write spots to File")).toStdString();
    if (name.empty())
        return;
    try {
        AtomicFile file(name, false);
        file.write(list_.SpotsAsText());
        file.commit();
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return;
    }
    MessageDlg(CountText(static_cast<long>(list_.spots().size()), "Spot") + " Written", TMsgDlgType::mtInformation, mbOK);
}

void TPutoutW::CancelAnnouncements()
{
    if (env_.announcer)
        env_.announcer->CancelAll();
}

bool TPutoutW::SaveSpots()
{
    if (!list_.modified())
        return false;
    try {
        list_.Save(env_.spotFile);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return false;
    }
    return true;
}

void TPutoutW::SaveState()
{
    try {
        list_.Save(env_.spotFile);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
    SaveFormPlacement(this, psSpot);
    for (int c = 0; c < 7; ++c)
        Config.SetSpotColumnWidth(c, static_cast<std::uint16_t>(std::clamp(DG->ColWidth(c), 0, 65535)));
    Config.SetSpotSortOrder(static_cast<std::uint8_t>(list_.sortOrder()));
}

} // namespace korval
