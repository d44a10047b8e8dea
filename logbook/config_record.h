#pragma once
// The configuration record: every setting of the program in one fixed 8584-byte record, stored
// whole in SAVE/KORVAL.CFG. The record is kept as its bytes, so a file saved by any version
// reads back byte for byte; each setting is reached through an accessor that reads or writes
// its field at its offset. Groups whose inner layout belongs to another subsystem are reachable
// through Bytes() at their documented offsets.
#include "logbook/base/record_bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include "logbook/base/colors.h"

namespace korval {

// Accessors for one field at a fixed offset of the record's byte image b_.
#define KORVAL_FIELD_U8(Name, Off)                                                   \
    static constexpr std::size_t Name##Offset = Off;                                 \
    std::uint8_t Name() const { return b_[Off]; }                                    \
    void Set##Name(std::uint8_t v) { b_[Off] = v; }
#define KORVAL_FIELD_BOOL(Name, Off)                                                 \
    static constexpr std::size_t Name##Offset = Off;                                 \
    bool Name() const { return b_[Off] != 0; }                                       \
    void Set##Name(bool v) { b_[Off] = v ? 1 : 0; }
#define KORVAL_FIELD_U16(Name, Off)                                                  \
    static constexpr std::size_t Name##Offset = Off;                                 \
    std::uint16_t Name() const { return GetU16(b_.data(), Off); }                    \
    void Set##Name(std::uint16_t v) { PutU16(b_.data(), Off, v); }
#define KORVAL_FIELD_I32(Name, Off)                                                  \
    static constexpr std::size_t Name##Offset = Off;                                 \
    std::int32_t Name() const { return GetI32(b_.data(), Off); }                     \
    void Set##Name(std::int32_t v) { PutI32(b_.data(), Off, v); }
#define KORVAL_FIELD_U32(Name, Off)                                                  \
    static constexpr std::size_t Name##Offset = Off;                                 \
    std::uint32_t Name() const { return GetU32(b_.data(), Off); }                    \
    void Set##Name(std::uint32_t v) { PutU32(b_.data(), Off, v); }
#define KORVAL_FIELD_DOUBLE(Name, Off)                                               \
    static constexpr std::size_t Name##Offset = Off;                                 \
    double Name() const { return GetDouble(b_.data(), Off); }                        \
    void Set##Name(double v) { PutDouble(b_.data(), Off, v); }
#define KORVAL_FIELD_STR(Name, Off, Cap)                                             \
    static constexpr std::size_t Name##Offset = Off;                                 \
    static constexpr std::size_t Name##Capacity = Cap;                               \
    std::string Name() const { return GetShortStr(b_.data(), Off, Cap); }            \
    void Set##Name(std::string_view v) { PutShortStr(b_.data(), Off, Cap, v); }

// Thrown for an index outside a field's table (a slot, band, key number ...).
class EConfigIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};


// The setup of one terminal port (packet or RTTY terminal), 1237 bytes.
class TPortSettings {
public:
    static constexpr std::size_t Size = 1237;
    static constexpr int FunctionKeyCount = 16;
    static constexpr std::size_t FunctionKeyCapacity = 75;
    static constexpr std::size_t FunctionKeysOffset = 21;

    TPortSettings() { b_.fill(0); }
    static TPortSettings PacketDefaults();
    static TPortSettings RttyDefaults();

