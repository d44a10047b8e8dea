#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "entry/ovc_timer_pool.h"
#include "exchange/windows/ask_group_nr.h"
#include "exchange/windows/change_qsl.h"
#include "exchange/windows/contest_dialog.h"
#include "exchange/windows/elements_dialog.h"
#include "exchange/windows/filter_windows.h"
#include "exchange/windows/label_windows.h"
#include "logbook/windows/qsl_commands.h"
#include "exchange/windows/mark_qsl_dialog.h"
#include "exchange/windows/set_dialog.h"
#include "exchange/windows/set_flags.h"
#include "entry/windows/ovc_qt_timer_driver.h"
#include "logbook/config_record.h"
#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/custom_award.h"
#include "logbook/crash_recovery.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/help_window.h"
#include "logbook/windows/logbook.h"
#include "logbook/windows/report_designer.h"
#include "logbook/log_file.h"
#include "logbook/paths.h"
#include "logbook/windows/prog_status.h"
#include "logbook/windows/progress_bar.h"
#include "logbook/qso_data.h"
#include "logbook/report_definitions.h"
#include "logbook/windows/qso_form.h"
#include "logbook/qso_lookup.h"
#include "logbook/qso_navigator.h"
#include "logbook/base/day_number.h"
#include "logbook/base/string_utils.h"
#include "logbook/qso_fields.h"
#include "reference/cal_collection.h"
#include "reference/country_editor.h"
#include "reference/windows/calendar_window.h"
#include "reference/windows/country_editor_window.h"
#include "reference/windows/setup_dialog.h"
#include "reference/windows/work_copy_editors.h"
#include "reference/windows/sun_windows.h"
#include "reporting/windows/report_forms.h"
#include "station/windows/cluster_terminals.h"
#include "station/windows/packet_window.h"
#include "station/windows/panorama_window.h"
#include "station/windows/radio_control.h"
#include "station/windows/radio_db.h"
#include "station/windows/rotate_form.h"
#include "station/windows/scanner_window.h"
#include "station/windows/set_radio_frequency.h"
#include "app/child_window_kinds.h"
#include "grids/windows/popup_box.h"
#include "app/splash_screen.h"
#include "app/setup_services.h"
#include "app/station_services.h"
#include "logbook/windows/child_windows.h"
#include "logbook/windows/qso_window_services.h"
#include "platform/windows/idle_hook.h"
#include "platform/message_dlg.h"
#include "platform/port_io.h"
#include "station/morse_sender.h"
#include "station/windows/morse_kb.h"
#include "station/psk31/psk_key_port.h"
#include "station/windows/psk31_window.h"
#include "platform/windows/win1252.h"
#include "platform/windows/window_message.h"

