#include "logbook/config_record.h"

#include "logbook/paths.h"
#include "platform/message_dlg.h"

#include <cmath>
#include <fstream>
#include <sys/stat.h>

namespace korval {

TConfigRecord Config;

namespace {

[[noreturn]] void BadIndex(const char* what, int i)
{
    throw EConfigIndexError(std::string("Configuration index out of range: ") + what + " " + std::to_string(i));
}

void Check(bool ok, const char* what, int i)
{
    if (!ok)
        BadIndex(what, i);
}

TScreenMetrics noted;

} // namespace

// ---- TPortSettings ----

namespace {

// What the packet and RTTY terminals start from: they differ in the port, in sending at once,
// and in their function keys.
TPortSettings TerminalDefaults(int comPort, bool alwaysImmediate, std::initializer_list<const char*> keys)
{
    TPortSettings p;
    p.SetTerminalKind(1);
    p.SetComPort(comPort);
    p.SetBaudIndex(4);
    p.SetFlowControl(1);
    p.SetParity(1);
    p.SetMaxLines(500);
    p.SetSplitterPercent(50);
    p.SetAlwaysImmediate(alwaysImmediate);
    p.SetShowFunctionKeys(true);
    int index = 0;
    for (const char* key : keys)
        p.SetFunctionKey(index++, key);
    return p;
}

} // namespace

TPortSettings TPortSettings::PacketDefaults()
{
    return TerminalDefaults(4, false, {"SH/DX|SH/DX%M", "WWV|SH/W/2%M", "Msg|DI/N%M",
                                       // The node to connect to is the operator's own choice; the
                                       // key is there to be edited.
                                       "Connect|C NOCALL%M"});
}

TPortSettings TPortSettings::RttyDefaults()
{
    return TerminalDefaults(5, true, {"CQ|CQ CQ CQ de %~ %~%M", "TnxReply|%5%@ DE %~ YOUR RST IS %$ %$%M",
                                      "RYRY|RYRYRYRYRYRYRYRYRYRY%M"});
}

std::string TPortSettings::FunctionKey(int index) const
{
    Check(index >= 0 && index < FunctionKeyCount, "function key", index);
    return GetShortStr(b_.data(), FunctionKeysOffset + 76 * index, FunctionKeyCapacity);
}

void TPortSettings::SetFunctionKey(int index, std::string_view text)
{
    Check(index >= 0 && index < FunctionKeyCount, "function key", index);
    PutShortStr(b_.data(), FunctionKeysOffset + 76 * index, FunctionKeyCapacity, text);
}

int TPortSettings::BaudRate(int baudIndex)
{
    static const int rates[7] = {1200, 2400, 4800, 9600, 14400, 19200, 38400};
    return baudIndex >= 1 && baudIndex <= 7 ? rates[baudIndex - 1] : 0;
}

// ---- TAwardSettings ----

TAwardSettings TAwardSettings::Defaults()
{
    TAwardSettings a;
    for (int i = 1; i <= 15; ++i) {
        a.SetBandValid(i, true);
        a.SetBandSeparate(i, true);
        a.SetModeValid(i, true);
    }
    a.SetMixed(true);
    a.SetModeAward(true);
    a.SetBandAward(true);
    return a;
}

bool TAwardSettings::Flag(int i, int base) const
{
    Check(i >= 0 && i <= 15, "award flag", i);
    return b_[base + i] != 0;
}

void TAwardSettings::SetFlag(int i, int base, bool v)
{
    Check(i >= 0 && i <= 15, "award flag", i);
    b_[base + i] = v ? 1 : 0;
}

bool IsResizableSlot(int slot)
{
    switch (slot) {
    case psCall: case psLogb: case psSpot: case psPack: case psExt: case psCw: case psTalk: case psRtty:
    case psMastr: case psWorld: case psPsk31:
        return true;
    default:
        return false;
    }
}

// ---- TConfigRecord ----

TConfigRecord TConfigRecord::Zeroed() { return TConfigRecord(ZeroTag{}); }

TConfigRecord::TConfigRecord()
{
    b_.fill(0);
    SetMagic(MagicText);
    SetUserLevel(1);
    SetDateFormat(1);
    SetDistanceUnit(1);
    static const double cutoffs[15] = {1840,   3750,   7150,   10500,  14150,   18110,   21200,  24930,
                                       28300, 50100, 144100, 220000, 420000, 1240000, 9999000};
    for (int band = 1; band <= 15; ++band)
        SetBandCutoff(band, cutoffs[band - 1]);
    SetWorkedCutoff(1);
    SetQslSentCutoff(1);
    SetAutoSaveInterval(2);
    SetKeepBackup(true);
    SetTimeFormat(0);
    SetShowHints(true);
    SetCalendarCheck(true);
    SetFormScale(100);
    SetFont(0, {"Arial", 9, false});
    SetFont(1, {"Arial", 10, true});
    SetFont(2, {"Courier New", 10, false});
    SetRadioComPort(3);
    SetRadioPollInterval(5000);
    SetRadioRetries(6);
    SetPortSettings(0, TPortSettings::PacketDefaults());
    SetSpotListCapacity(100);
    SetAnnounceLevel(2);
    SetAnnounceContent(0);
    SetNewBandModeWarning(1);
    SetTalkAction(1);
    static const std::uint32_t colours[6] = {clRed, clBlue, clRed, clBlue, clBlack, clSilver};
    for (int r = 1; r <= 6; ++r)
        SetSpotReasonColour(r, colours[r - 1]);
    SetSpotTemplate(0, "DX|DE|r:|f|c|q|tZ");
    SetSpotTemplate(1, "f|c|d|tZ|q|<r>");
    SetSpotTemplate(2, "r|f|c|q|<t|d>");
    SetSpotTemplate(3, "DX|c|f|q");
    SetTalkPattern(0, "~ DE *:*");
    SetTalkPattern(1, "TO LOCAL DE *");
    SetTalkPattern(2, "TO ALL DE *");
    SetTalkPattern(3, "WWV*");
    SetPortSettings(1, TPortSettings::RttyDefaults());
    for (int i = 1; i <= 15; ++i) {
        SetStationBand(i, true);
        SetStationMode(i, true);
    }
    SetDefaultMode(14);  // SSB on 20 m: a new QSO and an import never start without band and mode
    SetDefaultBand(5);
    for (int a = 0; a < 4; ++a)
        SetAwardSettings(a, TAwardSettings::Defaults());
    SetReportHeading("LogBook");
    SetLabelGreeting(0, "@@ 73 de ~");
    SetLabelGreeting(2, "Thanks SWL report de ~");
    SetCallbookKind(0);
    // No callbook data folder of its own: the callbook's data lies in the EXTDATA folder of the
    // Korval home, beside its library (a drive letter means nothing here).
    SetCallbookPath("");
    SetScannerChannel(1, {false, 0, "DX freq", 0, 0});
    SetScannerChannel(2, {false, 0, "Net", 0, 0});
    // The two custom layouts start as the commonest label sheets (by their makers' published
    // sizes), so that a new home prints labels before any sheet was measured: three across and
    // ten down on Letter, three across and seven down on A4.
    struct TSheet {
        const char* name;
        const char* paper;
        bool mm;
        int across, down;
        double width, height, top, left, horzPitch, vertPitch;
    };
    static const TSheet sheets[2] = {{"Custom1", "Letter", false, 3, 10, 2.625, 1.0, 0.5, 0.1875, 2.75, 1.0},
                                     {"Custom2", "A4", true, 3, 7, 63.5, 38.1, 15.15, 7.25, 66.0, 38.1}};
    for (int i = 0; i < 2; ++i) {
        const TSheet& sh = sheets[i];
        std::uint8_t* l = LabelLayoutBytes(i);
        // Lengths are stored in inches, here to the thousandth the settings file keeps, so that
        // an exported and merged setup is the same record.
        const auto inches = [&sh](double v) { return std::round(v * (sh.mm ? 1 / 25.4 : 1.0) * 1000) / 1000; };
        PutShortStr(l, 0, 10, sh.name);
        PutU8(l, 11, sh.mm ? 1 : 0);
        PutDouble(l, 12, inches(sh.top));
        PutDouble(l, 20, inches(sh.left));
        PutDouble(l, 28, inches(sh.vertPitch));
        PutDouble(l, 36, inches(sh.horzPitch));
        PutDouble(l, 44, inches(sh.height));
        PutDouble(l, 52, inches(sh.width));
        PutU8(l, 76, static_cast<std::uint8_t>(sh.across));
        PutU8(l, 77, static_cast<std::uint8_t>(sh.down));
        PutShortStr(l, 94, 20, sh.paper);
        PutU8(l, 115, 1); // portrait
    }
    for (int band = 10; band <= 15; ++band)
        SetVuccBand(band, true);
    SetCwCharWpm(20);
    SetCwSpacingWpm(20);
    SetCwWeight(100);
    SetCwSideToneHz(850);
    SetCwSideTone(true);
    SetCwEcho(true);
    SetCwImmediate(true);
    SetCwKeyingInterface(1);
    SetCwPttDelay(0);
    SetCwKey(0, "CQ|CQ CQ CQ DE %~ %~");
    SetCwKey(1, "Reply|%@ DE %~ 599 %#");
    SetCwKey(2, "TnxQRZ|%@ TNX %& QRZ %~");
    SetCwKey(3, "QRZ|%~ QRZ");
    SetImportDiagnostics(false);
    SetMapProjection(255);
    SetMapWaterColour(clAqua);
    SetMapLandColour(clGreen);
    for (int layer = 0; layer < 16; ++layer)
        SetMapLayerVisible(layer, layer != 5);
    SetPskCenterFreq(1500);
    SetPskRxFreq(1500);
    SetPskSecondFreq(1600);
    SetPskMode(0);
    SetPskAfc(true);
    SetPskNet(true);
    SetPskSmoothing(3);
    SetPskAfcRange(100);
    SetPskBaseline(30);
    SetPskSlowImd(true);
    SetPskSquelch(50);
    SetPskDisplayKind(1);
    SetPskSplitter(0, 30);
    SetPskSplitter(1, 30);
    SetPskSplitter(2, 75);
    SetPskKeying(1);
    SetPskKeyLine(1);
    SetPskDisplaySpan(1);
    // The PSK31 macros are lower case by custom; only "Brag" is fixed, the others are
    // ordinary exchanges the operator is expected to adapt.
    static const char* pskKeys[16] = {
        "CQ|%M%MCQ CQ CQ de %~ %~ %~%Mpse k%M",
        "QRZ|%M%Mqrz? qrz? de %~ k%M",
        "ReplCQ|%M%M%@ %@ de %~ %~ %~ k%M",
        "TnxCall|%M%M%@ de %~%Mtnx for the call.%M",
        "TnxRST|%M%Mtnx for the report, your rst is %$ %$%M",
        "2xRST|%M%Myour rst %$ %$%M",
        "Start|%M%M%@ de %~%M",
        "BTU|%Mbtu %@ de %~ k%M",
        "CQDX|%M%Mcq dx cq dx de %~ %~ dx k%M",
        "Brag|%M%fbrag.txt%%M",
        "TnxBrag|%M%Mtnx for the info on your station.%M",
        "End-L|%M%Mtnx for the nice qso, 73 and gl%M%@ de %~ sk%M",
        "End-S|%M%M73 %@ de %~ sk%M",
        "SK|%M%@ de %~ sk%M",
        "QSL|%M%Mqsl via buro%M",
        "MyName|%M%Mmy name is ... and my qth is ...%M",
    };
    for (int k = 0; k < 16; ++k)
        SetPskKey(k, pskKeys[k]);
}

TFormPlacement TConfigRecord::Placement(int slot) const
{
    Check(slot >= 0 && slot < PlacementSlotCount, "placement slot", slot);
    std::size_t off = PlacementOffset + 20 * static_cast<std::size_t>(slot);
    return {GetI32(b_.data(), off), GetI32(b_.data(), off + 4), GetI32(b_.data(), off + 8),
            GetI32(b_.data(), off + 12), GetI32(b_.data(), off + 16)};
}

void TConfigRecord::SetPlacement(int slot, const TFormPlacement& p)
{
    Check(slot >= 0 && slot < PlacementSlotCount, "placement slot", slot);
    std::size_t off = PlacementOffset + 20 * static_cast<std::size_t>(slot);
    PutI32(b_.data(), off, p.Top);
    PutI32(b_.data(), off + 4, p.Left);
    PutI32(b_.data(), off + 8, p.Height);
    PutI32(b_.data(), off + 12, p.Width);
    PutI32(b_.data(), off + 16, p.Spare);
}

std::string TConfigRecord::AddressLine(int line) const
{
    Check(line >= 0 && line < 4, "address line", line);
    return GetShortStr(b_.data(), AddressOffset + 41 * line, 40);
}

void TConfigRecord::SetAddressLine(int line, std::string_view text)
{
    Check(line >= 0 && line < 4, "address line", line);
    PutShortStr(b_.data(), AddressOffset + 41 * line, 40, text);
}

double TConfigRecord::BandCutoff(int band) const
{
    Check(band >= 0 && band <= 15, "band", band);
    return GetDouble(b_.data(), BandCutoffOffset + 8 * band);
}

void TConfigRecord::SetBandCutoff(int band, double kHz)
{
    Check(band >= 0 && band <= 15, "band", band);
    PutDouble(b_.data(), BandCutoffOffset + 8 * band, kHz);
}

std::uint8_t TConfigRecord::RotatorRule(int band) const
{
    Check(band >= 0 && band <= 15, "band", band);
    return b_[RotatorRuleOffset + static_cast<std::size_t>(band)];
}

void TConfigRecord::SetRotatorRule(int band, std::uint8_t rule)
{
    Check(band >= 0 && band <= 15, "band", band);
    b_[RotatorRuleOffset + static_cast<std::size_t>(band)] = rule;
}

TConfigFont TConfigRecord::Font(int index) const
{
    Check(index >= 0 && index < 3, "font", index);
    std::size_t off = FontOffset + FontStride * index;
    return {GetShortStr(b_.data(), off, 40), b_[off + 41], b_[off + 42] != 0};
}

void TConfigRecord::SetFont(int index, const TConfigFont& font)
{
    Check(index >= 0 && index < 3, "font", index);
    std::size_t off = FontOffset + FontStride * index;
    PutShortStr(b_.data(), off, 40, font.Name);
    b_[off + 41] = static_cast<std::uint8_t>(font.Size < 0 ? 0 : font.Size > 255 ? 255 : font.Size);
    b_[off + 42] = font.Bold ? 1 : 0;
}

TPortSettings TConfigRecord::PortSettings(int terminal) const
{
    Check(terminal == 0 || terminal == 1, "terminal", terminal);
    TPortSettings p;
    std::memcpy(p.data(), b_.data() + (terminal == 0 ? PacketPortOffset : RttyPortOffset), TPortSettings::Size);
    return p;
}

void TConfigRecord::SetPortSettings(int terminal, const TPortSettings& ps)
{
    Check(terminal == 0 || terminal == 1, "terminal", terminal);
    std::memcpy(b_.data() + (terminal == 0 ? PacketPortOffset : RttyPortOffset), ps.data(), TPortSettings::Size);
}

std::uint32_t TConfigRecord::SpotReasonColour(int reason) const
{
    Check(reason >= 1 && reason <= 6, "spot reason", reason);
    return GetU32(b_.data(), SpotColourOffset + 4 * (reason - 1));
}

void TConfigRecord::SetSpotReasonColour(int reason, std::uint32_t colour)
{
    Check(reason >= 1 && reason <= 6, "spot reason", reason);
    PutU32(b_.data(), SpotColourOffset + 4 * (reason - 1), colour);
}

std::string TConfigRecord::SpotTemplate(int index) const
{
    Check(index >= 0 && index < 4, "spot template", index);
    return GetShortStr(b_.data(), SpotTemplateOffset + 33 * index, 32);
}

void TConfigRecord::SetSpotTemplate(int index, std::string_view text)
{
    Check(index >= 0 && index < 4, "spot template", index);
    PutShortStr(b_.data(), SpotTemplateOffset + 33 * index, 32, text);
}

std::string TConfigRecord::TalkPattern(int index) const
{
    Check(index >= 0 && index < 4, "talk pattern", index);
    return GetShortStr(b_.data(), TalkPatternOffset + 21 * index, 20);
}

void TConfigRecord::SetTalkPattern(int index, std::string_view text)
{
    Check(index >= 0 && index < 4, "talk pattern", index);
    PutShortStr(b_.data(), TalkPatternOffset + 21 * index, 20, text);
}

std::uint16_t TConfigRecord::SpotColumnWidth(int column) const
{
    Check(column >= 0 && column < 7, "spot column", column);
    return GetU16(b_.data(), SpotColumnWidthOffset + 2 * column);
}

void TConfigRecord::SetSpotColumnWidth(int column, std::uint16_t width)
{
    Check(column >= 0 && column < 7, "spot column", column);
    PutU16(b_.data(), SpotColumnWidthOffset + 2 * column, width);
}

bool TConfigRecord::StationBand(int band) const
{
    Check(band >= 0 && band <= 15, "band", band);
    return b_[StationBandOffset + band] != 0;
}

void TConfigRecord::SetStationBand(int band, bool on)
{
    Check(band >= 0 && band <= 15, "band", band);
    b_[StationBandOffset + band] = on ? 1 : 0;
}

bool TConfigRecord::StationMode(int mode) const
{
    Check(mode >= 0 && mode <= 15, "mode", mode);
    return b_[StationModeOffset + mode] != 0;
}

void TConfigRecord::SetStationMode(int mode, bool on)
{
    Check(mode >= 0 && mode <= 15, "mode", mode);
    b_[StationModeOffset + mode] = on ? 1 : 0;
}

bool TConfigRecord::FieldDisabled(int field) const
{
    Check(field >= 1 && field <= 23, "QSO field", field);
    return b_[4118 + field] != 0;
}

void TConfigRecord::SetFieldDisabled(int field, bool on)
{
    Check(field >= 1 && field <= 23, "QSO field", field);
    b_[4118 + field] = on ? 1 : 0;
}

TAwardSettings TConfigRecord::AwardSettings(int award) const
{
    Check(award >= 0 && award < 4, "award", award);
    TAwardSettings a;
    std::memcpy(a.data(), b_.data() + AwardSettingsOffset + TAwardSettings::Size * award, TAwardSettings::Size);
    return a;
}

void TConfigRecord::SetAwardSettings(int award, const TAwardSettings& s)
{
    Check(award >= 0 && award < 4, "award", award);
    std::memcpy(b_.data() + AwardSettingsOffset + TAwardSettings::Size * award, s.data(), TAwardSettings::Size);
}

std::string TConfigRecord::LabelGreeting(int index) const
{
    Check(index >= 0 && index < 3, "label greeting", index);
    return GetShortStr(b_.data(), LabelGreetingOffset + 41 * index, 40);
}

void TConfigRecord::SetLabelGreeting(int index, std::string_view text)
{
    Check(index >= 0 && index < 3, "label greeting", index);
    PutShortStr(b_.data(), LabelGreetingOffset + 41 * index, 40, text);
}

TScannerChannel TConfigRecord::ScannerChannel(int channel) const
{
    Check(channel >= 1 && channel <= 15, "scanner channel", channel);
    std::size_t off = ScannerChannelOffset + ScannerChannelSize * (channel - 1);
    return {b_[off] != 0, b_[off + 1], GetShortStr(b_.data(), off + 2, 37), GetDouble(b_.data(), off + 40),
            GetDouble(b_.data(), off + 48)};
}

void TConfigRecord::SetScannerChannel(int channel, const TScannerChannel& c)
{
    Check(channel >= 1 && channel <= 15, "scanner channel", channel);
    std::size_t off = ScannerChannelOffset + ScannerChannelSize * (channel - 1);
    b_[off] = c.Active ? 1 : 0;
    b_[off + 1] = c.Mode;
    PutShortStr(b_.data(), off + 2, 37, c.Description);
    PutDouble(b_.data(), off + 40, c.FrequencyKHz);
    PutDouble(b_.data(), off + 48, c.QsxKHz);
}

std::uint8_t* TConfigRecord::LabelLayoutBytes(int index)
{
    Check(index == 0 || index == 1, "label layout", index);
    return b_.data() + LabelLayoutOffset + LabelLayoutSize * index;
}

const std::uint8_t* TConfigRecord::LabelLayoutBytes(int index) const
{
    Check(index == 0 || index == 1, "label layout", index);
    return b_.data() + LabelLayoutOffset + LabelLayoutSize * index;
}

bool TConfigRecord::VuccBand(int band) const
{
    Check(band >= 10 && band <= 15, "VUCC band", band);
    return b_[VuccBandOffset + band - 10] != 0;
}

void TConfigRecord::SetVuccBand(int band, bool on)
{
    Check(band >= 10 && band <= 15, "VUCC band", band);
    b_[VuccBandOffset + band - 10] = on ? 1 : 0;
}

std::string TConfigRecord::CwKey(int index) const
{
    Check(index >= 0 && index < 16, "CW key", index);
    return GetShortStr(b_.data(), CwKeyOffset + 76 * index, 75);
}

void TConfigRecord::SetCwKey(int index, std::string_view text)
{
    Check(index >= 0 && index < 16, "CW key", index);
    PutShortStr(b_.data(), CwKeyOffset + 76 * index, 75, text);
}

bool TConfigRecord::MapLayerVisible(int layer) const
{
    Check(layer >= 0 && layer < 16, "map layer", layer);
    return b_[MapLayerOffset + layer] != 0;
}

void TConfigRecord::SetMapLayerVisible(int layer, bool on)
{
    Check(layer >= 0 && layer < 16, "map layer", layer);
    b_[MapLayerOffset + layer] = on ? 1 : 0;
}

bool TConfigRecord::MapOption(int index) const
{
    Check(index >= 0 && index < 5, "map option", index);
    return b_[MapOptionOffset + index] != 0;
}

void TConfigRecord::SetMapOption(int index, bool on)
{
    Check(index >= 0 && index < 5, "map option", index);
    b_[MapOptionOffset + index] = on ? 1 : 0;
}

std::uint8_t TConfigRecord::PskSplitter(int index) const
{
    Check(index >= 0 && index < 3, "PSK31 splitter", index);
    return b_[7359 + index];
}

void TConfigRecord::SetPskSplitter(int index, std::uint8_t percent)
{
    Check(index >= 0 && index < 3, "PSK31 splitter", index);
    b_[7359 + index] = percent;
}

std::string TConfigRecord::PskKey(int index) const
{
    Check(index >= 0 && index < 16, "PSK31 key", index);
    return GetShortStr(b_.data(), PskKeyOffset + 76 * index, 75);
}

void TConfigRecord::SetPskKey(int index, std::string_view text)
{
    Check(index >= 0 && index < 16, "PSK31 key", index);
    PutShortStr(b_.data(), PskKeyOffset + 76 * index, 75, text);
}

static_assert(TConfigRecord::PskKeyOffset + 16 * 76 == TConfigRecord::Size);
static_assert(TConfigRecord::CwKeyOffset + 16 * 76 == 7226);
static_assert(TConfigRecord::PacketPortOffset + TPortSettings::Size == 2349);
static_assert(TConfigRecord::RttyPortOffset + TPortSettings::Size == 4053);
static_assert(TConfigRecord::ScannerChannelOffset + 15 * TConfigRecord::ScannerChannelSize == TConfigRecord::LabelLayoutOffset);
static_assert(TConfigRecord::LabelLayoutOffset + 2 * TConfigRecord::LabelLayoutSize == TConfigRecord::VuccBandOffset);

// ---- screen, load and save ----

void SetScreenMetrics(const TScreenMetrics& m) { noted = m; }
const TScreenMetrics& ScreenMetrics() { return noted; }

namespace {

// The form scale of the noted screen.
int ScreenFormScale()
{
    int ppi = noted.PixelsPerInch > 0 && noted.PixelsPerInch < 10000 ? noted.PixelsPerInch : 120;
    // MulDiv(100, ppi, 120), rounded to nearest; the scale is kept in one byte.
    int scale = (100 * ppi + 60) / 120;
    return scale < 1 ? 1 : scale > 255 ? 255 : scale;
}

// A record from a file has the right magic but may hold anything: every setting that indexes a
// table or feeds arithmetic is brought back into its range (a value outside it takes the
// default), so that no later use has to distrust it.
void ResetFieldsOutOfRange(TConfigRecord& record)
{
    const TConfigRecord defaults;
    std::uint8_t* b = record.Bytes();
    struct ByteRange {
        std::size_t offset;
        std::uint8_t low, high;
    };
    static const ByteRange bytes[] = {
        {TConfigRecord::QsoWindowSizeOffset, 0, 5},   {TConfigRecord::UserLevelOffset, 0, 3},
        {TConfigRecord::DateFormatOffset, 1, 3},      {TConfigRecord::DefaultModeOffset, 0, 15},
        {TConfigRecord::DefaultBandOffset, 0, 15},    {TConfigRecord::TimeFormatOffset, 0, 1},
        {TConfigRecord::CallSearchMethodOffset, 0, 4}, {TConfigRecord::DateSearchMethodOffset, 0, 3},
        {TConfigRecord::NewBandModeWarningOffset, 1, 3}, {TConfigRecord::SpotSortOrderOffset, 0, 5},
        {TConfigRecord::CallbookKindOffset, 0, 5},    {TConfigRecord::PskDisplayKindOffset, 0, 2},
    };
    for (const ByteRange& r : bytes)
        if (b[r.offset] < r.low || b[r.offset] > r.high)
            b[r.offset] = defaults.Bytes()[r.offset];
    struct LongRange {
        std::size_t offset;
        std::int32_t low, high;
    };
    static const LongRange longs[] = {
        {TConfigRecord::AnnounceLevelOffset, 0, 4},      {TConfigRecord::AnnounceContentOffset, 0, 5},
        {TConfigRecord::TalkActionOffset, 0, 3},         {TConfigRecord::ConfirmLabelActionOffset, 0, 2},
        {TConfigRecord::ConfirmNextActionOffset, 0, 2},
    };
    for (const LongRange& r : longs) {
        std::int32_t v = GetI32(b, r.offset);
        if (v < r.low || v > r.high)
            PutI32(b, r.offset, GetI32(defaults.Bytes(), r.offset));
    }
    if (record.FormScale() == 0)
        record.SetFormScale(static_cast<std::uint8_t>(ScreenFormScale()));
    // Window placements far beyond any screen: a coordinate is kept within 1 << 16 of the origin
    // and sizes are not negative, so that keeping a window on the screen cannot overflow.
    constexpr std::int32_t far = 1 << 16;
    auto clamp = [](std::int32_t v, std::int32_t low, std::int32_t high) { return v < low ? low : v > high ? high : v; };
    for (int slot = 0; slot < PlacementSlotCount; ++slot) {
        TFormPlacement p = record.Placement(slot);
        p.Top = clamp(p.Top, -far, far);
        p.Left = clamp(p.Left, -far, far);
        p.Height = clamp(p.Height, 0, far);
        p.Width = clamp(p.Width, 0, far);
        record.SetPlacement(slot, p);
    }
}

} // namespace

void ResetWindowDefaults(TConfigRecord& record)
{
    const int scale = ScreenFormScale();
    record.SetFormScale(static_cast<std::uint8_t>(scale));
    record.SetFont(0, {"Arial", 9, false});
    int size = static_cast<int>(std::lround(scale * 11 / 100.0));
    record.SetFont(1, {"Fixedsys", size, false});
    record.SetFont(2, {"Fixedsys", size, false});
}

bool LoadConfiguration(TConfigRecord& record)
{
    const std::string name = GetDataFileName(dfConfig);
    struct stat st {};
    long long size = ::stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? st.st_size : 0;
    if (size == static_cast<long long>(TConfigRecord::Size)) {
        std::ifstream in(name, std::ios::binary);
        TConfigRecord loaded = TConfigRecord::Zeroed();
        if (in.read(reinterpret_cast<char*>(loaded.Bytes()), TConfigRecord::Size) &&
            GetShortStr(loaded.Bytes(), 0, 8) == TConfigRecord::MagicText) {
            ResetFieldsOutOfRange(loaded);
            record = loaded;
            if (record.ScreenPixelsPerInch() != noted.PixelsPerInch || record.ScreenWidth() != noted.Width) {
                MessageDlg(ScreenChangedMessage, TMsgDlgType::mtInformation, mbOK);
                ResetWindowDefaults(record);
            }
            return false;
        }
    }
    ResetWindowDefaults(record);
    if (size != 0)
        MessageDlg("The configuration file " + name + " is not valid,\rusing default settings",
                   TMsgDlgType::mtWarning, mbOK);
    return true;
}

bool LoadConfiguration() { return LoadConfiguration(Config); }

void SaveConfiguration(TConfigRecord& record)
{
    record.SetScreenPixelsPerInch(noted.PixelsPerInch);
    record.SetScreenWidth(noted.Width);
    const std::string name = GetDataFileName(dfConfig);
    // The program saves at every Exit: a file that holds the record already is left as it is,
    // which spares the rewrite, its backup copy and their waits on the disk.
    {
        std::ifstream in(name, std::ios::binary);
        std::string onDisk(TConfigRecord::Size + 1, '\0');
        in.read(onDisk.data(), static_cast<std::streamsize>(onDisk.size()));
        if (in.gcount() == static_cast<std::streamsize>(TConfigRecord::Size) &&
            onDisk.compare(0, TConfigRecord::Size, reinterpret_cast<const char*>(record.Bytes()), TConfigRecord::Size) == 0)
            return;
    }
    auto file = PrepareFileRewrite(name);
    file->write(record.Bytes(), TConfigRecord::Size);
    file->commit();
}

void SaveConfiguration() { SaveConfiguration(Config); }

void PutOwnCallIntoTexts(TConfigRecord& record)
{
    const std::string call = record.OwnCall();
    auto replace = [&](std::string text) {
        std::string out;
        for (char c : text) {
            if (c == '~')
                out += call;
            else
                out += c;
        }
        return out;  // the setters cut it to the field's capacity
    };
    for (int i = 0; i < 3; ++i)
        record.SetLabelGreeting(i, replace(record.LabelGreeting(i)));
    for (int i = 0; i < 4; ++i)
        record.SetTalkPattern(i, replace(record.TalkPattern(i)));
}

bool UserLevelAllows(int level) { return UserLevelAllowsLevel(level, Config.UserLevel()); }

void KeepRectOnScreen(TFormRect& rect, const TScreenMetrics& screen, int mainWidth, int mainHeight)
{
    // Worked in 64 bits: placements come from the file and may lie anywhere in the int range.
    std::int64_t left = rect.Left, top = rect.Top, width = rect.Width, height = rect.Height;
    const std::int64_t screenWidth = screen.Width > 0 ? screen.Width : 0;
    const std::int64_t screenHeight = screen.Height > 0 ? screen.Height : 0;
    if (width < 0)
        width = 0;
    if (height < 0)
        height = 0;
    auto fixTop = [&] {
        if (top < 0)
            top = 0;
        // The main window is a strip across the top: keep other windows below it.
        if (top < mainHeight && left < mainWidth)
            top = mainHeight;
    };
    if (left < 0)
        left = 0;
    fixTop();
    if (left + width > screenWidth) {
        left = screenWidth - width;
        if (left < 0) {
            left = 0;
            width = screenWidth;
        }
    }
    if (top + height > screenHeight) {
        top = screenHeight - height;
        fixTop();
        if (top + height > screenHeight)
            height = screenHeight - top;
        if (height < 0) {  // a main window taller than the screen
            top = screenHeight;
            height = 0;
        }
    }
    rect = {static_cast<int>(left), static_cast<int>(top), static_cast<int>(width), static_cast<int>(height)};
}

bool RestoreRectFromSlot(const TConfigRecord& record, int slot, TFormRect& r, int mainHeight)
{
    TFormPlacement p = record.Placement(slot);
    if (p.Width == 0) {
        r.Left = 0;
        r.Top = mainHeight;
        return false;
    }
    r.Top = p.Top;
    r.Left = p.Left;
    if (IsResizableSlot(slot)) {
        r.Height = p.Height;
        r.Width = p.Width;
    }
    return true;
}

} // namespace korval
