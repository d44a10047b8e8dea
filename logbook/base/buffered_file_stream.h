#pragma once
// A file stream with one memory buffer between the program's many small record reads and
// writes and the operating system, used in one direction at a time.
#include "logbook/base/stream.h"

#include <memory>
#include <string>

namespace korval {

class AtomicFile;

// Open modes. fmCreate creates or truncates the file in place and is for files nobody else
// relies on; every data file the program rewrites is written with fmCreateAtomic (or from an
// AtomicFile), which writes to a temporary next to it and replaces the file only on Commit().
enum TFileMode : int {
    fmOpenRead = 0,
    fmOpenWrite = 1,
    fmOpenReadWrite = 2,
    fmCreate = 0xFFFF,
    fmCreateAtomic = 0x10000,
};

// The default size of the buffer of every buffered stream.
inline constexpr std::int32_t DefaultBufferSize = 8192;

class TBufferedFileStream : public TStream {
public:
    enum TBufferState : std::uint8_t { bsEmpty = 0, bsReading = 1, bsWriting = 2 };

    // Opens or creates the file; failures raise EFOpenError or EFCreateError. With
    // fmCreateAtomic, keepBackup keeps the old file under its "~" name when committing. A
    // large file read from end to end goes faster with a larger buffer.
    TBufferedFileStream(const std::string& fileName, int mode, bool keepBackup = false,
                        std::int32_t bufferSize = DefaultBufferSize);
    // Writes into the temporary of an atomic rewrite that the caller prepared.
    explicit TBufferedFileStream(std::unique_ptr<AtomicFile> file);
    // Flushes pending bytes when writing (errors cannot be raised here: call Flush or Commit
    // first to see them). An atomic rewrite that was not committed leaves the old file as it was.
    ~TBufferedFileStream() override;
    TBufferedFileStream(const TBufferedFileStream&) = delete;
    TBufferedFileStream& operator=(const TBufferedFileStream&) = delete;

    std::int32_t Read(void* buffer, std::int32_t count) override;
    // The next count bytes (at most BufferSize()) in the buffer itself, read past as Read
    // would: no copy. Null, with nothing read, when the file ends before them. The bytes stay
    // valid until the next call on the stream.
    const std::uint8_t* ReadView(std::int32_t count);
    // Raises EWriteError when the file takes fewer bytes than given.
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    // Origins as TSeekOrigin; others raise "Seek error: unknown origin", a failed flush "Seek error".
    std::int64_t Seek(std::int64_t offset, int origin) override;
    // The file's size plus the bytes pending in the buffer.
    std::int64_t GetSize() override;
    // False while the buffer holds unread bytes; otherwise whether the position is at the end.
    bool Eof();

    // Reads up to the buffer size from the file; true when something was read.
    bool FillBuffer();
    // Writes the pending bytes; true when all of them were written. The buffer is empty after.
    bool FlushBuffer();
    // Writes the pending bytes or raises EWriteError.
    void Flush();
    // For an atomic rewrite: flushes, syncs and replaces the target; raises on any failure
    // (the old file is then unchanged). The stream is closed afterwards.
    void Commit();

    const std::string& FileName() const { return fileName_; }
    TBufferState State() const { return state_; }
    std::int32_t BufferSize() const { return bufferSize_; }
    // Bytes written into the buffer but not yet to the file.
    std::int32_t Pending() const { return state_ == bsWriting ? cursor_ : 0; }

private:
    std::int64_t Adjustment() const;
    std::int64_t LogicalPosition() const { return filePos_ + Adjustment(); }
    void StartWriteBuffer();
    void CheckOpen() const;
    [[noreturn]] void RaiseWriteError(int err) const;

    std::string fileName_;
    int fd_ = -1;
    std::unique_ptr<AtomicFile> atomic_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    // Cursor and Limit as offsets into the buffer; a negative cursor means no buffer position yet.
    std::int32_t cursor_ = -1;
    std::int32_t limit_ = 0;
    std::int32_t bufferSize_ = DefaultBufferSize;
    TBufferState state_ = bsEmpty;
    // Where the file itself stands (kept here so position queries need no system call).
    std::int64_t filePos_ = 0;
};

} // namespace korval