namespace korval {

namespace {

TMainForm* g_mainForm = nullptr;
TFileDialogHandler g_fileDialog;

const std::vector<std::string> kQslRoutes{"Buro", "QSLSvc", "Direct", "$$$$", "Other", "Ignore"};
const std::vector<std::string> kSatModes{"------", "435/145", "144/435", "1269/436", "435/2400",
                                         "2m/10m", "15m/10m", "15m/2m", "Other"};

QString Native(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string FromNative(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

bool HasLogExtension(const std::string& name)
{
    auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = name.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext == ".KVL";
}


} // namespace

TFileDialogHandler SetFileDialogHandler(TFileDialogHandler handler)
{
    std::swap(g_fileDialog, handler);
    return handler;
}

TMainForm* MainForm()
{
    return g_mainForm;
}

void PostToMainForm(int code)
{
    PostWindowMessage(g_mainForm, WM_USER + 1, code);
}

void PostToMainFormEx(std::intptr_t value, QObject* target)
{
    // The target travels as a guarded pointer, so a window closed meanwhile is simply skipped.
    if (g_mainForm)
        QMetaObject::invokeMethod(g_mainForm, [value, t = QPointer<QObject>(target)] {
            if (g_mainForm)
                g_mainForm->PostEx(value, t);
        }, Qt::QueuedConnection);
}

TMainForm::TMainForm(TMainFormEnv env, QWidget* parent) : QMainWindow(parent), env_(std::move(env))
{
    g_mainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    if (!env_.helpFile.empty())
        SetHelpFile(env_.helpFile);
    for (int& t : triggers_)
        t = -1;
    BuildMenus();
    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
    if (g_mainForm == this)
        g_mainForm = nullptr;
}

void TMainForm::BuildMenus()
{
    auto* file = menuBar()->addMenu(QStringLiteral("&File"));
    auto add = [this](QMenu* m, const char* name, const QString& text, void (TMainForm::*slot)()) {
        QAction* a = m->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (slot)
            connect(a, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
        return a;
    };
    New1 = add(file, "New1", QStringLiteral("&New"), &TMainForm::New1Click);
    Open1 = add(file, "Open1", QStringLiteral("&Open..."), &TMainForm::Open1Click);
    Save1 = add(file, "Save1", QStringLiteral("Save"), &TMainForm::Save1Click);
    Saveas1 = add(file, "Saveas1", QStringLiteral("Save as"), &TMainForm::Saveas1Click);
    Backup1 = add(file, "Backup1", QStringLiteral("Backup"), &TMainForm::Backup1Click);
    Close1 = add(file, "Close1", QStringLiteral("Close"), &TMainForm::Close1Click);
    file->addSeparator();
    ImpExpfilters1 = add(file, "ImpExpfilters1", QStringLiteral("&Import/Export"),
                         &TMainForm::ImpExpfilters1Click);
    QMenu* db = file->addMenu(QStringLiteral("&Databases"));
    db->setObjectName(QStringLiteral("Databases1"));
    Countries1 = add(db, "Countries1", QStringLiteral("&Countries"), &TMainForm::Countries1Click);
    IOTA1 = add(db, "IOTA1", QStringLiteral("&IOTA"), &TMainForm::IOTA1Click);
    Labeldefinitions1 = add(db, "Labeldefinitions1", QStringLiteral("&Labels"), &TMainForm::Labeldefinitions1Click);
    QSLManagers1 = add(db, "QSLManagers1", QStringLiteral("&QSL Managers"), &TMainForm::QSLManagers1Click);
    ManagerAddresses1 = add(db, "ManagerAddresses1", QStringLiteral("&Manager Addresses"),
                            &TMainForm::ManagerAddresses1Click);
    Radios1 = add(db, "Radios1", QStringLiteral("R&adios"), &TMainForm::Radios1Click);
    ReportDefinitions1 = add(db, "ReportDefinitions1", QStringLiteral("&Reports"), &TMainForm::ReportDefinitions1Click);
    Calendar1 = add(file, "Calendar1", QStringLiteral("&Calendar"), &TMainForm::Calendar1Click);
    Worldmap1 = add(file, "Worldmap1", QStringLiteral("&World map"), &TMainForm::Worldmap1Click);
    Info1 = add(file, "Info1", QStringLiteral("I&nfo"), &TMainForm::Info1Click);
    Preferences1 = add(file, "Preferences1", QStringLiteral("&Preferences"), &TMainForm::Preferences1Click);
    PrintSetup1 = add(file, "PrintSetup1", QStringLiteral("P&rint Setup..."),
                      &TMainForm::PrintSetup1Click);
    file->addSeparator();
    Exit1 = add(file, "Exit1", QStringLiteral("E&xit"), nullptr);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    Radio1 = menuBar()->addMenu(QStringLiteral("&Radio"));
    Radio1->setObjectName(QStringLiteral("Radio1"));
    Panorama1 = add(Radio1, "Panorama1", QStringLiteral("&Panorama"), &TMainForm::Panorama1Click);
    Scanner1 = add(Radio1, "Scanner1", QStringLiteral("&Scanner"), &TMainForm::Scanner1Click);
    SetFrequency1 = add(Radio1, "SetFrequency1", QStringLiteral("Set &Frequency"), &TMainForm::SetFrequency1Click);
    FlipRadio1 = add(Radio1, "FlipRadio1", QStringLiteral("Start Radio"), &TMainForm::FlipRadio1Click);
    Ignoremodeinrealtime1 = add(Radio1, "Ignoremodeinrealtime1", QStringLiteral("Ignore Mode in real-time"),
                                &TMainForm::Ignoremodeinrealtime1Click);
    Ignoremodeinrealtime1->setCheckable(true);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    Contents1 = add(help, "Contents1", QStringLiteral("&Contents"), &TMainForm::Contents1Click);
    SearchforHelpOn1 = add(help, "SearchforHelpOn1", QStringLiteral("&Search for Help On..."),
                           &TMainForm::SearchforHelpOn1Click);
    HowtoUseHelp1 = add(help, "HowtoUseHelp1", QStringLiteral("&How to Use Help"), &TMainForm::HowtoUseHelp1Click);
    About1 = add(help, "About1", QStringLiteral("&About..."), &TMainForm::About1Click);

    auto* strip = new QWidget(this);
    auto* lay = new QHBoxLayout(strip);
    lay->setContentsMargins(1, 1, 1, 1);
    lay->setSpacing(2);
    auto panel = [strip](const char* name, int width) {
        auto* l = new QLabel(strip);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        if (width > 0)
            l->setMinimumWidth(width);
        return l;
    };
    PanStatus = panel("PanStatus", 110);
    PanDisk = panel("PanDisk", 110);
    M_Nr = panel("M_Nr", 60);
    M_Nr->hide(); // the contest serial number, shown only while the QSO window uses one
    M_Time = panel("M_Time", 60);
    SB = new QScrollBar(Qt::Horizontal, strip);
    SB->setObjectName(QStringLiteral("SB"));
    SB->setEnabled(false);
    SB->setPageStep(10);
    // The scroll bar moves through the QSO window's log; the index it shows is the bar's position.
    connect(SB, &QAbstractSlider::actionTriggered, this, [this](int action) {
        TQSOForm* qso = QsoForm();
        if (!qso)
            return;
        int code = -1;
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
        case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
        case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
        case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
        case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
        case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
        case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
        default: return;
        }
        int position = SB->sliderPosition();
        qso->ScrollTo(code, position);
        SB->setSliderPosition(qso->Entry().CurrentIndex());
    });
    lay->addWidget(PanStatus);
    lay->addWidget(PanDisk);
    lay->addWidget(M_Nr);
    lay->addWidget(SB, 1);
    lay->addWidget(M_Time);
    setCentralWidget(strip);
}

void TMainForm::FormCreate()
{
    NoteScreenMetrics();
    SetPlacementMainWindow(this);
    LoadConfiguration();
    timerPool_ = env_.timerDriver ? std::make_unique<TOvcTimerPool>(env_.tickSource, env_.timerDriver)
                                  : std::make_unique<TOvcTimerPool>(env_.tickSource, CreateQtTimerDriver());
    timerPool_->OnAllTriggers = [this](TOvcTimerPool*, int handle, std::uint32_t, int) { TriggerHandler(handle); };
    qslRoutes_ = kQslRoutes;
    satModes_ = kSatModes;

    // The country database: without it the program cannot work and ends.
    SetCountryModifiedHook([this] { StartAutoSaveCountdown(); });
    SetCountryFileFailHandler([this] { startupOk_ = false; });
    if (!LoadCountryFile(true))
        startupOk_ = false;
    else
        InstallCountryLookup(); // QSOs take country, zone and WPX prefix from this database
    LoadWPXDeleted();
    LoadReportDefinitions();

    previousHooks_ = SetLogHooks(this);
    children_ = std::make_unique<TChildWindows>();
    PlugChildWindows(*children_, [this] { return QsoForm(); });
    idle_ = new TIdleHook(this);
    commandLine_ = ParseCommandLine(env_.params);
    station_ = std::make_unique<TStationServices>();
    station_->StartAnnouncer();
    TClusterEnv cluster;
    cluster.fake = commandLine_.flagF;
    cluster.announcer = station_->Announcer();
    cluster.qsoWindow = [this] { return QsoForm(); };
    cluster.radio = &RadioFeed(); // spots tune the radio while it runs
    cluster.postToMainForm = [](int code) { PostToMainForm(code); };
    // Later, not from inside the terminal's menu: a save may close that very terminal.
    cluster.settings = [this] { QTimer::singleShot(0, this, [this] { Preferences1Click(); }); };
    terminals_ = std::make_unique<TClusterTerminals>(std::move(cluster), this);
    connect(terminals_.get(), &TClusterTerminals::windowsChanged, this, [this] {
        if (TQSOForm* qso = QsoForm())
            qso->UpdateMenus(0);
    });
    SpotArgumentReceiver = [this](const std::string& fileName) {
        if (terminals_)
            terminals_->LoadSpotFile(fileName);
    };
    LoadCustAwards();
    TMorseKb::SetQsoWindowProvider([this] { return QsoForm(); });
    TPSK31Window::SetQsoWindowProvider([this] { return QsoForm(); });
    SetRadioNotifier([](int code) { PostToMainForm(code); });
    RotatorControl().BandSource = [this] { return QsoForm() ? QsoForm()->Entry().GetBand() : 0; };
    move(0, 0);
}

void TMainForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    move(0, 0);
    int screenWidth = ScreenMetrics().Width;
    int width = Config.MainWindowWidth();
    if (width <= 0 || width > screenWidth)
        width = screenWidth;
    resize(width, menuBar()->sizeHint().height() + M_Time->sizeHint().height() + 2 + 4);
    StartTrigger(trClock, 1000);
    ClockTick();
    if (!Config.RadioModel().empty())
        CreateRadio();
    UpdateRadioMenu();
    terminals_->CreateConfigured();
    station_->StartSender();

    TCrashRecoveryFiles files{GetProgramDirFileName(pfLogBackup), GetProgramDirFileName(pfCountryBackup),
                              GetDataFileName(dfCountry)};
    TCrashRecoveryEnv recoveryEnv{
        [this] { return AskFileName(TFileDialogKind::SaveRecoveredLog, GetSaveDir()); },
        [](const std::string& path) { return CountryFileLoads(path); },
        [] { LoadCountryFile(true); }};
    RecoverCrashBackup(files, recoveryEnv);

    firstIdle_ = true;
    calendarCheck_ = Config.CalendarCheck();
    UpdateFileMenu();
    UpdateUserLevelMenus();
    RefreshCaption();
    FreeStartupSplash();
    idle_->Install([this] { AppIdle(); });
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    if (!CloseLog()) {
        e->ignore();
        return;
    }
    closing_ = true;
    idle_->Remove();
    // The terminals go with the main window (they refuse to close by themselves).
    terminals_.reset();
    // The CW and announcement threads end (key and PTT released) before what they use goes.
    TMorseKb::CloseWindow();
    station_->Shutdown();
    QMainWindow::closeEvent(e);
    emit closed();
}

void TMainForm::FormDestroy()
{
    if (idle_)
        idle_->Remove();
    for (int i = 0; i < TriggerCount; ++i)
        StopTrigger(i);
    terminals_.reset(); // the spot window saves its spots while the log is still there
    TMorseKb::CloseWindow();
    TMorseKb::SetQsoWindowProvider({});
    TPSK31Window::SetQsoWindowProvider({});
    PskKeyPort().Close();
    station_.reset();
    PortIo().CloseDriver();
    FreeQsoWindow();
    SetRadioNotifier(nullptr);
    FreeRadio(false);
    RotatorControl().BandSource = nullptr;
    delete RotatorControl().RotateForm();  // the rotator outlives the windows
    FreeCurrentLog();
    SaveReportDefinitions();
    SetQsoLookup(nullptr);
    FreeCountryData(true);
    FreeWPXDeleted();
    SetCustAwardList(std::make_unique<TCustAwardList>());
    SetCountryModifiedHook(nullptr);
    SetCountryFileFailHandler(nullptr);
    SetLogHooks(previousHooks_);
    if (!startupOk_)
        return; // nothing was loaded that would be worth keeping
    int screenWidth = ScreenMetrics().Width;
    if (isMinimized())
        setWindowState(Config.MainWindowWidth() != 0 ? Qt::WindowNoState : Qt::WindowMaximized);
    if (!isMaximized() && width() <= screenWidth && width() < screenWidth)
        Config.SetMainWindowWidth(width());
    else
        Config.SetMainWindowWidth(0);
    try {
        SaveConfiguration();
    } catch (const std::exception& ex) {
        MessageDlg(ex.what(), TMsgDlgType::mtError, mbOK);
    }
}

// ---- Timer triggers ----

void TMainForm::StartTrigger(int index, std::uint32_t interval)
{
    StopTrigger(index);
    int handle = -1;
    try {
        if (index == trRadioPoll || index == trScanner)
            handle = timerPool_->AddOneShot(nullptr, interval);
        else
            handle = timerPool_->Add(nullptr, interval);
    } catch (const std::exception&) {
        handle = -1;
    }
    if (handle < 0) {
        MessageDlg("No timer is available; Korval cannot run and will end now.", TMsgDlgType::mtError, mbOK);
        QCoreApplication::exit(1);
        return;
    }
    triggers_[index] = handle;
}

void TMainForm::StopTrigger(int index)
{
    if (triggers_[index] != -1) {
        if (timerPool_)
            timerPool_->Remove(triggers_[index]);
        triggers_[index] = -1;
    }
}

void TMainForm::TriggerHandler(int handle)
{
    if (closing_ || QCoreApplication::closingDown())
        return;
    int index = -1;
    for (int i = 0; i < TriggerCount; ++i)
        if (triggers_[i] == handle)
            index = i;
    if (index < 0)
        return;
    switch (index) {
    case trClock:
        ClockTick();
        break;
    case trRadioPoll:
        triggers_[index] = -1; // a one-shot trigger is gone once it fired
        // The poll itself runs at idle time; without a radio the trigger simply ends.
        if (Radio())
            radioPollDue_ = true;
        break;
    case trScanner:
        triggers_[index] = -1;
        break;
    case trAutoSave:
        if (countdown_.Tick())
            autoSaveDue_ = true;
        SetDiskText(QString::fromStdString(countdown_.Text()), true);
        break;
    default:
        break;
    }
}

void TMainForm::ClockTick()
{
    TDayNumber day = 0;
    std::int32_t seconds = 0;
    try {
        GetUtcDateTime(day, seconds);
    } catch (const std::exception&) {
        M_Time->setText(QStringLiteral("??:??"));
        return;
    }
    M_Time->setText(QString::fromStdString(SecondsToHHMM(seconds)));
    if (TQSOForm* qso = QsoForm())
        qso->ClockUpdate(day, seconds);
    if (TWorldMap* map = WorldMapWindow(); map && map->TimeChanged(day, static_cast<std::uint16_t>(seconds / 60)))
        map->SetTimeToNow();
}

void TMainForm::StartAutoSaveCountdown()
{
    if (autoSaveDue_ || triggers_[trAutoSave] != -1)
        return;
    int minutes = Config.AutoSaveInterval();
    if (minutes <= 0)
        return;
    countdown_.Start(minutes);
    StartTrigger(trAutoSave, 5000);
}

void TMainForm::BackupSoon()
{
    // An operator who turned the crash backups off keeps them off.
    if (Config.AutoSaveInterval() <= 0)
        return;
    StopAutoSaveCountdown();
    autoSaveDue_ = true;
}

void TMainForm::BulkChange(bool running)
{
    bulkChanges_ = std::max(0, bulkChanges_ + (running ? 1 : -1));
    // What came in is backed up whole as soon as it is all there.
    if (!running && bulkChanges_ == 0 && CurrentLog() && CurrentLog()->Modified())
        BackupSoon();
}

void TMainForm::AutoSave()
{
    StopAutoSaveCountdown();
    autoSaveDue_ = false;
    bool written = false;
    TQsoData* log = CurrentLog();
    if (log && log->Modified()) {
        WriteLogFile(*log, false);
        written = true;
    }
    if (CountryDataModified()) {
        SaveCountryFile(false);
        written = true;
    }
    if (Config.BackupSpots() && terminals_ && terminals_->SaveSpots())
        written = true;
    if (written) {
        SetDiskText(QStringLiteral("Modified"), false);
        lastBackup_ = QDateTime::currentDateTimeUtc().toMSecsSinceEpoch() / 86400000.0 + 25569.0;
        RefreshCaption();
    } else {
        SetDiskText(QString(), false);
    }
}

// ---- Idle processing ----

void TMainForm::AppIdle()
{
    if (closing_)
        return;
    TQSOForm* qso = QsoForm();
    QString mode = qso ? QString::fromStdString(QsoModeText(qso->EntryMode())) : QString();
    if (mode != lastMode_) {
        PanStatus->setText(mode);
        lastMode_ = mode;
    }
    // Saving and polling wait while CW goes out, so the keying keeps its rhythm.
    const bool cwIdle = !station_ || station_->SenderIdle();
    if (autoSaveDue_ && cwIdle && bulkChanges_ == 0)
        AutoSave();
    if (radioPollDue_ && cwIdle) {
        radioPollDue_ = false;
        if (Radio() && Radio()->Busy())
            StartTrigger(trRadioPoll, 1000);
        else
            PollRadio(true);
    }
    if (terminals_)
        terminals_->AppIdle();
    if (firstIdle_) {
        firstIdle_ = false;
        OpenStartLog();
        UpdateFileMenu();
        emit firstIdleDone();
    }
    if (QsoForm())
        children_->RefreshMarked();
    if (TWorldMap* map = WorldMapWindow(); map && map->isVisible())
        map->RefreshQsoCountry();
    if (calendarCheck_) {
        calendarCheck_ = false;
        if (CalendarHasEventToday())
            Calendar1Click();
    }
    if (commandLine_.hasS) {
        commandLine_.hasS = false;
        if (SpotArgumentReceiver)
            SpotArgumentReceiver(commandLine_.argS);
    }
}

void TMainForm::OpenStartLog()
{
    std::string defaultLog = GetDataFileName(dfLog);
    std::string name = ChooseStartLog(commandLine_.firstParam, Config.LastLogFile(), defaultLog);
    if (name.empty())
        return;
    // On a first start the default log does not exist yet: it starts empty under its name, so
    // the operator can log at once (it is written on the first save).
    std::error_code ec;
    if (name == defaultLog && !std::filesystem::exists(name, ec)) {
        std::filesystem::create_directories(std::filesystem::path(name).parent_path(), ec);
        NewLog(name);
        // Nothing is in it yet: it is written once something is logged, and until then there
        // is nothing to back up or to ask about at Exit.
        CurrentLog()->SetFlags(false, false);
        StopAutoSaveCountdown();
        SetDiskText(QString(), false);
        RefreshCaption();
        return;
    }
    OpenLogFile(name);
}

bool TMainForm::OpenLogFile(const std::string& name)
{
    FreeQsoWindow();
    SetCurrentLog(std::make_unique<TQsoData>());
    bool ok = LoadLogFile(name, true, 3);
    if (!ok) {
        FreeQsoWindow();
        FreeCurrentLog();
    }
    lastBackup_ = 0;
    RefreshCaption();
    ShowQsoWindow();
    return ok;
}

// ---- Log hooks ----

void TMainForm::ShowModified()
{
    SetDiskText(QStringLiteral("Modified"), true);
}

void TMainForm::SetDiskPanel(const std::string& text)
{
    SetDiskText(FromWin1252(text), false);
}

TSpotAnnouncer* TMainForm::SpotAnnouncer() const
{
    return station_ ? station_->Announcer() : nullptr;
}

TQSOForm* TMainForm::QsoForm() const
{
    return static_cast<TQSOForm*>(qsoForm_.data());
}

void TMainForm::ShowLogCount()
{
    // The count of the open log goes with the status tip of the disk panel.
    TQsoData* log = CurrentLog();
    PanDisk->setToolTip(log ? QStringLiteral("%1 QSOs").arg(log->Count()) : QString());
    if (!QsoForm())
        M_Nr->hide();
}

void TMainForm::ShowQsoWindow()
{
    TQsoData* log = CurrentLog();
    if (log && QsoForm() && qsoLog_ != log)
        FreeQsoWindow(); // a window over another logbook
    if (!log) {
        FreeQsoWindow();
    } else if (!QsoForm()) {
        auto* qso = new TQSOForm(log, this);
        qso->setWindowFlag(Qt::Window);
        qso->setAttribute(Qt::WA_DeleteOnClose, false);
        qsoForm_ = qso;
        qsoLog_ = log;
        // Its requests travel as WM_USER+1 like those of every other window.
        connect(qso, &TQSOForm::postToMainForm, this, [](int code) { PostToMainForm(code); });
        connect(qso, &TQSOForm::logChanged, this, [this](bool) { ShowLogCount(); });
        connect(qso, &TQSOForm::logChanged, this, &TMainForm::SpotsFollowLog);
        connect(qso, &TQSOForm::serialNumberChanged, this, [this](bool visible, unsigned number) {
            M_Nr->setText(QString::number(number));
            M_Nr->setVisible(visible);
        });
        connect(qso, &TQSOForm::logScrollBarChanged, this, [this](bool visible, int max, int position) {
            const QSignalBlocker quiet(SB);
            SB->setEnabled(visible);
            SB->setRange(0, visible ? max : 0);
            SB->setValue(visible ? position : 0);
        });
        qso->ResendLogScrollBar();
        qso->SetServices(QsoWindowServices());
        // The QSL, bulk-change and contest dialogs of the QSO window.
        qso->SetCommandHandler(cmSetGroupNumber, [qso] { AskGroupNumber(qso); });
        qso->SetCommandHandler(cmSetMode, [qso] { AskNewMode(qso); });
        qso->SetCommandHandler(cmMarkForQsl, [qso] { OpenMarkForQsl(qso); });
        qso->SetCommandHandler(cmChangeQslRouting, [qso] { OpenChangeQsl(qso); });
        qso->SetCommandHandler(cmContestMode, [qso] { EditContestMode(qso); });
        // Label runs: the QSO window clears the printed marks, the print dialog sets them, and the
        // window offers the follow-up for what was printed.
        for (const auto& [command, kind] : {std::pair{cmPrintQslLabels, lkLabelFlag}, std::pair{cmPrintLabelsInSequence, lkSequence},
                                            std::pair{cmPrintSwlLabels, lkSwl}})
            qso->SetCommandHandler(command, [qso, log, kind] {
                PrintLabels(*qso, kind, [qso, log](int k) {
                    TPrintLabelsDialog dialog(*log, k, TLabelLookups::Program(), qso);
                    dialog.exec();
                });
            });
        qso->SetRadio(&RadioFeed());
        qso->SetIgnoreModeInRealTime(Ignoremodeinrealtime1->isChecked());
        // Queued: the poll feeds the QSO window, which must first finish the entry that asked.
        connect(qso, &TQSOForm::pollRadioNow, this, [this] { PollRadio(true); }, Qt::QueuedConnection);
        // The rotator opens right after the window is shown; its turning commands follow it.
        qso->EnableRotatorMenu(RotatorControl().IsOpen());
        connect(&RotatorControl(), &TRotatorControl::rotatorMenuEnabled, qso, &TQSOForm::EnableRotatorMenu);
        qso->move(x(), frameGeometry().bottom() + 1);
        qso->show();
        RotatorControl().OpenRotator();
        PostToMainForm(mfQsoWindowShown);
    } else {
        QsoForm()->show();
    }
    if (log && QsoForm())
        QsoForm()->setWindowTitle(Native(log->FileName));
    ShowLogCount();
    if (log)
        Config.SetLastLogFile(log->FileName);
}

void TMainForm::FreeQsoWindow()
{
    if (!qsoForm_)
        return;
    RotatorControl().CloseRotator();
    delete qsoForm_.data();
    qsoForm_ = nullptr;
    qsoLog_ = nullptr;
    SB->setEnabled(false);
    PostToMainForm(mfQsoWindowClosed);
}

void TMainForm::SetDiskText(const QString& text, bool red)
{
    PanDisk->setText(text);
    PanDisk->setStyleSheet(red ? QStringLiteral("color: red;") : QString());
}

// ---- Log commands ----

std::optional<std::string> TMainForm::AskFileName(TFileDialogKind kind, const std::string& startFolder)
{
    if (g_fileDialog)
        return g_fileDialog({kind, startFolder});
    const QString filter = QStringLiteral("Log files (*.KVL *.kvl);;All files (*)");
    QString chosen;
    switch (kind) {
    case TFileDialogKind::OpenLog:
        chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), Native(startFolder), filter);
        break;
    case TFileDialogKind::NewLog:
        chosen = QFileDialog::getSaveFileName(this, QStringLiteral("New"), Native(startFolder), filter, nullptr,
                                              QFileDialog::DontConfirmOverwrite);
        break;
    case TFileDialogKind::SaveLogAs:
    case TFileDialogKind::SaveRecoveredLog:
        chosen = QFileDialog::getSaveFileName(this, QStringLiteral("Save as"), Native(startFolder), filter);
        break;
    }
    if (chosen.isEmpty())
        return std::nullopt;
    return FromNative(chosen);
}