    KORVAL_FIELD_U8(TerminalKind, 0)     // the terminal window opens at start when above 1
    KORVAL_FIELD_U8(ComPort, 1)          // 1..8 COM1..COM8, 9 telnet, 10 none
    KORVAL_FIELD_U8(BaudIndex, 2)        // 1..7: 1200, 2400, 4800, 9600, 14400, 19200, 38400
    KORVAL_FIELD_U8(FlowControl, 3)      // 1 none, 2 XON/XOFF, 3 RTS/CTS
    KORVAL_FIELD_U8(Parity, 4)           // 1: 8 bits no parity; other: 7 bits even parity
    KORVAL_FIELD_I32(MaxLines, 8)        // lines kept by the terminal
    KORVAL_FIELD_I32(SplitterPercent, 12) // upper pane height in percent of the window
    KORVAL_FIELD_BOOL(TakesSpots, 16)    // the RTTY terminal takes spots (telnet only)
    KORVAL_FIELD_BOOL(AnnounceBoth, 17)  // announce spots through both terminals
    KORVAL_FIELD_BOOL(UseBell, 18)
    KORVAL_FIELD_BOOL(AlwaysImmediate, 19)
    KORVAL_FIELD_BOOL(ShowFunctionKeys, 20)

    // Keys 0..15 (F1..F8, then Ctrl+F1..Ctrl+F8): label, "|", text.
    std::string FunctionKey(int index) const;
    void SetFunctionKey(int index, std::string_view text);

    // Baud rate of BaudIndex (0 for an index outside 1..7).
    static int BaudRate(int baudIndex);

    const std::uint8_t* data() const { return b_.data(); }
    std::uint8_t* data() { return b_.data(); }
    bool operator==(const TPortSettings&) const = default;

private:
    std::array<std::uint8_t, Size> b_;
};

// One award's settings (DXCC, WAZ, WAS, WPX), 51 flag bytes: valid bands 0..15, separate award
// per band 16..31, valid modes 32..47, then the award switches Mixed, Mode and Band.
class TAwardSettings {
public:
    static constexpr std::size_t Size = 51;
    TAwardSettings() { b_.fill(0); }
    static TAwardSettings Defaults();

    bool BandValid(int band) const { return Flag(band, 0); }
    void SetBandValid(int band, bool v) { SetFlag(band, 0, v); }
    bool BandSeparate(int band) const { return Flag(band, 16); }
    void SetBandSeparate(int band, bool v) { SetFlag(band, 16, v); }
    bool ModeValid(int mode) const { return Flag(mode, 32); }
    void SetModeValid(int mode, bool v) { SetFlag(mode, 32, v); }
    KORVAL_FIELD_BOOL(Mixed, 48)
    KORVAL_FIELD_BOOL(ModeAward, 49)
    KORVAL_FIELD_BOOL(BandAward, 50)

    const std::uint8_t* data() const { return b_.data(); }
    std::uint8_t* data() { return b_.data(); }
    bool operator==(const TAwardSettings&) const = default;

private:
    bool Flag(int i, int base) const;
    void SetFlag(int i, int base, bool v);
    std::array<std::uint8_t, Size> b_;
};

// A window-placement slot: Top, Left, Height, Width and a spare longint (whose low byte some
// windows use as their "was open" flag). Width 0 means no placement is stored.
struct TFormPlacement {
    std::int32_t Top = 0, Left = 0, Height = 0, Width = 0, Spare = 0;
    bool operator==(const TFormPlacement&) const = default;
};

// Placement slots, in the order the record keeps them.
enum TPlacementSlot : int {
    psQso = 0, psCty, psCall, psState, psZone, psIota, psLogb, psSpot, psPack, psExt, psCw, psSun,
    psTalk, psRtty, psGrid, psMastr, psWorld, psWpx, psShfre, psPsk31,
};
inline constexpr int PlacementSlotCount = 20;
// DistanceUnit: distances in miles (any other value: kilometres).
inline constexpr int kDistanceInMiles = 1;
// DefaultLabel: new entries carry the label flag.
inline constexpr int kLabelNewEntries = 1;
// Slots of windows that keep their size as well as their position.
bool IsResizableSlot(int slot);

// A scanner channel (1..15).
struct TScannerChannel {
    bool Active = false;
    std::uint8_t Mode = 0;
    std::string Description;  // at most 37 characters
    double FrequencyKHz = 0;
    double QsxKHz = 0;        // 0 = none
    bool operator==(const TScannerChannel&) const = default;
};

