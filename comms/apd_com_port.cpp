#include "comms/apd_com_port.h"

#include "comms/apd_errors.h"
#include "comms/apd_win32_dispatcher.h"
#include "comms/com_port_map.h"
#include "comms/main_thread_queue.h"

#include <exception>
#include <mutex>

namespace korval {

namespace {
std::mutex g_promptLock;
TApdCustomComPort::TPortPrompt g_prompt;

std::string InHome(const std::string& name)
{
    std::string home = TComPortMap::Folder();
    if (name.empty() || name[0] == '/' || home.empty())
        return name;
    return home + "/" + name;
}
} // namespace

TApdCustomComPort::TApdCustomComPort() : alive_(std::make_shared<TApdCustomComPort*>(this)) {}

TApdCustomComPort::~TApdCustomComPort()
{
    alive_.reset();
    if (state_ == csOpen)
        ClosePort(false);
    if (dispatcher_) {
        dispatcher_->SetListener(nullptr);
        dispatcher_->DonePort();
        dispatcher_.reset();
    }
}

void TApdCustomComPort::SetPortPrompt(TPortPrompt prompt)
{
    std::lock_guard<std::mutex> g(g_promptLock);
    g_prompt = std::move(prompt);
}

void TApdCustomComPort::Check(int code)
{
    CheckException(code);
}

void TApdCustomComPort::PostLater(std::function<void(TApdCustomComPort&)> call)
{
    TMainThreadQueue* queue = MainThreadQueue();
    if (!queue) {
        call(*this);
        return;
    }
    std::weak_ptr<TApdCustomComPort*> w = alive_;
    queue->Post([w, call = std::move(call)] {
        if (auto p = w.lock())
            call(**p);
    });
}

// ---- open and close ----

void TApdCustomComPort::SetOpen(bool open)
{
    if (open == open_)
        return;
    if (!open) {
        ClosePort();
        return;
    }
    if (state_ == csClosed)
        OpenProcedure();
    else if (state_ == csShuttingDown)
        reopenWanted_ = true;
}

void TApdCustomComPort::ValidateComNumber()
{
    if (comNumber_ != 0)
        return;
    TPortPrompt prompt;
    {
        std::lock_guard<std::mutex> g(g_promptLock);
        prompt = g_prompt;
    }
    int chosen = 0;
    if (!promptForPort_ || !prompt || !prompt(chosen) || chosen <= 0)
        Check(ecNoPortSelected);
    comNumber_ = chosen;
}

std::shared_ptr<TApdBaseDispatcher> TApdCustomComPort::CreateDispatcher()
{
    if (deviceLayer_ != dlWin32)
        Check(ecNullApi);
    // No telephony here: a port handed over by it cannot exist.
    if (tapiMode_ == tmOn)
        Check(-2012);
    return std::make_shared<TApdWin32Dispatcher>();
}

int TApdCustomComPort::OpenDevice(TApdBaseDispatcher& dispatcher)
{
    auto& serial = static_cast<TApdWin32Dispatcher&>(dispatcher);
    return serial.InitPort(TComPortMap::DevicePath(comNumber_), line_, inSize_, outSize_, dtr_, rts_ && !rs485_);
}

void TApdCustomComPort::OpenProcedure()
{
    if (tapiMode_ != tmOn)
        ValidateComNumber();
    std::shared_ptr<TApdBaseDispatcher> dispatcher = CreateDispatcher();
    // Before the device opens: its threads read from the first moment, and a peer that talks at
    // once (a telnet server's negotiation) must be in the log.
    StartRecorder(dispatcher->Trace(), tracing_, traceSize_, traceHex_);
    StartRecorder(dispatcher->Log(), logging_, logSize_, logHex_);
    int rc = OpenDevice(*dispatcher);
    if (rc == ecAccessDenied)
        rc = ecAlreadyOpen;
    else if (rc == ecFileNotFound || rc == ecPathNotFound)
        rc = ecBadId;
    Check(rc);
    dispatcher_ = std::move(dispatcher);
    state_ = csOpen;
    try {
        ApplyFlow();
        Check(dispatcher_->SetXonXoffChars(xonChar_, xoffChar_));
        dispatcher_->SetAvailThreshold(availThreshold_);
    } catch (...) {
        dispatcher_->DonePort();
        dispatcher_.reset();
        state_ = csClosed;
        throw;
    }
    open_ = true;
    dispatcher_->SetListener(this);
    PortOpenNotify();
}

void TApdCustomComPort::ClosePort(bool raiseDumpErrors)
{
    open_ = false;
    if (state_ != csOpen)
        return;
    // A dump that fails must neither keep the port open nor stop the other dump.
    std::exception_ptr dumpError;
    auto dump = [&](TApdTraceLog& recorder, TTraceLogState& property, std::uint32_t size, const std::string& name,
                    bool hex) {
        if (property != tlOn && property != tlPause)
            return;
        property = tlOff;
        try {
            recorder.SetState(tlDump, size, InHome(name), hex);
        } catch (...) {
            if (!dumpError)
                dumpError = std::current_exception();
        }
    };
    dump(dispatcher_->Trace(), tracing_, traceSize_, traceName_, traceHex_);
    dump(dispatcher_->Log(), logging_, logSize_, logName_, logHex_);
    state_ = csShuttingDown;
    PortCloseNotify();
    availThreshold_ = dispatcher_->AvailThreshold();
    bool delivering = dispatcher_->Delivering();
    dispatcher_->SetListener(nullptr);
    dispatcher_->DonePort();
    if (delivering)
        // A handler is running: the close completes once it has returned.
        PostLater([](TApdCustomComPort& port) { port.CompleteClose(); });
    else
        CompleteClose();
    if (dumpError && raiseDumpErrors)
        std::rethrow_exception(dumpError);
}

void TApdCustomComPort::CompleteClose()
{
    if (state_ != csShuttingDown)
        return;
    dispatcher_.reset();
    state_ = csClosed;
    if (reopenWanted_) {
        reopenWanted_ = false;
        OpenProcedure();
    }
}

void TApdCustomComPort::PortOpenNotify()
{
    if (OnPortOpen)
        OnPortOpen(*this);
}

void TApdCustomComPort::PortCloseNotify()
{
    if (OnPortClose)
        OnPortClose(*this);
}

TApdBaseDispatcher& TApdCustomComPort::Dispatcher()
{
    if (!dispatcher_ && state_ == csClosed && autoOpen_)
        SetOpen(true);
    if (!dispatcher_)
        Check(ecCommNotOpen);
    return *dispatcher_;
}

// ---- data ----

char TApdCustomComPort::GetChar()
{
    if (state_ == csShuttingDown)
        return 0;
    int rc = Dispatcher().GetChar();
    Check(rc);
    return static_cast<char>(rc);
}

int TApdCustomComPort::PutBlock(const void* block, std::size_t len)
{
    // Bytes put while the port shuts down would be lost: say so rather than pretend.
    if (state_ == csShuttingDown)
        Check(ecCommNotOpen);
    Check(Dispatcher().PutBlock(static_cast<const std::uint8_t*>(block), len));
    return 0;
}

void TApdCustomComPort::PutChar(char c)
{
    PutBlock(&c, 1);
}

void TApdCustomComPort::PutString(const std::string& s)
{
    PutBlock(s.data(), s.size());
}

unsigned TApdCustomComPort::OutBuffFree()
{
    return state_ == csOpen ? dispatcher_->OutBuffFree() : outSize_;
}

unsigned TApdCustomComPort::InBuffUsed()
{
    return state_ == csOpen ? dispatcher_->InBuffUsed() : 0;
}

unsigned TApdCustomComPort::GetLineError()
{
    return state_ == csOpen ? dispatcher_->GetLineError() : 0;
}

bool TApdCustomComPort::CheckLineBreak()
{
    return state_ == csOpen && dispatcher_->CheckLineBreak();
}

// ---- events ----

void TApdCustomComPort::DispatchAvail(unsigned count)
{
    auto n = static_cast<std::uint16_t>(count);
    TriggerEvent(apw_TriggerAvail, n, n);
    TriggerAvail(n);
}

void TApdCustomComPort::TriggerEvent(std::uint16_t msg, std::uint16_t triggerHandle, std::uint16_t data)
{
    if (OnTrigger)
        OnTrigger(*this, msg, triggerHandle, data);
}

void TApdCustomComPort::TriggerAvail(std::uint16_t count)
{
    if (OnTriggerAvail)
        OnTriggerAvail(*this, count);
}

// ---- settings ----

void TApdCustomComPort::SetDeviceLayer(TDeviceLayer layer)
{
    if (state_ == csClosed && SupportsLayer(layer)) {
        deviceLayer_ = layer;
        DeviceLayerChanged();
    }
}

void TApdCustomComPort::SetComNumber(int number)
{
    if (number == comNumber_)
        return;
    if (state_ != csOpen) {
        comNumber_ = number;
        return;
    }
    TTraceLogState tracing = tracing_, logging = logging_;
    ClosePort();
    comNumber_ = number;
    tracing_ = tracing;
    logging_ = logging;
    SetOpen(true);
}

void TApdCustomComPort::ApplyLine()
{
    if (state_ == csOpen)
        Check(dispatcher_->SetLine(line_));
}

void TApdCustomComPort::SetBaud(int baud)
{
    line_.baud = baud;
    ApplyLine();
}

void TApdCustomComPort::SetParity(TParity parity)
{
    line_.parity = parity;
    ApplyLine();
}

void TApdCustomComPort::SetDataBits(int bits)
{
    line_.dataBits = bits;
    ApplyLine();
}

void TApdCustomComPort::SetStopBits(int bits)
{
    line_.stopBits = bits;
    ApplyLine();
}

void TApdCustomComPort::SetInSize(unsigned size)
{
    inSize_ = size;
    if (state_ == csOpen)
        Check(dispatcher_->SetBufferSizes(inSize_, outSize_));
}

void TApdCustomComPort::SetOutSize(unsigned size)
{
    outSize_ = size;
    if (state_ == csOpen)
        Check(dispatcher_->SetBufferSizes(inSize_, outSize_));
}

void TApdCustomComPort::SetDTR(bool on)
{
    if (state_ == csOpen) {
        int rc = dispatcher_->SetDTR(on);
        Check(rc);
        if (rc == 1)
            return; // under flow control
    }
    dtr_ = on;
}

void TApdCustomComPort::SetRTS(bool on)
{
    if (state_ == csOpen) {
        int rc = dispatcher_->SetRTS(on);
        Check(rc);
        if (rc == 1)
            return;
    }
    rts_ = on;
}

void TApdCustomComPort::ApplyHWFlow()
{
    if (hwFlow_ != 0) {
        if (bufferFull_ == 0 || bufferFull_ > inSize_)
            bufferFull_ = inSize_ * 9 / 10;
        if (bufferResume_ == 0 || bufferResume_ > bufferFull_)
            bufferResume_ = inSize_ / 10;
    }
    if (state_ == csOpen)
        Check(dispatcher_->SetHWFlowOptions(bufferFull_, bufferResume_, hwFlow_));
}

void TApdCustomComPort::ApplySWFlow()
{
    unsigned mode = 0;
    if (swFlow_ != swfNone) {
        if (bufferFull_ == 0 || bufferFull_ > inSize_)
            bufferFull_ = inSize_ * 3 / 4;
        if (bufferResume_ == 0 || bufferResume_ > bufferFull_)
            bufferResume_ = inSize_ / 4;
        mode = swFlow_ == swfBoth ? 3 : swFlow_ == swfReceive ? 2 : 1;
    }
    if (state_ == csOpen) {
        Check(dispatcher_->SetSWFlowOptions(bufferFull_, bufferResume_, mode));
        Check(dispatcher_->SetXonXoffChars(xonChar_, xoffChar_));
    }
}

void TApdCustomComPort::ApplyFlow()
{
    ApplyHWFlow();
    ApplySWFlow();
    if (state_ == csOpen) {
        SetDTR(dtr_);
        SetRTS(rts_ && !rs485_);
    }
}

void TApdCustomComPort::SetHWFlowOptions(THWFlowOptions options)
{
    hwFlow_ = options & 15u;
    if (hwFlow_ & (hwfUseRTS | hwfRequireCTS))
        rs485_ = false;
    ApplyHWFlow();
}

void TApdCustomComPort::SetSWFlowOptions(TSWFlowOptions options)
{
    swFlow_ = options;
    ApplySWFlow();
}

void TApdCustomComPort::SetXOnChar(char c)
{
    xonChar_ = c;
    if (state_ == csOpen)
        Check(dispatcher_->SetXonXoffChars(xonChar_, xoffChar_));
}

void TApdCustomComPort::SetXOffChar(char c)
{
    xoffChar_ = c;
    if (state_ == csOpen)
        Check(dispatcher_->SetXonXoffChars(xonChar_, xoffChar_));
}

void TApdCustomComPort::SetBufferFull(unsigned level)
{
    bufferFull_ = level > inSize_ ? inSize_ * 9 / 10 : level;
    ApplyHWFlow();
    ApplySWFlow();
}

void TApdCustomComPort::SetBufferResume(unsigned level)
{
    bufferResume_ = level > bufferFull_ ? bufferFull_ / 10 : level;
    ApplyHWFlow();
    ApplySWFlow();
}

void TApdCustomComPort::SetRS485Mode(bool on)
{
    rs485_ = on;
    if (on) {
        hwFlow_ &= ~unsigned(hwfUseRTS | hwfRequireCTS);
        SetRTS(false);
    }
}

void TApdCustomComPort::SetAvailThreshold(unsigned threshold)
{
    availThreshold_ = threshold;
    if (dispatcher_)
        dispatcher_->SetAvailThreshold(threshold);
}

void TApdCustomComPort::StartRecorder(TApdTraceLog& recorder, TTraceLogState& property, std::uint32_t size,
                                      bool hex)
{
    if (property != tlOn && property != tlPause)
        return;
    Check(recorder.SetState(tlOn, size, "", hex));
    recorder.SetState(property, size, "", hex);
}

void TApdCustomComPort::SwitchRecorder(TApdTraceLog* recorder, TTraceLogState& property, TTraceLogState state,
                                       std::uint32_t size, const std::string& name, bool hex)
{
    if (state_ != csOpen || !recorder) {
        // Applied at the next open; there is nothing to dump or clear yet.
        if (state == tlOn || state == tlOff || state == tlPause)
            property = state;
        return;
    }
    try {
        Check(recorder->SetState(state, size, InHome(name), hex));
    } catch (...) {
        property = recorder->State();
        throw;
    }
    property = recorder->State();
}

void TApdCustomComPort::SetTracing(TTraceLogState state)
{
    SwitchRecorder(dispatcher_ ? &dispatcher_->Trace() : nullptr, tracing_, state, traceSize_, traceName_,
                   traceHex_);
}

void TApdCustomComPort::SetTraceSize(std::uint32_t size)
{
    traceSize_ = size;
    if (state_ == csOpen && tracing_ == tlOn) {
        SetTracing(tlOff);
        SetTracing(tlOn);
    }
}

void TApdCustomComPort::SetLogging(TTraceLogState state)
{
    SwitchRecorder(dispatcher_ ? &dispatcher_->Log() : nullptr, logging_, state, logSize_, logName_, logHex_);
}

void TApdCustomComPort::SetLogSize(std::uint32_t size)
{
    logSize_ = size;
    if (state_ == csOpen && logging_ == tlOn) {
        SetLogging(tlOff);
        SetLogging(tlOn);
    }
}

} // namespace korval
