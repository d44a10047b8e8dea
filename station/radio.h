#pragma once
// The open connection to the station's radio. Driven entirely by a radio definition, it reads
// frequency, mode, split, clarifier and S meter and sets frequency, mode and split over the
// radio's serial port, or through a file shared with another program: a handshake file (a lock
// word, then the blocks the other program reads and writes) or a data directory of text files.
//
// Everything runs in the main thread. While the engine waits for a reply it lets the host run
// only port data and timer events (ProcessRadioMessages), never user input. A timer event that
// tries to start another exchange during that wait is refused softly: the call reports failure
// (Busy() tells why) and the caller tries again on its next step; the running exchange goes on.
#include "station/cat_radio.h"
#include "station/radio_definition.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace korval {

class TApdComPort;

// Ends an exchange ("Radio timed out", "Bad reply from radio"); the public operations catch it
// and disable the radio.
class ERadioException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* RadioTimedOutText = "Radio timed out";
inline constexpr const char* RadioBadReplyText = "Bad reply from radio";
inline constexpr const char* RadioDisabledText = "Radio interface has been disabled";
inline constexpr const char* RadioBusyText = "Radio is busy";

// The configuration the engine uses.
struct TRadioSettings {
    int comPort = 1;
    int baud = 0;             // 0: the definition's rate
    std::uint8_t address = 0; // the radio's bus address, put in at the "Write ID" position
    int retries = 3;
    bool dtr = true, rts = true;
    int cwKeyingInterface = 1;  // 5 keys on the radio port's DTR, 6 on its RTS
};

// What the engine needs from the program around it.
class TRadioHost {
public:
    virtual ~TRadioHost() = default;
    // Runs waiting port-data and timer events, waiting a little (about a millisecond) when none
    // is there; never user input.
    virtual void ProcessRadioMessages() = 0;
    // Milliseconds from any fixed point.
    virtual std::int64_t TickCount() = 0;
    // Whether monitor lines are wanted (the definition window is open), and one line of them.
    virtual bool Monitoring() const { return false; }
    virtual void Monitor(const std::string& line) { (void)line; }
    virtual void NotifyRadioChanged() {}
    // The radio failed: the text for the operator's error box ("Radio timed out" CR "Radio
    // interface has been disabled"). The host frees the radio afterwards; until then every
    // operation of the engine fails at once.
    virtual void RadioDisabled(const std::string& text) { (void)text; }
};

// Error numbers (Error()).
enum TRadioError : std::uint8_t {
    reNone = 0,
    reNoDefinition = 1,
    reNoReadCommand = 5,
    reReadLengthZero = 6,
    reFieldNotDefined = 7,
    reDataFileRead = 8,
    reDataFileWrite = 9,
    reFieldOutsideReply = 10,   // a field reaches beyond its command's reply
    reFieldOutsideCommand = 11, // a written field would reach beyond its command
};

class TRadio : public TCatRadio {
public:
    // Opens the serial port, the handshake file or checks the data directory; throws when it
    // cannot (ERadioException for the file interfaces, naming the file).
    TRadio(const TRadioDefinition& definition, const TRadioSettings& settings, TRadioHost& host);
    ~TRadio() override;
    TRadio(const TRadio&) = delete;
    TRadio& operator=(const TRadio&) = delete;

    // Each returns true when it failed; the stored values are then what it reports.
    bool ReadFrequencyAndMode(double& rxKHz, double& txKHz, std::uint8_t& mode, bool& split) override;
    bool SetFrequencyAndMode(std::uint8_t mode, bool split, double rxKHz, double txKHz) override;
    bool SetFrequency(double kHz) override;
    bool ReadSMeter(std::uint8_t& s) override;
    // "14,250KHz", "14,250/14,255KHz" when split; empty when the read failed.
    void FormatFrequency(std::string& s);
    // Runs "Init" when the definition has one; true when that failed.
    bool Initialize();