struct TConfigFont {
    std::string Name;  // at most 40 characters
    int Size = 0;
    bool Bold = false;
    bool operator==(const TConfigFont&) const = default;
};

// Award blocks in the record's order.
enum TAwardKind : int { akDxcc = 0, akWaz = 1, akWas = 2, akWpx = 3 };

class TConfigRecord {
public:
    static constexpr std::size_t Size = 8584;
    static constexpr const char* MagicText = "MERXCFGI";

    // The built-in defaults.
    TConfigRecord();
    // All bytes zero (for reading a file into).
    static TConfigRecord Zeroed();

    const std::uint8_t* Bytes() const { return b_.data(); }
    std::uint8_t* Bytes() { return b_.data(); }
    bool operator==(const TConfigRecord&) const = default;

    KORVAL_FIELD_STR(Magic, 0, 8)
    KORVAL_FIELD_I32(ScreenPixelsPerInch, 12)  // of the screen when the record was saved
    KORVAL_FIELD_I32(ScreenWidth, 16)
    KORVAL_FIELD_U8(QsoWindowSize, 20)         // 0..5
    KORVAL_FIELD_STR(LastLogFile, 21, 128)     // "<none>": open no log at start

    static constexpr std::size_t PlacementOffset = 152;
    TFormPlacement Placement(int slot) const;
    void SetPlacement(int slot, const TFormPlacement& p);

    KORVAL_FIELD_I32(MainWindowWidth, 552)     // 0 = full screen width
    KORVAL_FIELD_STR(OwnCall, 560, 20)
    KORVAL_FIELD_U8(UserLevel, 581)            // commands need a level; see UserLevelAllows
    static constexpr std::size_t AddressOffset = 582;
    std::string AddressLine(int line) const;   // lines 0..3, string[40]
    void SetAddressLine(int line, std::string_view text);
    KORVAL_FIELD_STR(OwnGrid, 746, 6)
    KORVAL_FIELD_DOUBLE(OwnLongitude, 760)     // degrees, negative = West
    KORVAL_FIELD_DOUBLE(OwnLatitude, 768)      // degrees, negative = South
    KORVAL_FIELD_U8(DateFormat, 776)           // 1..3
    KORVAL_FIELD_U8(DistanceUnit, 777)         // 1 miles, otherwise kilometres

    // CW/phone cut-off per band 1..15 in kHz (the table starts with an unused band 0 at 784).
    static constexpr std::size_t BandCutoffOffset = 784;
    double BandCutoff(int band) const;
    void SetBandCutoff(int band, double kHz);

    KORVAL_FIELD_U16(WorkedCutoff, 912)        // TDayNumber
    KORVAL_FIELD_U16(QslSentCutoff, 914)       // TDayNumber
    KORVAL_FIELD_U8(DefaultMode, 920)          // defaults of a new QSO entry
    KORVAL_FIELD_U8(DefaultBand, 921)
    KORVAL_FIELD_U8(DefaultQslRoute, 922)
    KORVAL_FIELD_U8(DefaultLabel, 923)         // 1: new entries have the label flag
    KORVAL_FIELD_U8(MergeGroup, 924)           // group of merged or new QSOs, 0 = keep
    KORVAL_FIELD_U16(AutoSaveInterval, 926)    // minutes, 0 = off
    KORVAL_FIELD_BOOL(KeepBackup, 928)         // keep "~" copies of rewritten data files
    KORVAL_FIELD_U8(TimeFormat, 929)           // 0 "hh:mm", 1 "hh:mm:ss"
    KORVAL_FIELD_U8(CallSearchMethod, 930)     // 1..4
    KORVAL_FIELD_U8(DateSearchMethod, 931)     // 1..3
    KORVAL_FIELD_BOOL(ShowHints, 932)
    KORVAL_FIELD_BOOL(LookupWhileTyping, 934)
    KORVAL_FIELD_BOOL(WarnUnsavedQso, 935)
    KORVAL_FIELD_BOOL(CalendarCheck, 936)
    KORVAL_FIELD_BOOL(BandNamesAsFrequency, 937)
    KORVAL_FIELD_U8(FormScale, 938)            // percent

