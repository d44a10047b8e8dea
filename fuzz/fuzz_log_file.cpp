// The log file in every version (B to H), loaded as a new log, merged into itself with each
// duplicate policy, written and loaded back.
#include "fuzz/fuzz_support.h"

#include "logbook/log_file.h"
#include "logbook/qso_data.h"

#include <cstdlib>

using namespace korval;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Prepare(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The whole input is the file (so that log files serve as seeds as they are).
    const int policy = static_cast<int>(size % 3);
    const std::string path =
        fuzz::WriteHomeFile("SAVE/IN.KVL", std::string_view(reinterpret_cast<const char*>(data), size));
    TQsoData log(fuzz::Home() + "/SAVE/OUT.KVL");
    if (!LoadLogFileInto(log, path, true, dpAbort))
        return 0;
    log.EnsureAwardStatus();
    LoadLogFileInto(log, path, false, policy);
    if (!WriteLogFile(log, true))
        return 0;
    // What this program wrote must load again, with every QSO.
    TQsoData back;
    if (!LoadLogFileInto(back, log.FileName, true, dpAbort) || back.Count() != log.Count())
        std::abort();
    return 0;
}
