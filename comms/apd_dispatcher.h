#pragma once
// The engine behind an open port: the received-data ring, the output buffer, the dispatch thread
// that moves device input into the ring and decides when the owner must be told, the writer thread
// that drains the output buffer into the device, and the delivery of the data-available notice in
// the main thread through the main-thread queue.
//
// Delivery: the dispatch thread posts one notice at a time and goes on reading the device. The
// notice runs in the main thread; its handler reads ahead of the ring's read index with GetChar,
// and only when the handler has returned does the read index move, by what it read. A started
// delivery is never abandoned and only the main thread ever moves the read index.
#include "comms/apd_log.h"
#include "comms/apd_trace.h"
#include "comms/serial_device.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korval {

// The port's side of a dispatcher; called in the main thread.
class TDispatchListener {
public:
    virtual ~TDispatchListener() = default;
    virtual void DispatchAvail(unsigned count) = 0;
    // The device ended (a TCP peer closed) and every byte before the end has been offered.
    virtual void DispatchDeviceEnded() {}
    // A socket event of the TCP layer (connect, error).
    virtual void DispatchSocketEvent(int /*event*/, int /*code*/) {}
};

class TApdBaseDispatcher : public std::enable_shared_from_this<TApdBaseDispatcher> {
public:
    static constexpr std::size_t kRingSize = 8192;

    TApdBaseDispatcher();
    virtual ~TApdBaseDispatcher();
    TApdBaseDispatcher(const TApdBaseDispatcher&) = delete;
    TApdBaseDispatcher& operator=(const TApdBaseDispatcher&) = delete;

    // Stops the threads, discards what was not sent and closes the device. Main thread.
    void DonePort();
    bool Closing() const;
    bool Delivering() const;

    void SetListener(TDispatchListener* listener);
    void SetAvailThreshold(unsigned threshold);
    unsigned AvailThreshold() const;

    // The next received byte (inside a delivery: the next one ahead of the read index), or -3007.
    int GetChar();
    // Queues a block as one piece: 0, or -3006 when it is larger than the free output space.
    virtual int PutBlock(const std::uint8_t* block, std::size_t len);
    unsigned OutBuffFree() const;
    unsigned OutBuffUsed() const;
    unsigned InBuffUsed() const;

    // Line errors: the first error by priority (1 overflow .. 4 framing, 9 break) and clears it.
    unsigned GetLineError();
    bool CheckLineBreak();

    TApdTrace& Trace() { return trace_; }
    TApdLog& Log() { return log_; }

    // Device settings; a device without them (a socket) accepts and ignores them.
    virtual int SetLine(const TLineSettings&) { return 0; }
    virtual int SetBufferSizes(unsigned, unsigned) { return 0; }
    virtual int SetDTR(bool) { return 0; }
    virtual int SetRTS(bool) { return 0; }
    virtual int SetHWFlowOptions(unsigned, unsigned, unsigned) { return 0; }
    virtual int SetSWFlowOptions(unsigned, unsigned, unsigned) { return 0; }
    virtual int SetXonXoffChars(char, char) { return 0; }

protected:
    // Sets up the buffers and starts both threads on an open device.
    void Start(int fd, std::size_t outSize, std::size_t outCapacity);
    int DeviceFd() const { return fd_; }
    // Reads up to `cap` bytes: the count, 0 when nothing is there, -1 when the device has ended.
    virtual long ReadDevice(std::uint8_t* buf, std::size_t cap);
    // Writes: the count taken, 0 when the device would block, -1 on a failure (bytes dropped).
    virtual long WriteDevice(const std::uint8_t* buf, std::size_t len);
    // The descriptor both threads wait on: the device, unless a layer changes it while it runs
    // (a listening socket, then the client it accepted); -1 for none just now.
    virtual int PollFd() const { return fd_; }
    // More poll events the dispatch thread waits for, and what it does when they come.
    virtual short ExtraPollEvents() const { return 0; }
    virtual void HandlePollEvents(short /*revents*/) {}
    virtual void CloseDevice() = 0;
    virtual unsigned ReadLineErrors() { return 0; }
    // Called by the dispatch thread after every wait (at least every 50 ms): flow control that the
    // driver does not do itself.
    virtual void FlowCheck() {}
    // Queues bytes without the free-space check (telnet answers); false when there is no room.
    // Traces and logs a block the owner queued.
    void Queued(const std::uint8_t* block, std::size_t len);
    bool QueueRaw(const std::uint8_t* bytes, std::size_t len, std::size_t limit);
    void WakeWriter();
    void Wake();
    // Posts a call to the main thread that runs only while this dispatcher is alive.
    void PostToMain(void (TApdBaseDispatcher::*member)(int, int), int a, int b);
    void DeliverSocketEvent(int event, int code);
    std::size_t OutSize() const { return outSize_; }
    void Discard();

private:
    void DispatchLoop();
    void WriterLoop();
    void ReadIntoRing();
    void ReceiveCheck();
    void Deliver(int count, int);
    void DeliverEnd(int, int);
    void StopThreads();

    int fd_ = -1;
    int wakeFd_ = -1;
    int writerWakeFd_ = -1;
    std::thread dispatchThread_;
    std::thread writerThread_;
    std::atomic<bool> kill_{false};

    // state lock: listener, threshold, delivery flags
    mutable std::mutex stateLock_;
    TDispatchListener* listener_ = nullptr;
    unsigned threshold_ = 1;
    bool delivering_ = false;
    bool closing_ = false;
    bool endPosted_ = false;
    std::uint64_t lastNotified_ = 0;
    unsigned lineErrors_ = 0;

    // input lock: the ring
    mutable std::mutex inLock_;
    std::vector<std::uint8_t> ring_;
    std::size_t readIdx_ = 0;
    std::size_t inCount_ = 0;
    std::uint64_t inTotal_ = 0; // bytes ever put into the ring
    bool readAhead_ = false;
    std::size_t readAheadCount_ = 0;
    std::atomic<bool> inputEnded_{false};

    // output lock: the output buffer
    mutable std::mutex outLock_;
    std::vector<std::uint8_t> out_;
    std::size_t outSize_ = 0;
    std::size_t sendIdx_ = 0;
    std::size_t outUsed_ = 0;

    TApdTrace trace_;
    TApdLog log_;
};

} // namespace korval