    // Window fonts 0..2 (heading, input, list box): string[40] name, size byte, bold byte.
    static constexpr std::size_t FontOffset = 939;
    static constexpr std::size_t FontStride = 43;
    TConfigFont Font(int index) const;
    void SetFont(int index, const TConfigFont& font);

    KORVAL_FIELD_STR(RadioModel, 1068, 30)     // empty = no radio
    KORVAL_FIELD_U8(RadioAddress, 1099)
    KORVAL_FIELD_U16(RadioBaud, 1100)          // 0 = the radio definition's rate
    KORVAL_FIELD_BOOL(RadioUseDefaultRate, 1102)
    KORVAL_FIELD_U8(RadioComPort, 1103)
    KORVAL_FIELD_U16(RadioPollInterval, 1104)  // milliseconds
    KORVAL_FIELD_U8(RadioRetries, 1106)
    KORVAL_FIELD_BOOL(SetFreqWindowOpen, 1107) // reopened with the radio
    KORVAL_FIELD_BOOL(RadioDtr, 1108)
    KORVAL_FIELD_BOOL(RadioRts, 1109)

    // Terminal ports: 0 packet (at 1112), 1 RTTY (at 2816).
    static constexpr std::size_t PacketPortOffset = 1112;
    static constexpr std::size_t RttyPortOffset = 2816;
    TPortSettings PortSettings(int terminal) const;
    void SetPortSettings(int terminal, const TPortSettings& ps);
    TPortSettings PacketPort() const { return PortSettings(0); }
    TPortSettings RttyPort() const { return PortSettings(1); }

    KORVAL_FIELD_U16(SpotListCapacity, 2352)
    KORVAL_FIELD_I32(AnnounceLevel, 2356)      // 0..4
    KORVAL_FIELD_I32(AnnounceContent, 2360)    // 0 beep, 1 Morse, 2..5 spoken
    KORVAL_FIELD_BOOL(SoundConfirmed, 2364)
    KORVAL_FIELD_STR(CallAlertList, 2365, 60)
    KORVAL_FIELD_STR(MessageHandshake, 2426, 60) // window class, "|", window title
    KORVAL_FIELD_BOOL(IgnoreGraySpots, 2487)
    KORVAL_FIELD_BOOL(SpotOnTaskbar, 2488)
    KORVAL_FIELD_BOOL(BackupSpots, 2489)
    KORVAL_FIELD_U8(NewBandModeWarning, 2490)  // 1..3
    KORVAL_FIELD_I32(TalkAction, 2492)         // 0..3
    KORVAL_FIELD_U8(SpotSortOrder, 2496)       // 0..5
    KORVAL_FIELD_STR(SpotterFilter, 2497, 60)  // spotter prefixes and "#" zones

    // Colours of the spot reasons 1..6.
    static constexpr std::size_t SpotColourOffset = 2560;
    std::uint32_t SpotReasonColour(int reason) const;
    void SetSpotReasonColour(int reason, std::uint32_t colour);
    // Spot templates 0..3, string[32].
    static constexpr std::size_t SpotTemplateOffset = 2584;
    std::string SpotTemplate(int index) const;
    void SetSpotTemplate(int index, std::string_view text);
    // Talk (warning) patterns 0..3, string[20].
    static constexpr std::size_t TalkPatternOffset = 2716;
    std::string TalkPattern(int index) const;
    void SetTalkPattern(int index, std::string_view text);
    // Spot-grid column widths 0..6.
    static constexpr std::size_t SpotColumnWidthOffset = 2800;
    std::uint16_t SpotColumnWidth(int column) const;
    void SetSpotColumnWidth(int column, std::uint16_t width);