bool TMainForm::CloseLog()
{
    if (TQSOForm* qso = QsoForm(); qso && !qso->FinishEntry())
        return false; // the operator kept the entry
    TQsoData* log = CurrentLog();
    if (log && (log->Modified() || log->NeedsSaving())) {
        int answer = MessageDlg("The log has changed. Save it?\r\r" + log->FileName, TMsgDlgType::mtConfirmation,
                                mbYes | mbNo | mbCancel);
        if (answer == mrCancel)
            return false;
        // A save that failed was reported; the log stays open so that nothing is lost.
        if (!korval::CloseLog(*log, answer == mrYes))
            return false;
    } else if (log) {
        korval::CloseLog(*log, false);
    }
    for (int i = 1; i < TriggerCount; ++i)
        StopTrigger(i);
    autoSaveDue_ = false;
    FreeQsoWindow();
    FreeCurrentLog();
    ShowLogCount();
    UpdateFileMenu();
    SpotsFollowLog(true);
    return true;
}

void TMainForm::SpotsFollowLog(bool full)
{
    if (!terminals_)
        return;
    TQSOForm* qso = QsoForm();
    const TQsoRecord* current = qso ? qso->Entry().ViewAt(qso->Entry().CurrentIndex()) : nullptr;
    if (full || !current)
        terminals_->RecheckAllSpots();
    else
        terminals_->QsoLogged(current->Country);
}

