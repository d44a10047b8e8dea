#pragma once
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korval {

// Raised when a file cannot be written safely; the message names the file and the cause.
class EFileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The keep-backup name of a data file: the first of exactly three extension characters
// replaced by '~' (KORVAL.CTY -> KORVAL.~TY). Empty when the name has no such extension.
std::string BackupFileName(std::string_view name);

// Rewrites a file so that a failure at any point leaves the old file as it was:
// the new contents go to a temporary file in the same folder, are flushed to disk and
// renamed over the target. With keepBackup, the old file is first kept under its
// BackupFileName. Uncommitted temporaries are removed when the object goes.
class AtomicFile {
public:
    explicit AtomicFile(std::string target, bool keepBackup = false);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    const std::string& target() const { return target_; }
    const std::string& tempPath() const { return temp_; }
    int fd() const { return fd_; }

    // Appends bytes; throws EFileWriteError on a short or failed write.
    void write(const void* data, std::size_t size);
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }

    // Flushes, keeps the backup when asked, and renames the temporary over the target.
    // Throws EFileWriteError (the target untouched) on any failure.
    void commit();

private:
    std::string target_;
    std::string temp_;
    bool keepBackup_;
    int fd_ = -1;
    bool committed_ = false;
};

// Convenience: writes the whole contents atomically.
void WriteFileAtomically(const std::string& target, std::string_view bytes, bool keepBackup = false);

} // namespace korval
