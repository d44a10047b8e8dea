#include "logbook/base/buffered_file_stream.h"

#include "platform/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korval {

namespace {

std::string Reason(int err) { return std::strerror(err); }

} // namespace

TBufferedFileStream::TBufferedFileStream(const std::string& fileName, int mode, bool keepBackup,
                                         std::int32_t bufferSize)
    : fileName_(fileName), bufferSize_(bufferSize > 0 ? bufferSize : DefaultBufferSize)
{
    if (mode == fmCreateAtomic) {
        try {
            atomic_ = std::make_unique<AtomicFile>(fileName, keepBackup);
        } catch (const EFileWriteError& e) {
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + e.what());
        }
        fd_ = atomic_->fd();
    } else if (mode == fmCreate) {
        fd_ = ::open(fileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd_ < 0)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " + Reason(errno));
    } else {
        int access = (mode & 3) == fmOpenWrite ? O_WRONLY : (mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
        fd_ = ::open(fileName.c_str(), access | O_CLOEXEC);
        if (fd_ < 0)
            throw EFOpenError("Cannot open file \"" + fileName + "\". " + Reason(errno));
    }
    buffer_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(bufferSize_));
    limit_ = bufferSize_;
}

TBufferedFileStream::TBufferedFileStream(std::unique_ptr<AtomicFile> file)
    : fileName_(file->target()), fd_(file->fd()), atomic_(std::move(file))
{
    buffer_ = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(bufferSize_));
    limit_ = bufferSize_;
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    filePos_ = pos < 0 ? 0 : pos;
}

TBufferedFileStream::~TBufferedFileStream()
{
    if (fd_ < 0)
        return;
    if (atomic_)
        return;  // an uncommitted rewrite is discarded by the AtomicFile
    if (state_ == bsWriting)
        FlushBuffer();
    ::close(fd_);
}

void TBufferedFileStream::CheckOpen() const
{
    if (fd_ < 0)
        throw EStreamError("Stream is closed: " + fileName_);
}

void TBufferedFileStream::RaiseWriteError(int err) const
{
    throw EWriteError("Stream write error (" + fileName_ + ": " + Reason(err) + ")");
}

std::int64_t TBufferedFileStream::Adjustment() const
{
    switch (state_) {
    case bsReading: return cursor_ - limit_;
    case bsWriting: return cursor_;
    default: return 0;
    }
}

void TBufferedFileStream::StartWriteBuffer()
{
    cursor_ = 0;
    limit_ = bufferSize_;
    state_ = bsEmpty;
}

bool TBufferedFileStream::FillBuffer()
{
    CheckOpen();
    if (state_ == bsWriting)
        Flush();
    ssize_t n;
    do
        n = ::read(fd_, buffer_.get(), static_cast<std::size_t>(bufferSize_));
    while (n < 0 && errno == EINTR);
    if (n < 0)
        throw EReadError("Stream read error (" + fileName_ + ": " + Reason(errno) + ")");
    filePos_ += n;
    cursor_ = 0;
    limit_ = static_cast<std::int32_t>(n);
    state_ = n > 0 ? bsReading : bsEmpty;
    return n > 0;
}