    bool CanReadSMeter() const { return def_.HasCommand(rcReadSMeter); }
    bool CanWriteMode(std::uint8_t mode) const;
    bool FrequencyOutOfRange(double kHz) const { return kHz < def_.FreqLow || kHz > def_.FreqHigh; }
    std::uint8_t ModeWriteCode(std::uint8_t mode, double kHz) const;
    std::uint8_t ModeFromCode(std::int32_t code) const;

    std::uint8_t Error() const { return error_; }
    // An exchange is running (a call made now fails softly).
    bool Busy() const override { return busy_; }
    bool Disabled() const { return disabled_; }
    std::uint8_t Mode() const { return mode_; }
    double RxFreq() const { return rxFreq_; }
    double TxFreq() const { return txFreq_; }
    bool Split() const { return split_; }
    // The values of the last read, for the definition window.
    double ClarifierKHz() const { return clarifier_ / 1000.0; }
    bool RitOn() const { return rit_; }
    bool XitOn() const { return xit_; }
    const TRadioDefinition& Definition() const { return def_; }

    // Reply time allowed per try, 3000 ms.
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }

    // Command or reply bytes as the monitor shows them.
    static std::string DisplayStr(std::uint8_t commandFormat, const std::string& bytes);

private:
    struct TSlot {
        bool valid = false;
        std::uint8_t command = 0;
        std::string reply;
    };
    class TBusyGuard;

    void OpenSerial(const TRadioSettings& settings);
    void OpenFileInterface(const TRadioSettings& settings);
    bool HandshakeFile() const { return handle_ >= 0; }
    bool DataDirectory() const { return handle_ == DataDirectoryHandle; }
    bool LockHandshakeFile();
    void UnlockHandshakeFile();
    void WriteHandshakeFile();
    bool ReadHandshakeFile(std::string& block);
    bool ReadDataFile(std::int32_t& rx, std::int32_t& tx, std::uint8_t& mode);
    bool WriteDataFile();
    bool RetryForTimeout(const std::function<bool()>& attempt);
    void ClearCache();
    void Log(const std::string& text);
    std::string Convert(int command) const { return ConvertCommand(def_.CommandFormat, def_.Commands[static_cast<std::size_t>(command)].command); }

    std::string Exchange(std::string command, int expected, int readCommand);
    std::string ExchangeWithRetries(const std::string& command, int expected, int echoLength, int readCommand);
    std::string SendAndWait(const std::string& command, int expected);
    bool ReplyDecodes(const std::string& reply, int readCommand) const;

    void ReadCommand(int c);
    void LoadField(int f);
    std::int32_t ReadInteger(int f);
    bool ReadFlag(int f);
    void WriteCommand(int c);
    void ExecuteCommand(int c);
    void ExecuteIfPresent(int c);
    void WriteField(int f, std::int32_t value);
    void WriteVfo(int field, std::uint8_t mode, double kHz);
    bool VfoBCurrent();
    void StoreReading(std::int64_t mainHz, std::int64_t otherHz, std::uint8_t mode, bool split);

    // Runs one public operation: refuses softly while busy or disabled, catches the engine's
    // exception and disables the radio.
    template <class F>
    bool Guarded(F&& body);
    void Disable(const std::string& text);

    TRadioDefinition def_;
    TRadioSettings settings_;
    TRadioHost& host_;
    std::unique_ptr<TApdComPort> port_;
    static constexpr int SerialHandle = -1, DataDirectoryHandle = -2;
    int handle_ = SerialHandle;  // else the handshake file's descriptor
    std::string interfaceName_;

    std::uint8_t mode_ = 14;
    double rxFreq_ = 14175.0, txFreq_ = 0;
    bool split_ = false;
    std::int32_t clarifier_ = 0;
    bool rit_ = false, xit_ = false;
    std::array<TSlot, RadioLocationCount> cache_ {};
    std::uint8_t error_ = 0;
    std::string commandBuffer_;
    std::string garbage_;
    std::string received_;
    bool busy_ = false;        // a public operation is running
    bool disabled_ = false;
    int timeoutMs_ = 3000;
};

} // namespace korval
