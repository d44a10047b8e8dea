#pragma once
// The port object the rest of the program talks to: line settings as properties, open and close
// through a dispatcher, queued output, received bytes one at a time, DTR and RTS, and the
// dispatcher's notices turned into events in the main thread.
#include "comms/apd_dispatcher.h"
#include "comms/apd_trace.h"
#include "comms/serial_device.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace korval {

enum TDeviceLayer { dlWin16, dlFossil, dlWin32, dlWinsock };
enum TComPortState : std::uint8_t { csClosed = 0, csShuttingDown = 1, csOpen = 2 };
// THWFlowOptions is a set of these bits.
enum THWFlowOption : unsigned { hwfUseDTR = 1, hwfUseRTS = 2, hwfRequireDSR = 4, hwfRequireCTS = 8 };
using THWFlowOptions = unsigned;
enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };
enum TTapiMode { tmNone, tmAuto, tmOn, tmOff };

// Trigger message numbers.
inline constexpr std::uint16_t apw_TriggerAvail = 32257;

class TApdBaseComponent {
public:
    virtual ~TApdBaseComponent() = default;
    std::string QrvxVersion() const { return "v2.58"; }
    void SetQrvxVersion(const std::string&) {}
};

class TApdCustomComPort : public TApdBaseComponent, protected TDispatchListener {
public:
    using TTriggerEvent = std::function<void(TApdCustomComPort& cp, std::uint16_t msg, std::uint16_t triggerHandle,
                                             std::uint16_t data)>;
    using TTriggerAvailEvent = std::function<void(TApdCustomComPort& cp, std::uint16_t count)>;
    using TNotifyEvent = std::function<void(TApdCustomComPort& cp)>;
    // Asks the operator for a port number (the port selection window); false when none was chosen.
    using TPortPrompt = std::function<bool(int& comNumber)>;

    TApdCustomComPort();
    ~TApdCustomComPort() override;
    TApdCustomComPort(const TApdCustomComPort&) = delete;
    TApdCustomComPort& operator=(const TApdCustomComPort&) = delete;

    static void SetPortPrompt(TPortPrompt prompt);

    TDeviceLayer DeviceLayer() const { return deviceLayer_; }
    void SetDeviceLayer(TDeviceLayer layer);
    int ComNumber() const { return comNumber_; }
    void SetComNumber(int number);
    int Baud() const { return line_.baud; }
    void SetBaud(int baud);
    TParity Parity() const { return line_.parity; }
    void SetParity(TParity parity);
    int DataBits() const { return line_.dataBits; }
    void SetDataBits(int bits);
    int StopBits() const { return line_.stopBits; }
    void SetStopBits(int bits);
    bool PromptForPort() const { return promptForPort_; }
    void SetPromptForPort(bool on) { promptForPort_ = on; }
    unsigned InSize() const { return inSize_; }
    void SetInSize(unsigned size);
    unsigned OutSize() const { return outSize_; }
    void SetOutSize(unsigned size);
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool on) { autoOpen_ = on; }
    bool Open() const { return open_; }
    void SetOpen(bool open);
    bool DTR() const { return dtr_; }
    void SetDTR(bool on);
    bool RTS() const { return rts_; }
    void SetRTS(bool on);
    THWFlowOptions HWFlowOptions() const { return hwFlow_; }
    void SetHWFlowOptions(THWFlowOptions options);
    TSWFlowOptions SWFlowOptions() const { return swFlow_; }
    void SetSWFlowOptions(TSWFlowOptions options);
    char XOnChar() const { return xonChar_; }
    void SetXOnChar(char c);
    char XOffChar() const { return xoffChar_; }
    void SetXOffChar(char c);
    unsigned BufferFull() const { return bufferFull_; }
    void SetBufferFull(unsigned level);
    unsigned BufferResume() const { return bufferResume_; }
    void SetBufferResume(unsigned level);
    TTraceLogState Tracing() const { return tracing_; }
    void SetTracing(TTraceLogState state);
    std::uint32_t TraceSize() const { return traceSize_; }
    void SetTraceSize(std::uint32_t size);
    const std::string& TraceName() const { return traceName_; }
    void SetTraceName(const std::string& name) { traceName_ = name.substr(0, 255); }
    bool TraceHex() const { return traceHex_; }
    void SetTraceHex(bool on) { traceHex_ = on; }
    TTraceLogState Logging() const { return logging_; }
    void SetLogging(TTraceLogState state);
    std::uint32_t LogSize() const { return logSize_; }
    void SetLogSize(std::uint32_t size);
    const std::string& LogName() const { return logName_; }
    void SetLogName(const std::string& name) { logName_ = name.substr(0, 255); }
    bool LogHex() const { return logHex_; }
    void SetLogHex(bool on) { logHex_ = on; }
    bool RS485Mode() const { return rs485_; }
    void SetRS485Mode(bool on);
    TTapiMode TapiMode() const { return tapiMode_; }
    void SetTapiMode(TTapiMode mode) { tapiMode_ = mode; }
    bool UseMSRShadow() const { return useMSRShadow_; }
    void SetUseMSRShadow(bool on) { useMSRShadow_ = on; }
    bool UseEventWord() const { return useEventWord_; }
    void SetUseEventWord(bool on) { useEventWord_ = on; }
    unsigned CommNotificationLevel() const { return commNotificationLevel_; }
    void SetCommNotificationLevel(unsigned level) { commNotificationLevel_ = level; }
    unsigned AvailThreshold() const { return availThreshold_; }
    void SetAvailThreshold(unsigned threshold);

    TTriggerEvent OnTrigger;
    TTriggerAvailEvent OnTriggerAvail;
    TNotifyEvent OnPortOpen;
    TNotifyEvent OnPortClose;

    TComPortState State() const { return state_; }

    // The next received byte; #0 while shutting down. Raises -3007 when nothing is there.
    char GetChar();
    // Queue bytes as one block; raise -3006 when the block is larger than the free space and
    // -2007 while the port is shutting down (nothing would be sent).
    void PutChar(char c);
    void PutString(const std::string& s);
    int PutBlock(const void* block, std::size_t len);
    unsigned OutBuffFree();
    unsigned InBuffUsed();
    unsigned GetLineError();
    bool CheckLineBreak();
    // The dispatcher, opening the port first when AutoOpen allows; raises -2007 otherwise.
    TApdBaseDispatcher& Dispatcher();
    bool HasDispatcher() const { return dispatcher_ != nullptr; }