void TMainForm::New1Click()
{
    std::optional<std::string> name = AskFileName(TFileDialogKind::NewLog, GetSaveDir());
    if (!name || !CloseLog())
        return;
    // A name typed without the log extension gets it, so the Open dialog finds the log again.
    if (!HasLogExtension(*name) && std::filesystem::path(*name).extension().empty())
        *name += ".KVL";
    std::error_code ec;
    if (std::filesystem::exists(*name, ec) &&
        MessageDlg("The file " + *name + " exists already.\rStart a new log under this name?", TMsgDlgType::mtWarning,
                   mbYes | mbNo) != mrYes)
        return;
    NewLog(*name);
    if (TQSOForm* qso = QsoForm())
        qso->Addrealtime1Click();
    RefreshCaption();
    UpdateFileMenu();
}

void TMainForm::Open1Click()
{
    std::optional<std::string> name = AskFileName(TFileDialogKind::OpenLog, GetSaveDir());
    if (!name || !CloseLog())
        return;
    StopAutoSaveCountdown();
    OpenLogFile(*name);
    UpdateFileMenu();
}

void TMainForm::Save1Click()
{
    StopAutoSaveCountdown();
    autoSaveDue_ = false;
    if (TQsoData* log = CurrentLog())
        WriteLogFile(*log, true);
    SaveCountryFile(true);
}

