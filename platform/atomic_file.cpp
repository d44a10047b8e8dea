#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korval {

namespace {

std::string Folder(const std::string& path)
{
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err)
{
    throw EFileWriteError(what + " " + path + ": " + std::strerror(err));
}

// Copies src to dst through a temporary so that dst is either the old backup or a whole copy.
bool CopyFile(const std::string& src, const std::string& dst)
{
    int in = ::open(src.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    std::string tmp = dst + ".tmp~";
    int out = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        ::close(in);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t off = 0; off < n;) {
            ssize_t w = ::write(out, buf + off, static_cast<size_t>(n - off));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                ok = false;
                break;
            }
            off += w;
        }
        if (!ok)
            break;
    }
    ::close(in);
    ok = ok && ::fsync(out) == 0;
    ok = (::close(out) == 0) && ok;
    ok = ok && ::rename(tmp.c_str(), dst.c_str()) == 0;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

} // namespace

std::string BackupFileName(std::string_view name)
{
    // The dot must stand fourth from the end and must not be the first character of the file name.
    if (name.size() < 5 || name[name.size() - 4] != '.')
        return {};
    auto slash = name.rfind('/');
    std::size_t base = slash == std::string_view::npos ? 0 : slash + 1;
    if (name.size() - 4 == base)
        return {};
    for (std::size_t i = name.size() - 3; i < name.size(); ++i)
        if (name[i] == '.' || name[i] == '/')
            return {};
    std::string out(name);
    out[out.size() - 3] = '~';
    return out;
}

AtomicFile::AtomicFile(std::string target, bool keepBackup)
    : target_(std::move(target)), keepBackup_(keepBackup)
{
    std::string base = target_.substr(target_.rfind('/') == std::string::npos ? 0 : target_.rfind('/') + 1);
    temp_ = Folder(target_) + "/." + base + ".XXXXXX";
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0)
        Fail("Cannot create a temporary file for", target_, errno);
    ::fchmod(fd_, 0644);
}

AtomicFile::~AtomicFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_)
        ::unlink(temp_.c_str());
}

void AtomicFile::write(const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("Cannot write", target_, n < 0 ? errno : ENOSPC);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

void AtomicFile::commit()
{
    if (committed_)
        return;
    if (::fsync(fd_) != 0)
        Fail("Cannot flush", target_, errno);
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        Fail("Cannot close", target_, errno);
    if (keepBackup_) {
        std::string backup = BackupFileName(target_);
        struct stat st {};
        if (!backup.empty() && ::stat(target_.c_str(), &st) == 0 && !CopyFile(target_, backup))
            Fail("Cannot keep the backup copy of", target_, errno ? errno : EIO);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        Fail("Cannot replace", target_, errno);
    committed_ = true;
    // Make the rename itself durable.
    int dir = ::open(Folder(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void WriteFileAtomically(const std::string& target, std::string_view bytes, bool keepBackup)
{
    AtomicFile file(target, keepBackup);
    file.write(bytes);
    file.commit();
}

} // namespace korval