    // Station bands and modes 0..15 (IsStationBand and friends in bands_modes.h).
    static constexpr std::size_t StationBandOffset = 4056;
    static constexpr std::size_t StationModeOffset = 4072;
    bool StationBand(int band) const;
    void SetStationBand(int band, bool on);
    bool StationMode(int mode) const;
    void SetStationMode(int mode, bool on);

    // Contest mode of the QSO window.
    KORVAL_FIELD_BOOL(ContestMode, 4088)
    KORVAL_FIELD_U16(ContestStartDate, 4090)   // TDayNumber
    KORVAL_FIELD_I32(ContestStartTime, 4092)   // seconds of the day
    KORVAL_FIELD_U16(ContestSerial, 4096)      // next serial number, 0 = none
    KORVAL_FIELD_STR(ContestExchange, 4098, 19)
    // QSO fields 1..23 left out of the tab order.
    bool FieldDisabled(int field) const;
    void SetFieldDisabled(int field, bool on);

    // Award settings DXCC, WAZ, WAS, WPX.
    static constexpr std::size_t AwardSettingsOffset = 4144;
    TAwardSettings AwardSettings(int award) const;
    void SetAwardSettings(int award, const TAwardSettings& s);

    // Report and label text (the label options, current label and fonts around them
    // belong to the label printing code).
    KORVAL_FIELD_STR(ReportFontName, 4348, 40)
    KORVAL_FIELD_U8(ReportFontSize, 4389)
    KORVAL_FIELD_U8(ReportEmbellishment, 4390)  // 0 none, 1 lines, 2 lines and shades
    KORVAL_FIELD_BOOL(ReportBoldHeader, 4391)
    KORVAL_FIELD_STR(DefaultReport, 4392, 20)   // the report definition the log list starts with
    KORVAL_FIELD_STR(ReportHeading, 4413, 60)
    static constexpr std::size_t LabelGreetingOffset = 4587;
    std::string LabelGreeting(int index) const;  // 0..2, string[40]
    void SetLabelGreeting(int index, std::string_view text);
    KORVAL_FIELD_BOOL(ConfirmMarksQsl, 4712)
    KORVAL_FIELD_U8(ConfirmQslRoute, 4713)
    KORVAL_FIELD_I32(ConfirmLabelAction, 4716) // 0 none, 1 label flag, 2 print sequence number
    KORVAL_FIELD_I32(ConfirmNextAction, 4720)  // 0 stay, 1 next QSO, 2 new search
    KORVAL_FIELD_BOOL(ShowAwardQuestion, 4724)

    KORVAL_FIELD_U8(CallbookKind, 4728)        // 0..5
    KORVAL_FIELD_STR(CallbookPath, 4729, 80)
    KORVAL_FIELD_STR(QslManagerProgram, 4810, 80)
    KORVAL_FIELD_BOOL(QslManagerProgramOn, 4891)
    KORVAL_FIELD_BOOL(LookupFullSize, 4892)
    KORVAL_FIELD_BOOL(LookupAutoUpdate, 4893)

    KORVAL_FIELD_U16(ScanDelay, 4906)          // seconds
    static constexpr std::size_t ScannerChannelOffset = 4908;
    static constexpr std::size_t ScannerChannelSize = 56;
    TScannerChannel ScannerChannel(int channel) const;  // 1..15
    void SetScannerChannel(int channel, const TScannerChannel& c);

    // The two custom label layouts (116-byte records of the label code) at 5748 and 5864.
    static constexpr std::size_t LabelLayoutOffset = 5748;
    static constexpr std::size_t LabelLayoutSize = 116;
    std::uint8_t* LabelLayoutBytes(int index);
    const std::uint8_t* LabelLayoutBytes(int index) const;

    static constexpr std::size_t VuccBandOffset = 5980;  // bands 10..15
    bool VuccBand(int band) const;
    void SetVuccBand(int band, bool on);
    KORVAL_FIELD_U8(GridSquareLength, 5986)