void TMainForm::Saveas1Click()
{
    TQsoData* log = CurrentLog();
    if (!log || log->Count() == 0)
        return;
    std::optional<std::string> name;
    for (;;) {
        name = AskFileName(TFileDialogKind::SaveLogAs, GetSaveDir());
        if (!name)
            return;
        if (HasLogExtension(*name))
            break;
        MessageDlg("A log file name must end in \".KVL\".", TMsgDlgType::mtError, mbOK);
    }
    StopAutoSaveCountdown();
    log->FileName = *name;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(*name).parent_path(), ec);
    WriteLogFile(*log, true);
    SaveCountryFile(true);
    lastBackup_ = 0;
    RefreshCaption();
    ShowQsoWindow();
}

void TMainForm::Backup1Click()
{
    autoSaveDue_ = true;
}

void TMainForm::Close1Click()
{
    if (!CloseLog())
        return;
    UpdateFileMenu();
    Config.SetLastLogFile("<none>");
}

namespace {

// The country file after an editor closed with OK: only bytes that load again are written.
void SaveEditedCountryFile()
{
    try {
        CheckCountryDataLoads(CountryDb, GetDataFileName(dfCountry));
        SaveCountryFile(true);
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
    }
}

} // namespace

void TMainForm::QSLManagers1Click()
{
    TEditQSLMgrDialog editor(this);
    if (editor.exec() == QDialog::Accepted)
        SaveEditedCountryFile();
}

