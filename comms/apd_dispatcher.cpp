#include "comms/apd_dispatcher.h"

#include "comms/apd_errors.h"
#include "comms/main_thread_queue.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace korval {

namespace {
void Signal(int fd)
{
    if (fd >= 0) {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(fd, &one, sizeof one);
    }
}

void Drain(int fd)
{
    std::uint64_t v;
    [[maybe_unused]] ssize_t n = ::read(fd, &v, sizeof v);
}
} // namespace

TApdBaseDispatcher::TApdBaseDispatcher() = default;

TApdBaseDispatcher::~TApdBaseDispatcher()
{
    StopThreads();
}

void TApdBaseDispatcher::Start(int fd, std::size_t outSize, std::size_t outCapacity)
{
    fd_ = fd;
    ring_.assign(kRingSize, 0);
    out_.assign(std::max(outCapacity, outSize), 0);
    outSize_ = outSize;
    log_.SetOrigin(std::chrono::steady_clock::now());
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    writerWakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    kill_ = false;
    dispatchThread_ = std::thread(&TApdBaseDispatcher::DispatchLoop, this);
    writerThread_ = std::thread(&TApdBaseDispatcher::WriterLoop, this);
}

void TApdBaseDispatcher::StopThreads()
{
    kill_ = true;
    Wake();
    WakeWriter();
    if (dispatchThread_.joinable())
        dispatchThread_.join();
    if (writerThread_.joinable())
        writerThread_.join();
    for (int* fd : {&wakeFd_, &writerWakeFd_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void TApdBaseDispatcher::DonePort()
{
    {
        std::lock_guard<std::mutex> g(stateLock_);
        closing_ = true;
    }
    StopThreads();
    Discard();
    if (fd_ >= 0) {
        CloseDevice();
        fd_ = -1;
    }
}

void TApdBaseDispatcher::Discard()
{
    std::lock_guard<std::mutex> g(outLock_);
    sendIdx_ = 0;
    outUsed_ = 0;
}

bool TApdBaseDispatcher::Closing() const
{
    std::lock_guard<std::mutex> g(stateLock_);
    return closing_;
}

bool TApdBaseDispatcher::Delivering() const
{
    std::lock_guard<std::mutex> g(stateLock_);
    return delivering_;
}

void TApdBaseDispatcher::SetListener(TDispatchListener* listener)
{
    TDispatchListener* old;
    {
        std::lock_guard<std::mutex> g(stateLock_);
        old = listener_;
        listener_ = listener;
    }
    if (old && old != listener)
        log_.Add(dtTriggerHandlerDispose, dstWndHandler, 0);
    if (listener && old != listener)
        log_.Add(dtTriggerHandlerAlloc, dstWndHandler, 0);
}

void TApdBaseDispatcher::SetAvailThreshold(unsigned threshold)
{
    {
        std::lock_guard<std::mutex> g(stateLock_);
        threshold_ = threshold;
    }
    log_.Add(dtTriggerDataChange, dstAvail, threshold);
    Wake();
}

unsigned TApdBaseDispatcher::AvailThreshold() const
{
    std::lock_guard<std::mutex> g(stateLock_);
    return threshold_;
}

void TApdBaseDispatcher::Wake()
{
    Signal(wakeFd_);
}

void TApdBaseDispatcher::WakeWriter()
{
    Signal(writerWakeFd_);
}

long TApdBaseDispatcher::ReadDevice(std::uint8_t* buf, std::size_t cap)
{
    // A raw terminal answers "nothing there" with 0, not EAGAIN; a hung-up one fails with EIO.
    ssize_t n = ::read(fd_, buf, cap);
    if (n >= 0)
        return n;
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

long TApdBaseDispatcher::WriteDevice(const std::uint8_t* buf, std::size_t len)
{
    ssize_t n = ::write(fd_, buf, len);
    if (n >= 0)
        return n;
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

void TApdBaseDispatcher::DispatchLoop()
{
    while (!kill_) {
        bool wantInput;
        {
            std::lock_guard<std::mutex> g(inLock_);
            wantInput = !inputEnded_ && inCount_ < kRingSize;
        }
        short extra = ExtraPollEvents();
        const int fd = PollFd();
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd, 0, 0}};
        nfds_t n = 1;
        if (fd >= 0 && (wantInput || extra)) {
            fds[1].events = static_cast<short>((wantInput ? POLLIN : 0) | extra);
            n = 2;
        }
        int rc = ::poll(fds, n, 50);
        if (kill_)
            break;
        if (rc > 0 && fds[0].revents)
            Drain(wakeFd_);
        if (rc > 0 && n == 2 && fds[1].revents) {
            if (extra)
                HandlePollEvents(fds[1].revents);
            if (wantInput && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
                ReadIntoRing();
        }
        if (unsigned bits = ReadLineErrors()) {
            std::lock_guard<std::mutex> g(stateLock_);
            lineErrors_ |= bits;
        }
        ReceiveCheck();
        FlowCheck();
    }
}

void TApdBaseDispatcher::ReadIntoRing()
{
    // Only this thread writes the free part of the ring; the main thread only ever frees more,
    // so the bytes are read outside the lock and published under it.
    for (int piece = 0; piece < 2; ++piece) {
        std::size_t at, room;
        {
            std::lock_guard<std::mutex> g(inLock_);
            if (inCount_ == kRingSize)
                return;
            at = (readIdx_ + inCount_) % kRingSize;
            room = std::min(kRingSize - inCount_, kRingSize - at);
        }
        long n = ReadDevice(ring_.data() + at, room);
        if (n < 0) {
            inputEnded_ = true;
            return;
        }
        if (n == 0)
            return;
        // Logged before it is published: until then no other thread looks at these bytes.
        log_.Add(dtDispatch, dstReadCom, static_cast<std::uint32_t>(n), ring_.data() + at, static_cast<std::size_t>(n));
        {
            std::lock_guard<std::mutex> g(inLock_);
            inCount_ += static_cast<std::size_t>(n);
            inTotal_ += static_cast<std::uint64_t>(n);
        }
        if (static_cast<std::size_t>(n) < room)
            return;
    }
}

void TApdBaseDispatcher::ReceiveCheck()
{
    TMainThreadQueue* queue = MainThreadQueue();
    std::lock_guard<std::mutex> g(stateLock_);
    if (delivering_ || closing_ || !listener_ || !queue)
        return;
    std::size_t unread;
    std::uint64_t total;
    {
        std::lock_guard<std::mutex> gi(inLock_);
        unread = inCount_;
        total = inTotal_;
    }
    if (threshold_ != 0 && total != lastNotified_ && unread >= threshold_) {
        lastNotified_ = total;
        delivering_ = true;
        int count = static_cast<int>(std::min<std::size_t>(unread, 65535));
        queue->Post([w = weak_from_this(), count] {
            if (auto self = w.lock())
                self->Deliver(count, 0);
        });
        return;
    }
    // The end of the device is reported only after every byte before it was offered.
    if (inputEnded_ && !endPosted_) {
        endPosted_ = true;
        queue->Post([w = weak_from_this()] {
            if (auto self = w.lock())
                self->DeliverEnd(0, 0);
        });
    }
}

void TApdBaseDispatcher::Deliver(int count, int)
{
    TDispatchListener* listener;
    {
        std::lock_guard<std::mutex> g(stateLock_);
        listener = closing_ ? nullptr : listener_;
        if (!listener) {
            delivering_ = false;
            return;
        }
    }
    {
        std::lock_guard<std::mutex> g(inLock_);
        readAhead_ = true;
        readAheadCount_ = 0;
    }
    log_.Add(dtTrigger, dstAvail, static_cast<std::uint32_t>(count));
    listener->DispatchAvail(static_cast<unsigned>(count));
    {
        std::lock_guard<std::mutex> g(inLock_);
        readIdx_ = (readIdx_ + readAheadCount_) % kRingSize;
        inCount_ -= readAheadCount_;
        readAhead_ = false;
        readAheadCount_ = 0;
    }
    {
        std::lock_guard<std::mutex> g(stateLock_);
        delivering_ = false;
    }
    Wake();
}

void TApdBaseDispatcher::DeliverEnd(int, int)
{
    TDispatchListener* listener;
    {
        std::lock_guard<std::mutex> g(stateLock_);
        listener = closing_ ? nullptr : listener_;
    }
    if (listener)
        listener->DispatchDeviceEnded();
}

void TApdBaseDispatcher::PostToMain(void (TApdBaseDispatcher::*member)(int, int), int a, int b)
{
    if (TMainThreadQueue* queue = MainThreadQueue())
        queue->Post([w = weak_from_this(), member, a, b] {
            if (auto self = w.lock())
                ((*self).*member)(a, b);
        });
}

void TApdBaseDispatcher::DeliverSocketEvent(int event, int code)
{
    TDispatchListener* listener;
    {
        std::lock_guard<std::mutex> g(stateLock_);
        listener = closing_ ? nullptr : listener_;
    }
    if (listener)
        listener->DispatchSocketEvent(event, code);
}

int TApdBaseDispatcher::GetChar()
{
    std::uint8_t c;
    bool wasFull;
    {
        std::lock_guard<std::mutex> g(inLock_);
        if (ring_.empty())
            return ecBufferIsEmpty;
        wasFull = inCount_ == kRingSize;
        if (readAhead_) {
            if (readAheadCount_ >= inCount_)
                return ecBufferIsEmpty;
            c = ring_[(readIdx_ + readAheadCount_) % kRingSize];
            ++readAheadCount_;
            wasFull = false;
        } else {
            if (inCount_ == 0)
                return ecBufferIsEmpty;
            c = ring_[readIdx_];
            readIdx_ = (readIdx_ + 1) % kRingSize;
            --inCount_;
        }
    }
    trace_.Add('R', &c, 1);
    if (wasFull)
        Wake();
    return c;
}

int TApdBaseDispatcher::PutBlock(const std::uint8_t* block, std::size_t len)
{
    if (len == 0)
        return 0;
    if (!QueueRaw(block, len, outSize_))
        return ecOutputBufferTooSmall;
    Queued(block, len);
    return 0;
}

void TApdBaseDispatcher::Queued(const std::uint8_t* block, std::size_t len)
{
    trace_.Add('T', block, len);
    log_.Add(dtDispatch, dstWriteCom, static_cast<std::uint32_t>(len), block, len);
}

bool TApdBaseDispatcher::QueueRaw(const std::uint8_t* bytes, std::size_t len, std::size_t limit)
{
    {
        std::lock_guard<std::mutex> g(outLock_);
        const std::size_t cap = out_.size();
        limit = std::min(limit, cap);
        if (cap == 0 || outUsed_ > limit || len > limit - outUsed_)
            return false;
        std::size_t at = (sendIdx_ + outUsed_) % cap;
        std::size_t first = std::min(len, cap - at);
        std::memcpy(out_.data() + at, bytes, first);
        std::memcpy(out_.data(), bytes + first, len - first);
        outUsed_ += len;
    }
    WakeWriter();
    return true;
}

unsigned TApdBaseDispatcher::OutBuffFree() const
{
    std::lock_guard<std::mutex> g(outLock_);
    return outUsed_ >= outSize_ ? 0 : static_cast<unsigned>(outSize_ - outUsed_);
}

unsigned TApdBaseDispatcher::OutBuffUsed() const
{
    std::lock_guard<std::mutex> g(outLock_);
    return static_cast<unsigned>(outUsed_);
}

unsigned TApdBaseDispatcher::InBuffUsed() const
{
    std::lock_guard<std::mutex> g(inLock_);
    return static_cast<unsigned>(inCount_ - (readAhead_ ? readAheadCount_ : 0));
}

void TApdBaseDispatcher::WriterLoop()
{
    bool blocked = false;
    while (!kill_) {
        std::size_t at = 0, len = 0;
        {
            std::lock_guard<std::mutex> g(outLock_);
            if (outUsed_ > 0) {
                at = sendIdx_;
                len = std::min(outUsed_, out_.size() - sendIdx_);
            }
        }
        if (len > 0 && !blocked && fd_ >= 0) {
            // The writer alone reads the queued part; the main thread only writes the free part.
            long n = WriteDevice(out_.data() + at, len);
            if (n != 0) {
                std::lock_guard<std::mutex> g(outLock_);
                std::size_t done = n > 0 ? static_cast<std::size_t>(n) : len;
                sendIdx_ = (sendIdx_ + done) % out_.size();
                outUsed_ -= done;
                if (outUsed_ == 0)
                    sendIdx_ = 0;
                continue;
            }
            blocked = true;
        }
        const int fd = PollFd();
        pollfd fds[2] = {{writerWakeFd_, POLLIN, 0}, {fd, POLLOUT, 0}};
        int rc = ::poll(fds, blocked && fd >= 0 ? 2 : 1, blocked ? 50 : -1);
        if (rc > 0 && fds[0].revents)
            Drain(writerWakeFd_);
        blocked = false;
    }
}

unsigned TApdBaseDispatcher::GetLineError()
{
    std::lock_guard<std::mutex> g(stateLock_);
    static constexpr struct {
        unsigned bit, result;
    } order[] = {{1, 1}, {2, 2}, {4, 3}, {8, 4}};
    for (auto e : order)
        if (lineErrors_ & e.bit) {
            lineErrors_ &= ~15u;
            return e.result;
        }
    return lineErrors_ & 16 ? 9 : 0;
}

bool TApdBaseDispatcher::CheckLineBreak()
{
    std::lock_guard<std::mutex> g(stateLock_);
    bool brk = lineErrors_ & 16;
    lineErrors_ &= ~16u;
    return brk;
}

} // namespace korval