    // CW keyer.
    // The character speed times the signs; the spacing speed (never above it) the gaps. The
    // keyer's settings window keeps the 1240 bytes from CwCharWpm on as one block.
    KORVAL_FIELD_I32(CwCharWpm, 5988)
    KORVAL_FIELD_I32(CwSpacingWpm, 5992)
    KORVAL_FIELD_I32(CwWeight, 5996)           // percent
    KORVAL_FIELD_I32(CwSideToneHz, 6000)
    KORVAL_FIELD_BOOL(CwSideTone, 6004)
    KORVAL_FIELD_BOOL(CwEcho, 6005)            // marquee: the keyboard shows the text still to send
    KORVAL_FIELD_BOOL(CwImmediate, 6006)
    KORVAL_FIELD_U8(CwKeyingInterface, 6007)   // 1 none, 2..4 LPT1..3, 5 DTR, 6 RTS
    KORVAL_FIELD_U8(CwPttDelay, 6008)          // milliseconds, 0 = no PTT
    KORVAL_FIELD_U8(CwShowFunctionKeys, 6009)
    static constexpr std::size_t CwKeyOffset = 6010;
    std::string CwKey(int index) const;        // 0..15: label, "|", text
    void SetCwKey(int index, std::string_view text);
    static constexpr std::size_t CwBlockSize = 1240;

    KORVAL_FIELD_BOOL(ImportDiagnostics, 7228)
    KORVAL_FIELD_BOOL(ImportPrefixDiffs, 7229)
    KORVAL_FIELD_BOOL(ImportZoneDiffs, 7230)
    KORVAL_FIELD_I32(ImportConflictAction, 7232)
    KORVAL_FIELD_U8(RotatorKind, 7236)
    KORVAL_FIELD_U8(RotatorPort, 7237)
    KORVAL_FIELD_I32(RotatorOffset, 7240)
    KORVAL_FIELD_I32(RotatorCorrection, 7244)
    // How the rotator turns on each band 0..15: 0 disabled, 1 normal, 2 with the offset, 3 reversed.
    static constexpr std::size_t RotatorRuleOffset = 7248;
    std::uint8_t RotatorRule(int band) const;
    void SetRotatorRule(int band, std::uint8_t rule);
    // The whole rotator block (kind, port, offset, correction, rules), for a window's Cancel.
    static constexpr std::size_t RotatorBlockOffset = RotatorKindOffset;
    static constexpr std::size_t RotatorBlockSize = RotatorRuleOffset + 16 - RotatorKindOffset;
    KORVAL_FIELD_U8(BandDecoder, 7264)
    KORVAL_FIELD_U8(BandDecoderPort, 7265)
    KORVAL_FIELD_U8(BandDecoderKind, 7266)

    // World map (its view block at 7288 is 32 bytes of the globe code).
    KORVAL_FIELD_U8(MapProjection, 7272)       // 1..7, 255 = never saved
    KORVAL_FIELD_U32(MapWaterColour, 7276)
    KORVAL_FIELD_U32(MapLandColour, 7280)
    static constexpr std::size_t MapViewOffset = 7288;
    static constexpr std::size_t MapLayerOffset = 7320;
    bool MapLayerVisible(int layer) const;     // 0..15
    void SetMapLayerVisible(int layer, bool on);
    static constexpr std::size_t MapOptionOffset = 7336;
    bool MapOption(int index) const;           // 0..4
    void SetMapOption(int index, bool on);