void TMainForm::IOTA1Click()
{
    TEditIOTADialog editor(this);
    if (editor.exec() == QDialog::Accepted)
        SaveEditedCountryFile();
}

void TMainForm::ManagerAddresses1Click()
{
    TEditAddressDialog editor(this);
    if (editor.exec() == QDialog::Accepted)
        SaveEditedCountryFile();
}

void TMainForm::Countries1Click()
{
    // The editor renumbers countries; an open log holds QSOs by the old numbers.
    if (CurrentLog()) {
        MessageDlg("Please close the log before editing the country file", TMsgDlgType::mtError, mbOK);
        return;
    }
    TFctyed editor(this);
    if (editor.exec() == QDialog::Accepted) {
        SaveEditedCountryFile();
    } else {
        FreeCountryData(true);
        LoadCountryFile(true);
    }
}

void TMainForm::Calendar1Click()
{
    if (!calendar_)
        calendar_ = new TFCalendar(GetDataFileName(dfCalendar), this);
    calendar_->show();
    calendar_->raise();
    calendar_->activateWindow();
}

void TMainForm::Info1Click()
{
    TLogStatusInfo info;
    if (TQsoData* log = CurrentLog()) {
        info.open = true;
        info.fileName = log->FileName;
        info.qsos = log->Count();
        info.notes = log->Notes.Count();
        info.swl = static_cast<long>(log->Swl().size());
    }
    TProgStatus dlg(info, this);
    dlg.exec();
}

void TMainForm::CountryInformation1Click()
{
    if (TQSOForm* qso = QsoForm())
        qso->OpenChildWindow(cwCountryInfo);
}

void TMainForm::Worldmap1Click()
{
    // The QSO window's world-map slot holds the one map; without a QSO window it stands over the
    // main window.
    if (TQSOForm* qso = QsoForm()) {
        qso->OpenChildWindow(cwWorldMap);
        return;
    }
    QWidget* map = children_->Create(cwWorldMap, this);
    map->showNormal();
    map->raise();
    map->activateWindow();
}

TWorldMap* TMainForm::WorldMapWindow() const
{
    return static_cast<TWorldMap*>(children_->Window(cwWorldMap));
}

TCountryInfo* TMainForm::CountryInfoWindow() const
{
    return static_cast<TCountryInfo*>(children_->Window(cwCountryInfo));
}

