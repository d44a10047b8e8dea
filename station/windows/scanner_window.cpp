#include "station/windows/scanner_window.h"

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "grids/windows/ovc_table.h"
#include "grids/windows/ovc_tc_entry_fields.h"
#include "grids/windows/ovc_tc_headings.h"
#include "logbook/bands_modes.h"
#include "logbook/base/decimal_text.h"
#include "logbook/config_record.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "station/windows/radio_control.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>


namespace korval {

namespace {

enum { colEnabled = 1, colDescr, colMode, colAvfo, colBvfo };
constexpr int ChannelCount = 15;
constexpr std::size_t DescriptionLength = 37;

TOvcTCSimpleField* TextCell(QObject* owner, const char* name, int maxLen, char mask)
{
    auto* c = new TOvcTCSimpleField(owner);
    c->setObjectName(name);
    if (mask)
        c->SetPictureMask(mask);
    c->ForBoth([maxLen](TOvcBaseEntryField& f) { f.SetMaxLength(maxLen); });
    return c;
}

TOvcTCNumericField* FrequencyCell(QObject* owner, const char* name)
{
    auto* c = new TOvcTCNumericField(owner);
    c->setObjectName(name);
    c->SetDataType(nftDouble);
    c->SetPictureMask("#######.###");
    c->ForBoth([](TOvcBaseEntryField& f) {
        f.SetRangeLo("0");
        f.SetRangeHi("9999999");
    });
    return c;
}

std::string Kilohertz(double kHz)
{
    return FormatFixed(kHz, 3);
}

} // namespace

TScanner::TScanner(QWidget* parent) : QDialog(parent)
{
    setObjectName("Scanner");
    setWindowTitle("Scanner");
    controller_ = new TOvcController(this);

    ScanTable = new TOvcTable(this);
    ScanTable->setObjectName("ScanTable");
    ScanTable->SetController(controller_);
    auto* colHead = new TOvcTCColHead(this);
    colHead->SetShowLetters(false);
    colHead->Headings = {"", "Active", "Description", "Mode", "Frequency", "QSX"};
    auto* rowHead = new TOvcTCRowHead(this);
    ScanTable->SetColCount(6);
    ScanTable->SetLockedRowsCell(colHead);
    ScanTable->Columns()[0]->SetWidth(30);
    ScanTable->Columns()[0]->SetDefaultCell(rowHead);
    const std::pair<TOvcBaseTableCell*, int> cells[] = {
        {TextCell(this, "Col_enabled", 1, '!'), 50},     {TextCell(this, "Col_Descr", 37, 0), 220},
        {TextCell(this, "Col_Mode", 4, '!'), 50},        {FrequencyCell(this, "Col_Avfo"), 100},
        {FrequencyCell(this, "Col_Bvfo"), 100},
    };
    int tableWidth = 30 + 2 * style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < 5; ++c) {
        ScanTable->Columns()[c + 1]->SetDefaultCell(cells[c].first);
        ScanTable->Columns()[c + 1]->SetWidth(cells[c].second);
        tableWidth += cells[c].second;
    }
    ScanTable->setMinimumWidth(tableWidth);
    ScanTable->SetRowLimit(ChannelCount + 1);
    ScanTable->OnGetCellData = [this](int r, int c, TOvcCellData& data, TOvcCellDataPurpose) {
        if (r < 1 || r > ChannelCount)
            return;
        TRow& row = rows_[static_cast<std::size_t>(r)];
        switch (c) {
        case colEnabled: data = TOvcCellData::String(row.active); break;
        case colDescr: data = TOvcCellData::String(row.description); break;
        case colMode: data = TOvcCellData::String(row.mode); break;
        case colAvfo: data = TOvcCellData::Float(row.frequency); break;
        case colBvfo: data = TOvcCellData::Float(row.qsx); break;
        default: break;
        }
    };
    ScanTable->OnDoneEdit = [this](int r, int) {
        if (r >= 1 && r <= ChannelCount)
            StoreRow(r);
    };
    ScanTable->OnActiveCellChanged = [this](int r, int) {
        if (engine_ && r >= 1 && r <= ChannelCount)
            engine_->SetCurrentChannel(r);
    };
    ScanTable->viewport()->installEventFilter(this);

