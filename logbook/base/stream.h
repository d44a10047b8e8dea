#pragma once
// The stream interface the program's binary files are read and written through, its errors,
// and a stream over memory. TBufferedFileStream is the file stream; the sorted collections
// save to and load from any TStream.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace korval {

// Stream failures. A short read or write through ReadBuffer/WriteBuffer, a failed flush or a
// damaged stored structure raises one of these; none passes silently.
class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// Seek origins. From the end the offset counts back: Seek(n, soFromEnd) goes to Size - n.
enum TSeekOrigin : int { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream {
public:
    virtual ~TStream() = default;

    // Copies up to count bytes; returns how many were copied (fewer only at the end).
    virtual std::int32_t Read(void* buffer, std::int32_t count) = 0;
    // Accepts count bytes; returns how many were accepted.
    virtual std::int32_t Write(const void* buffer, std::int32_t count) = 0;
    // Returns the new position; an unknown origin or a target before the start raises EStreamError.
    virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;
    virtual std::int64_t GetSize() = 0;

    std::int64_t GetPosition() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int64_t pos) { Seek(pos, soFromBeginning); }
    // Bytes between the position and the end.
    std::int64_t Remaining() { return GetSize() - GetPosition(); }

    // Reads exactly count bytes or raises EReadError ("Stream read error").
    void ReadBuffer(void* buffer, std::int32_t count);
    // Writes exactly count bytes or raises EWriteError ("Stream write error").
    void WriteBuffer(const void* buffer, std::int32_t count);
};

// A stream over a byte vector held in memory; writing past the end extends it.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes);

    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;
    std::int64_t GetSize() override { return static_cast<std::int64_t>(data_.size()); }

    std::string Bytes() const { return data_; }

private:
    std::string data_;
    std::size_t pos_ = 0;
};

} // namespace korval