TQsoWindowServices TMainForm::QsoWindowServices()
{
    TQsoWindowServices s;
    s.TurnRotator = [](int azimuth) { RotatorControl().SetRotatorAzimuth(azimuth); };
    s.StopRotator = [] { RotatorControl().StopRotator(); };
    s.RotatorParameters = [this] { RotatorControl().ShowRotateForm(QsoForm()); };
    s.OpenCwKeyboard = [this] { TMorseKb::Open(QsoForm()); };
    s.CwKeyboardOpen = [] { return TMorseKb::Instance() != nullptr; };
    s.ClearBusyCw = [] {
        TMorseSender* sender = MorseSender();
        if (!sender || sender->IsIdle())
            return false;
        sender->ClearBuffer();
        return true;
    };
    s.SendFunctionKey = [this](int key) {
        if (TMorseKb* kb = TMorseKb::Instance()) {
            kb->SendFunctionKey(key);
            return true;
        }
        TPacketW* rtty = terminals_ ? terminals_->RttyWindow() : nullptr;
        if (rtty)
            rtty->SendFunctionKey(key);
        return rtty != nullptr;
    };
    s.TerminalHandlesSpots = [this] { return terminals_ && (terminals_->HandlesSpots(0) || terminals_->HandlesSpots(1)); };
    s.PacketWindowExists = [this] { return terminals_ && terminals_->PacketWindow(); };
    // The terminal's own dialog takes the call from the QSO window, with the radio's frequency.
    s.AnnounceDx = [this](const std::string&) {
        if (!terminals_)
            return;
        if (TPacketW* w = terminals_->PacketWindow() ? terminals_->PacketWindow() : terminals_->RttyWindow())
            w->AnnounceDX();
    };
    s.SwitchToPacket = [this] {
        if (TPacketW* w = terminals_ ? terminals_->PacketWindow() : nullptr)
            w->RestoreAndFocusInput();
    };
    s.SetFrequency = [this] {
        if (SetFrequency1->isEnabled())
            SetFrequency1Click();
    };
    s.OpenReport = [this](const TReportEntry& entry) { OpenQsoReport(entry, QsoForm()); };
    s.RunSelectionDialog = [this] { return korval::RunSelectionDialog(QsoForm()->Entry().Log(), QsoForm()); };
    s.RunGroupNamesDialog = [this] { EditGroupNames(QsoForm()); };
    s.RunAwardFlagsDialog = [this] { OpenSetFlags(QsoForm()); };
    return s;
}

void TMainForm::EditManagerAddress(const std::string& call, bool startModified, QWidget* parent)
{
    if (call.empty()) {
        MessageDlg("Editing the address of a QSL manager\rrequires a callsign for the manager", TMsgDlgType::mtError,
                   mbOK);
        return;
    }
    TEditAddressDialog editor(parent ? parent : this);
    editor.setWindowTitle(QStringLiteral("Address for ") + FromWin1252(call.substr(0, 24)));
    editor.LB->SetText(call);
    const auto& work = editor.Work();
    const bool stored = std::any_of(work.begin(), work.end(), [&](const TAddressEntry& e) { return e.Call == call; });
    if (stored)
        editor.SearchManager();
    else
        editor.AddAddress();
    if (startModified) {
        editor.Memo1->moveCursor(QTextCursor::End);
        editor.Memo1->document()->setModified(true);
    }
    if (editor.exec() == QDialog::Accepted)
        SaveEditedCountryFile();
}

void TMainForm::Preferences1Click()
{
    TMainSetupServices services(*this);
    TSetupDialog setup(services, SetupReportNames(), this);
    if (setup.exec() != QDialog::Accepted)
        return;
    try {
        SaveConfiguration();
    } catch (const std::exception& ex) {
        MessageDlg(ex.what(), TMsgDlgType::mtError, mbOK);
    }
    UpdateUserLevelMenus();
    RefreshCaption();
}

void TMainForm::PrintSetup1Click()
{
    PrinterSetupCommand();
}

void TMainForm::ImpExpfilters1Click()
{
    ShowImportExportFilters(this);
    // An import may have added QSOs or opened a log.
    ShowLogCount();
    UpdateFileMenu();
    if (TQSOForm* qso = QsoForm()) {
        qso->raise();
        qso->activateWindow();
    }
}

void TMainForm::About1Click()
{
    TSplashScreen about(this);
    about.exec();
}

void TMainForm::Contents1Click()
{
    // The README stands in for the help file, shown by the program itself.
    ShowHelp(this);
}

void TMainForm::SearchforHelpOn1Click() { ShowHelp(this)->StartSearch(); }

void TMainForm::HowtoUseHelp1Click() { ShowHelp(this)->ShowHowToUse(); }

void TMainForm::Labeldefinitions1Click()
{
    TLabelEditor editor(Config, this);
    editor.exec();
}

void TMainForm::ReportDefinitions1Click()
{
    TReportDesignerDialog dialog(ReportDefinitions(), 0, this);
    dialog.exec();
    // An open log list shows its definition as it now is (or the last one, when its own went).
    if (TQSOForm* qso = QsoForm())
        for (TLogbook* list : qso->findChildren<TLogbook*>())
            list->SetReport(std::min(list->ReportNumber(), ReportDefinitions().Count() - 1));
}

void TMainForm::UpdateFileMenu()
{
    bool open = CurrentLog() != nullptr;
    Save1->setEnabled(open);
    Saveas1->setEnabled(open);
    Backup1->setEnabled(open);
    Close1->setEnabled(open);
    Countries1->setEnabled(UserLevelAllows(2));
}

void TMainForm::UpdateUserLevelMenus()
{
    Countries1->setEnabled(UserLevelAllows(2));
    IOTA1->setEnabled(UserLevelAllows(2));
    QSLManagers1->setEnabled(UserLevelAllows(2));
    // The radio definitions stay reachable: below the user level "Expert" the command says what
    // opens them instead of doing nothing.
    Radios1->setEnabled(true);
}

void TMainForm::UpdateRadioMenu()
{
    Radio1->setEnabled(!Config.RadioModel().empty());
    TRadio* radio = Radio();
    Scanner1->setEnabled(radio);
    Panorama1->setEnabled(radio && radio->CanReadSMeter());
    SetFrequency1->setEnabled(radio);
    Ignoremodeinrealtime1->setEnabled(radio);
    FlipRadio1->setText(radio ? QStringLiteral("Stop Radio") : QStringLiteral("Start Radio"));
    // The radio's port may have come or gone: the keyer takes its line again, as configured now.
    if (TMorseSender* sender = MorseSender()) {
        sender->SetTiming();
        sender->SelectKeyingPort();
    }
}

// ---- Radio ----

void TMainForm::Radios1Click()
{
    if (!UserLevelAllows(3)) {
        MessageDlg("The radio definitions are edited at the user level \"Expert\":\r"
                   "File > Preferences, page Personal, User level.",
                   TMsgDlgType::mtInformation, mbOK);
        return;
    }
    TRadioDB editor(this);
    editor.exec();
}