bool TBufferedFileStream::FlushBuffer()
{
    if (state_ != bsWriting)
        return true;
    std::int32_t done = 0;
    int err = 0;
    while (done < cursor_) {
        ssize_t n = ::write(fd_, buffer_.get() + done, static_cast<std::size_t>(cursor_ - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::int32_t>(n);
        filePos_ += n;
    }
    bool ok = done == cursor_;
    cursor_ = 0;
    state_ = bsEmpty;
    errno = err;
    return ok;
}

void TBufferedFileStream::Flush()
{
    CheckOpen();
    if (!FlushBuffer())
        RaiseWriteError(errno ? errno : EIO);
}

std::int32_t TBufferedFileStream::Read(void* buffer, std::int32_t count)
{
    CheckOpen();
    if (state_ != bsReading) {
        // Whatever the buffer held was written or never read: start with an empty read buffer.
        if (state_ == bsWriting)
            Flush();
        cursor_ = limit_ = 0;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::int32_t copied = 0;
    while (copied < count) {
        if (cursor_ == limit_ && !FillBuffer())
            break;
        std::int32_t n = std::min(limit_ - cursor_, count - copied);
        std::memcpy(out + copied, buffer_.get() + cursor_, static_cast<std::size_t>(n));
        cursor_ += n;
        copied += n;
    }
    return copied;
}

const std::uint8_t* TBufferedFileStream::ReadView(std::int32_t count)
{
    CheckOpen();
    if (state_ != bsReading) {
        if (state_ == bsWriting)
            Flush();
        cursor_ = limit_ = 0;
    }
    if (count < 0 || count > bufferSize_)
        return nullptr;
    if (limit_ - cursor_ < count) {
        // The unread bytes go to the front and the file fills the buffer after them; the
        // logical position (filePos_ + cursor_ - limit_) stays where it was.
        const std::int32_t kept = limit_ - cursor_;
        std::memmove(buffer_.get(), buffer_.get() + cursor_, static_cast<std::size_t>(kept));
        cursor_ = 0;
        limit_ = kept;
        while (limit_ < count) {
            ssize_t n;
            do
                n = ::read(fd_, buffer_.get() + limit_, static_cast<std::size_t>(bufferSize_ - limit_));
            while (n < 0 && errno == EINTR);
            if (n < 0)
                throw EReadError("Stream read error (" + fileName_ + ": " + Reason(errno) + ")");
            if (n == 0)
                break;
            filePos_ += n;
            limit_ += static_cast<std::int32_t>(n);
        }
        state_ = limit_ > 0 ? bsReading : bsEmpty;
        if (limit_ < count)
            return nullptr;
    }
    const std::uint8_t* view = buffer_.get() + cursor_;
    cursor_ += count;
    return view;
}

std::int32_t TBufferedFileStream::Write(const void* buffer, std::int32_t count)
{
    CheckOpen();
    if (state_ == bsReading) {
        // Continue at the logical position: the read-ahead is dropped, never written back.
        std::int64_t pos = LogicalPosition();
        if (::lseek(fd_, pos, SEEK_SET) < 0)
            RaiseWriteError(errno);
        filePos_ = pos;
        StartWriteBuffer();
    } else if (state_ != bsWriting) {
        StartWriteBuffer();
    }
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    std::int32_t copied = 0;
    while (copied < count) {
        std::int32_t n = std::min(limit_ - cursor_, count - copied);
        std::memcpy(buffer_.get() + cursor_, in + copied, static_cast<std::size_t>(n));
        cursor_ += n;
        copied += n;
        state_ = bsWriting;
        if (cursor_ == limit_)
            Flush();
    }
    return copied;
}

std::int64_t TBufferedFileStream::Seek(std::int64_t offset, int origin)
{
    CheckOpen();
    std::int64_t target;
    switch (origin) {
    case soFromBeginning: target = offset; break;
    case soFromCurrent: target = LogicalPosition() + offset; break;
    case soFromEnd: target = GetSize() - offset; break;
    default: throw EStreamError("Seek error: unknown origin");
    }
    if (target == LogicalPosition())
        return target;
    if (target < 0 || !FlushBuffer())
        throw EStreamError("Seek error");
    if (::lseek(fd_, target, SEEK_SET) < 0)
        throw EStreamError("Seek error");
    filePos_ = target;
    cursor_ = -1;
    limit_ = bufferSize_;
    state_ = bsEmpty;
    return target;
}

std::int64_t TBufferedFileStream::GetSize()
{
    CheckOpen();
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw EStreamError("Stream error (" + fileName_ + ": " + Reason(errno) + ")");
    std::int64_t size = st.st_size;
    // Pending bytes may overwrite part of the file rather than extend it.
    if (state_ == bsWriting)
        size = std::max(size, filePos_ + cursor_);
    return size;
}

bool TBufferedFileStream::Eof()
{
    if (state_ == bsReading && cursor_ < limit_)
        return false;
    return LogicalPosition() >= GetSize();
}

void TBufferedFileStream::Commit()
{
    Flush();
    if (!atomic_)
        return;
    fd_ = -1;  // the AtomicFile owns the descriptor and closes it
    try {
        atomic_->commit();
    } catch (const EFileWriteError& e) {
        throw EWriteError(e.what());
    }
}

} // namespace korval
