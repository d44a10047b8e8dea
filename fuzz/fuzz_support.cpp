#include "fuzz/fuzz_support.h"

#include "logbook/call_lookup.h"
#include "logbook/country_db.h"
#include "logbook/base/day_number.h"
#include "logbook/progress.h"
#include "platform/message_dlg.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

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
    const std::string path = home + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void SplitAtNul(std::string_view data, std::string_view& first, std::string_view& second)
{
    std::size_t nul = data.find('\0');
    first = data.substr(0, nul);
    second = nul == std::string_view::npos ? std::string_view() : data.substr(nul + 1);
}

} // namespace korval::fuzz