    // PSK31 terminal.
    KORVAL_FIELD_U16(PskCenterFreq, 7344)
    KORVAL_FIELD_U16(PskRxFreq, 7346)
    KORVAL_FIELD_U16(PskSecondFreq, 7348)
    KORVAL_FIELD_U8(PskMode, 7350)
    KORVAL_FIELD_BOOL(PskAfc, 7351)
    KORVAL_FIELD_BOOL(PskNet, 7352)
    KORVAL_FIELD_U8(PskSmoothing, 7353)
    KORVAL_FIELD_U8(PskAfcRange, 7354)
    KORVAL_FIELD_U8(PskBaseline, 7355)
    KORVAL_FIELD_BOOL(PskSlowImd, 7356)
    KORVAL_FIELD_U8(PskSquelch, 7357)          // percent
    KORVAL_FIELD_U8(PskDisplayKind, 7358)      // 0 both, 1 spectrum, 2 waterfall
    std::uint8_t PskSplitter(int index) const; // 0..2, percent
    void SetPskSplitter(int index, std::uint8_t percent);
    KORVAL_FIELD_U8(PskKeying, 7362)           // 1 VOX, 2 CW interface, 3+ serial port + 2
    KORVAL_FIELD_U8(PskKeyLine, 7363)
    KORVAL_FIELD_BOOL(PskOtherLineHigh, 7364)
    KORVAL_FIELD_BOOL(PskSecondChannel, 7365)
    KORVAL_FIELD_BOOL(PskAltColours, 7366)
    KORVAL_FIELD_U8(PskDisplaySpan, 7367)      // 1 full, 2 +-999 Hz, else +-499 Hz
    static constexpr std::size_t PskKeyOffset = 7368;
    std::string PskKey(int index) const;       // 0..15
    void SetPskKey(int index, std::string_view text);

private:
    struct ZeroTag {};
    explicit TConfigRecord(ZeroTag) { b_.fill(0); }
    std::array<std::uint8_t, Size> b_;
};

#undef KORVAL_FIELD_U8
#undef KORVAL_FIELD_BOOL
#undef KORVAL_FIELD_U16
#undef KORVAL_FIELD_I32
#undef KORVAL_FIELD_U32
#undef KORVAL_FIELD_DOUBLE
#undef KORVAL_FIELD_STR

// The one live configuration; its initial contents are the defaults.
extern TConfigRecord Config;

// What the configuration needs to know about the screen; the window layer notes it at start
// (SetScreenMetrics) so that the engine and its tests need no display.
struct TScreenMetrics {
    int PixelsPerInch = 96;
    int Width = 1024;
    int Height = 768;
};
void SetScreenMetrics(const TScreenMetrics& m);
const TScreenMetrics& ScreenMetrics();

inline constexpr const char* ScreenChangedMessage = "Screen characteristics have changed,\rusing defaults setting";

// Loads SAVE/KORVAL.CFG into the record. True when no valid file was found (the record then
// holds its defaults with the window defaults reset); a file of the wrong size or magic is
// reported to the operator, a missing or empty one is not.
bool LoadConfiguration(TConfigRecord& record);
bool LoadConfiguration();
// Notes the screen into the record and writes it whole, atomically (with the keep-backup copy
// when the record asks for it). Throws EFileWriteError when the file cannot be written.
void SaveConfiguration(TConfigRecord& record);
void SaveConfiguration();

// Form scale from the screen's pixels per inch; fonts 0 "Arial" 9, 1 and 2 "Fixedsys" at 11 scaled.
void ResetWindowDefaults(TConfigRecord& record);

// The configured user level allows a command of this level.
bool UserLevelAllows(int level);
// True when the level is not above the configured user level.
inline bool UserLevelAllowsLevel(int level, int configuredLevel) { return level <= configuredLevel; }

// A window's rectangle; the placement code works on this so it can be tested without windows.
struct TFormRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TFormRect&) const = default;
};
// Moves (and if need be shrinks) a window so it lies on the screen and not under the main
// window's strip across the top of the screen.
void KeepRectOnScreen(TFormRect& r, const TScreenMetrics& screen, int mainWidth, int mainHeight);
// The engine side of restoring a placement: true when the slot holds one.
bool RestoreRectFromSlot(const TConfigRecord& record, int slot, TFormRect& r, int mainHeight);

// Every '~' in the three label greetings and the four talk patterns becomes the own callsign,
// each text cut to its capacity.
void PutOwnCallIntoTexts(TConfigRecord& record);

} // namespace korval
