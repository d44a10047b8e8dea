#include "fuzz/fuzz_support.h"

#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/progress.h"
#include "platform/message_dlg.h"

#include <sanitizer/asan_interface.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A log takes its records from blocks of 2 MB aligned to 2 MB. Under AddressSanitizer each such
// block is a fresh mapping whose 512 KB of shadow is written and faulted in on allocation and
// poisoned again on release: that cost was nine tenths of a small input's time (30-100 runs a
// second). The harnesses therefore keep the few blocks their logs use and hand them out again.
// A kept block is poisoned while no log holds it, so a record used after its log is gone is still
// reported (as use-after-poison). Every other allocation goes to the sanitizer as before.
//
// free is called while the sanitizer itself starts, before its shadow memory exists: these two
// functions are built without instrumentation and touch nothing but the table below.
extern "C" void* __interceptor_aligned_alloc(std::size_t alignment, std::size_t size);
extern "C" void __interceptor_free(void* p);

#define KORVAL_UNINSTRUMENTED __attribute__((no_sanitize("address", "undefined", "coverage")))

namespace {

constexpr std::size_t kBlockBytes = std::size_t(2) << 20;
constexpr int kKeptBlocks = 8;

struct TKeptBlock {
    void* mem;
    bool inUse;
};
TKeptBlock keptBlocks[kKeptBlocks];
bool keptLock;

} // namespace

extern "C" KORVAL_UNINSTRUMENTED void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept
{
    if (alignment != kBlockBytes || size != kBlockBytes)
        return __interceptor_aligned_alloc(alignment, size);
    while (__atomic_test_and_set(&keptLock, __ATOMIC_ACQUIRE)) {
    }
    void* mem = nullptr;
    int empty = -1;
    for (int i = 0; i < kKeptBlocks && !mem; ++i) {
        if (keptBlocks[i].mem && !keptBlocks[i].inUse) {
            keptBlocks[i].inUse = true;
            mem = keptBlocks[i].mem;
        } else if (!keptBlocks[i].mem && empty < 0) {
            empty = i;
        }
    }
    __atomic_clear(&keptLock, __ATOMIC_RELEASE);
    if (mem) {
        ASAN_UNPOISON_MEMORY_REGION(mem, kBlockBytes);
        return mem;
    }
    mem = __interceptor_aligned_alloc(alignment, size);
    if (mem && empty >= 0) {
        while (__atomic_test_and_set(&keptLock, __ATOMIC_ACQUIRE)) {
        }
        if (!keptBlocks[empty].mem) {
            keptBlocks[empty].mem = mem;
            keptBlocks[empty].inUse = true;
        }
        __atomic_clear(&keptLock, __ATOMIC_RELEASE);
    }
    return mem;
}

extern "C" KORVAL_UNINSTRUMENTED void free(void* p) noexcept
{
    if (p && reinterpret_cast<std::uintptr_t>(p) % kBlockBytes == 0) {
        bool kept = false;
        while (__atomic_test_and_set(&keptLock, __ATOMIC_ACQUIRE)) {
        }
        for (int i = 0; i < kKeptBlocks && !kept; ++i) {
            if (keptBlocks[i].mem == p && keptBlocks[i].inUse) {
                keptBlocks[i].inUse = false;
                kept = true;
            }
        }
        __atomic_clear(&keptLock, __ATOMIC_RELEASE);
        if (kept) {
            ASAN_POISON_MEMORY_REGION(p, kBlockBytes);
            return;
        }
    }
    __interceptor_free(p);
}

namespace korval::fuzz {

namespace {

class TSilentProgress : public TProgressSink {
public:
    void Start(const std::string&, int) override {}
    void Step() override {}
    void Finish() override {}
};

std::string home;

// Answers every question with its first offered button of OK, Yes, Cancel, No.
int SilentAnswer(const TMessageRequest& r)
{
    if (r.buttons & mbOK)
        return mrOk;
    if (r.buttons & mbYes)
        return mrYes;
    if (r.buttons & mbCancel)
        return mrCancel;
    return mrNo;
}

void RemoveHome()
{
    std::error_code ec;
    std::filesystem::remove_all(home, ec);
}

} // namespace

void Prepare(bool withCountryDb)
{
    if (!home.empty())
        return;
    // Every input is written to a file of the home: a memory file system keeps that cheap.
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
    std::string tmpl = (base / "korval-fuzz-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    home = tmpl;
    std::atexit(RemoveHome);
    setenv("KORVAL_HOME", home.c_str(), 1);
    std::filesystem::create_directories(home + "/SAVE");
    std::filesystem::create_directories(home + "/IMPORT");
    SetMessageHandler(SilentAnswer);
    static TSilentProgress progress;
    SetProgressSink(&progress);
    SetUtcClockSource([] { return std::int64_t(1717200000); });  // 2024-06-01 00:00 UTC
    if (withCountryDb) {
        std::string reason;
        if (!LoadCountryFileFrom(std::string(KORVAL_SOURCE_DIR) + "/data/SAVE/KORVAL.CTY", false, &reason)) {
            std::fprintf(stderr, "shipped country database: %s\n", reason.c_str());
            std::abort();
        }
        InstallCountryLookup();
    }
}

const std::string& Home() { return home; }

std::string WriteHomeFile(const std::string& name, std::string_view bytes)
{
    // Plain system calls: a stream's buffers cost more under the sanitizers than the write.
    const std::string path = home + "/" + name;
    // A file in a sub-folder of the home (RADIOS/, IMPORT/): the folder is made the first time.
    if (const auto slash = name.rfind('/'); slash != std::string::npos)
        ::mkdir((home + "/" + name.substr(0, slash)).c_str(), 0755);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::abort();
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            std::perror(path.c_str());
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0)
        return bytes;
    char chunk[16384];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
}

void SplitAtNul(std::string_view data, std::string_view& first, std::string_view& second)
{
    std::size_t nul = data.find('\0');
    first = data.substr(0, nul);
    second = nul == std::string_view::npos ? std::string_view() : data.substr(nul + 1);
}

} // namespace korval::fuzz