    FScanDelay = new TOvcNumericField(this);
    FScanDelay->setObjectName("FScanDelay");
    FScanDelay->SetDataType(nftLongInt);
    FScanDelay->SetPictureMask("##");
    FScanDelay->SetRangeLo("4");
    FScanDelay->SetRangeHi("60");
    FScanDelay->AfterExit = [this](QObject*) { TakeDelay(); };
    FScanStatus = new QLabel(this);
    FScanStatus->setObjectName("FScanStatus");
    FScanStatus->setFrameShape(QFrame::Panel);
    FScanStatus->setFrameShadow(QFrame::Sunken);
    FScanStatus->setMinimumWidth(100);
    auto button = [this](const char* name, const char* text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    ScanButton = button("ScanButton", "Scan next channel");
    NewFreqButton = button("NewFreqButton", "Store radio freq in current channel");
    ClearButton = button("ClearButton", "Clear current channel");
    StopButton = button("StopButton", "Stop current activity");
    ExitButton = button("ExitButton", "E&xit");
    ScanTimer = new QTimer(this);
    ScanTimer->setSingleShot(true);

    auto* side = new QGridLayout;
    side->addWidget(new QLabel("Scan delay (Sec)", this), 0, 0);
    side->addWidget(FScanDelay, 0, 1);
    side->addWidget(new QLabel("Status", this), 1, 0);
    side->addWidget(FScanStatus, 1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addLayout(side);
    for (QPushButton* b : {ScanButton, NewFreqButton, ClearButton, StopButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(ExitButton);
    auto* lay = new QHBoxLayout(this);
    lay->addWidget(ScanTable, 1);
    lay->addLayout(buttons);
    resize(860, 420);

    for (int ch = 1; ch <= ChannelCount; ++ch)
        LoadRow(ch);
    engine_ = std::make_unique<TScannerEngine>(Config, &RadioProxy(), static_cast<TScannerHost&>(*this));
    connect(ScanTimer, &QTimer::timeout, this, [this] { engine_->Tick(); });
    connect(ScanButton, &QPushButton::clicked, this, [this] { TakeDelay(); engine_->ScanNext(); });
    connect(NewFreqButton, &QPushButton::clicked, this, [this] {
        engine_->SetCurrentChannel(ScanTable->ActiveRow());
        engine_->StoreRadioFrequency();
    });
    connect(ClearButton, &QPushButton::clicked, this, [this] {
        engine_->SetCurrentChannel(ScanTable->ActiveRow());
        engine_->ClearCurrentChannel();
    });
    connect(StopButton, &QPushButton::clicked, this, [this] { engine_->Stop(); });
    connect(ExitButton, &QPushButton::clicked, this, [this] { accept(); });
}

TScanner::~TScanner() = default;

void TScanner::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    SetFormFont(this);
    KeepFormOnScreen(this);
    FScanDelay->SetAsInteger(engine_->Delay());
    engine_->SetCurrentChannel(1);
    ScanTable->SetActiveCell(1, colDescr);
    ShowStatus(TScannerEngine::ActivityName(TScannerEngine::saIdle));
}

void TScanner::done(int r)
{
    // Stop, Cancel and Exit all end what runs; the delay goes back into the configuration.
    engine_->Stop();
    if (ScanTable->InEditingState())
        ScanTable->StopEditingState(true);
    TakeDelay();
    QDialog::done(r);
}

bool TScanner::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == ScanTable->viewport() && e->type() == QEvent::MouseButtonDblClick) {
        // A double-click tunes the row's channel (typing edits a cell).
        auto* m = static_cast<QMouseEvent*>(e);
        int row = 0, col = 0;
        ScanTable->HitTest(int(m->position().x()), int(m->position().y()), row, col);
        if (row >= 1 && row <= ChannelCount) {
            ScanTable->SetActiveRow(row);
            engine_->TuneRow(row);
        }
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TScanner::TakeDelay()
{
    const std::int32_t seconds = FScanDelay->GetAsInteger();
    if (seconds >= 4 && seconds <= 60)
        Config.SetScanDelay(static_cast<std::uint16_t>(seconds));
}

void TScanner::StartTrigger(int ms) { ScanTimer->start(ms); }
void TScanner::StopTrigger() { ScanTimer->stop(); }
void TScanner::ShowStatus(const std::string& text) { FScanStatus->setText(QString::fromStdString(text)); }

void TScanner::SelectRow(int channel)
{
    if (ScanTable->InEditingState())
        ScanTable->StopEditingState(true);
    ScanTable->SetActiveRow(channel);
}

void TScanner::RedrawRow(int channel)
{
    LoadRow(channel);
    ScanTable->InvalidateRow(channel);
}

void TScanner::LoadRow(int channel)
{
    const TScannerChannel c = Config.ScannerChannel(channel);
    TRow& row = rows_[static_cast<std::size_t>(channel)];
    row.active = c.Active ? "Y" : "N";
    row.description = c.Description;
    row.mode = ModeName(c.Mode);
    row.frequency = c.FrequencyKHz;
    row.qsx = c.QsxKHz;
}

void TScanner::StoreRow(int channel)
{
    TRow& row = rows_[static_cast<std::size_t>(channel)];
    TScannerChannel c;
    c.Active = !row.active.empty() && row.active[0] == 'Y';
    c.Description = row.description.substr(0, DescriptionLength);
    const int mode = ModeFromName(row.mode);
    c.Mode = static_cast<std::uint8_t>(mode >= 1 && mode <= ModeCount ? mode : 0);
    c.FrequencyKHz = row.frequency;
    c.QsxKHz = row.qsx;
    Config.SetScannerChannel(channel, c);
    LoadRow(channel);
}

std::string TScanner::CellText(int row, int col) const
{
    const TRow& r = rows_.at(static_cast<std::size_t>(row));
    switch (col) {
    case colEnabled: return r.active;
    case colDescr: return r.description;
    case colMode: return r.mode;
    case colAvfo: return r.frequency != 0 ? Kilohertz(r.frequency) : "";
    case colBvfo: return r.qsx != 0 ? Kilohertz(r.qsx) : "";
    default: return "";
    }
}

} // namespace korval