protected:
    // The dispatcher for the device layer; raises ENullApi for a layer this port does not have.
    virtual std::shared_ptr<TApdBaseDispatcher> CreateDispatcher();
    // Opens the device on the new dispatcher: 0 or a negative code.
    virtual int OpenDevice(TApdBaseDispatcher& dispatcher);
    virtual void ValidateComNumber();
    virtual bool SupportsLayer(TDeviceLayer layer) const { return layer == dlWin32; }
    virtual void DeviceLayerChanged() {}
    virtual void PortOpenNotify();
    virtual void PortCloseNotify();
    virtual void TriggerEvent(std::uint16_t msg, std::uint16_t triggerHandle, std::uint16_t data);
    virtual void TriggerAvail(std::uint16_t count);

    void DispatchAvail(unsigned count) override;
    void OpenProcedure();
    // Dumps a running trace and log and closes. A dump that cannot be written is raised once
    // the port is closed, unless `raiseDumpErrors` is false (a port being destroyed).
    void ClosePort(bool raiseDumpErrors = true);
    void Check(int code);
    // A close the library starts itself (the peer hung up): there is no caller to raise a dump
    // error to, and it must not escape into the event loop.
    static void CloseFromMainLoop(TApdCustomComPort& port) { port.ClosePort(false); }
    // Runs `call` in the main thread later, unless this port is gone by then.
    void PostLater(std::function<void(TApdCustomComPort&)> call);

private:
    void CompleteClose();
    void ApplyLine();
    void ApplyFlow();
    void ApplyHWFlow();
    void ApplySWFlow();
    // Switches the trace or the log of the open port; `property` follows what it did.
    void SwitchRecorder(TApdTraceLog* recorder, TTraceLogState& property, TTraceLogState state, std::uint32_t size,
                        const std::string& name, bool hex);
    void StartRecorder(TApdTraceLog& recorder, TTraceLogState& property, std::uint32_t size, bool hex);

    TDeviceLayer deviceLayer_ = dlWin32;
    int comNumber_ = 0;
    TLineSettings line_;
    bool promptForPort_ = true;
    unsigned inSize_ = 4096;
    unsigned outSize_ = 4096;
    bool autoOpen_ = true;
    bool open_ = false;
    bool dtr_ = true;
    bool rts_ = true;
    THWFlowOptions hwFlow_ = 0;
    TSWFlowOptions swFlow_ = swfNone;
    char xonChar_ = 17;
    char xoffChar_ = 19;
    unsigned bufferFull_ = 0;
    unsigned bufferResume_ = 0;
    TTraceLogState tracing_ = tlOff;
    std::uint32_t traceSize_ = 10000;
    std::string traceName_ = "QRVX.TRC";
    bool traceHex_ = true;
    TTraceLogState logging_ = tlOff;
    std::uint32_t logSize_ = 10000;
    std::string logName_ = "QRVX.LOG";
    bool logHex_ = true;
    bool rs485_ = false;
    TTapiMode tapiMode_ = tmAuto;
    bool useMSRShadow_ = true;
    bool useEventWord_ = true;
    unsigned commNotificationLevel_ = 10;
    unsigned availThreshold_ = 1;

    TComPortState state_ = csClosed;
    bool reopenWanted_ = false;
    std::shared_ptr<TApdBaseDispatcher> dispatcher_;
    std::shared_ptr<TApdCustomComPort*> alive_;
};

// The same port with every property published.
class TApdComPort : public TApdCustomComPort {};

} // namespace korval