void TMainForm::Panorama1Click()
{
    if (!Radio())
        return;
    TPanorama panorama(this);
    panorama.exec();
}

void TMainForm::Scanner1Click()
{
    if (!Radio())
        return;
    TScanner scanner(this);
    scanner.exec();
}

void TMainForm::SetFrequency1Click()
{
    if (!setFrequency_)
        setFrequency_ = new TSetRadioFrequency(this);
    setFrequency_->show();
    setFrequency_->raise();
    setFrequency_->activateWindow();
}

void TMainForm::FlipRadio1Click()
{
    if (Radio()) {
        FreeRadio();
        return;
    }
    const bool started = CreateRadio();
    UpdateRadioMenu();
    if (started && QsoForm() && QsoForm()->EntryMode() == emRealTime) {
        radioPollDue_ = false;
        StartTrigger(trRadioPoll, Config.RadioPollInterval());
    }
}

void TMainForm::Ignoremodeinrealtime1Click()
{
    if (TQSOForm* qso = QsoForm()) {
        qso->SetIgnoreModeInRealTime(Ignoremodeinrealtime1->isChecked());
        qso->RadioStateChanged();
    }
}

void TMainForm::PollRadio(bool ask)
{
    TRadio* radio = Radio();
    TQSOForm* qso = QsoForm();
    if (!radio || closing_ || QCoreApplication::closingDown() || !qso || qso->EntryMode() != emRealTime)
        return;
    double rx = radio->RxFreq(), tx = radio->TxFreq();
    std::uint8_t mode = radio->Mode();
    bool split = radio->Split();
    if (ask && radio->ReadFrequencyAndMode(rx, tx, mode, split))
        return;
    qso->RadioUpdate(mode, split ? tx : rx);
    if (ask || radioPollDue_) {
        radioPollDue_ = false;
        StartTrigger(trRadioPoll, Config.RadioPollInterval());
    }
}

void TMainForm::UserMessage(int code)
{
    switch (code) {
    case mfQsoWindowClosed:
        TMorseKb::CloseWindow();
        break;
    case mfRadioStopped:
        radioPollDue_ = false;
        // A radio that failed is freed here; a stop told late must not free a radio started since.
        if (Radio() && Radio()->Disabled())
            FreeRadio(false);
        Config.SetSetFreqWindowOpen(setFrequency_ != nullptr);
        if (setFrequency_)
            setFrequency_->close();
        UpdateRadioMenu();
        if (TQSOForm* qso = QsoForm())
            qso->RadioStateChanged();
        break;
    case mfRadioCreated:
        // A radio started while real-time entry runs (by the setup, the definition editor or at
        // start-up) is asked at the next idle time, which arms the poll trigger again; otherwise
        // nothing would poll it until the next entry.
        radioPollDue_ = QsoForm() && QsoForm()->EntryMode() == emRealTime;
        UpdateRadioMenu();
        if (TQSOForm* qso = QsoForm())
            qso->RadioStateChanged();
        if (Config.SetFreqWindowOpen())
            SetFrequency1Click();
        break;
    case mfRadioChanged:
        if (setFrequency_)
            setFrequency_->UpdateFromRadio();
        PollRadio(false);
        break;
    case mfSetupChanged:
        if (terminals_)
            terminals_->RecheckAllSpots();
        break;
    default:
        break;
    }
    // The QSO window follows the terminals, the radio and the setup in its menus.
    switch (code) {
    case mfRadioStopped: case mfSpotListClosed: case mfSpotListCreated: case mfSetupSaved: case mfSetupChanged:
        if (TQSOForm* qso = QsoForm())
            qso->UpdateMenus(code);
        break;
    default:
        break;
    }
}

void TMainForm::PostEx(std::intptr_t code, QObject* target)
{
    if (!target)
        return;
    for (const auto& [id, p] : exPending_)
        if (p.first == code && p.second == target)
            return; // the waiting one carries the same request
    std::intptr_t id = nextEx_++;
    exPending_[id] = {code, target};
    PostWindowMessage(this, WM_USER + 2, code, id);
}

bool TMainForm::event(QEvent* e)
{
    if (e->type() != TWindowMessageEvent::EventType())
        return QMainWindow::event(e);
    auto* m = static_cast<TWindowMessageEvent*>(e);
    switch (m->msg()) {
    case WM_USER:
        // A table's active row; the table is named by a guarded pointer id like WM_USER+2.
        if (auto it = exPending_.find(m->lParam()); it != exPending_.end()) {
            if (QObject* t = it->second.second)
                t->setProperty("ActiveRow", QVariant::fromValue<qlonglong>(m->wParam()));
            exPending_.erase(it);
        }
        return true;
    case WM_USER + 1:
        UserMessage(static_cast<int>(m->wParam() & 0xFF));
        return true;
    case WM_USER + 2:
        if (auto it = exPending_.find(m->lParam()); it != exPending_.end()) {
            QPointer<QObject> target = it->second.second;
            exPending_.erase(it);
            if (target)
                SendWindowMessage(target, WM_USER + 3, m->wParam(), 0);
        }
        return true;
    default:
        return true;
    }
}

void TMainForm::BringToFront()
{
    if (closing_)
        return;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

QString TMainForm::CaptionText() const
{
    QString caption = QStringLiteral("KORVAL");
    std::string call = Config.OwnCall();
    if (!call.empty())
        caption += QStringLiteral(" - ") + FromWin1252(call);
    if (TQsoData* log = CurrentLog())
        caption += QStringLiteral(" - ") + Native(log->FileName);
    if (lastBackup_ > 0) {
        QDateTime t = QDateTime::fromMSecsSinceEpoch(qint64((lastBackup_ - 25569.0) * 86400000.0), Qt::UTC);
        caption += QStringLiteral(" - backup at ") + t.toString(QStringLiteral("hh:mm:ss"));
    }
    return caption;
}

void TMainForm::RefreshCaption()
{
    setWindowTitle(CaptionText());
}

} // namespace korval
