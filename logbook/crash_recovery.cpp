#include "logbook/crash_recovery.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/message_dlg.h"

namespace korval {

namespace fs = std::filesystem;

const char* const kCrashBackupPrompt =
    "A backup copy of a log file was found\rdue to an abnormal program termination.\r\r"
    "This backup contains the last saved information,\rand we strongly suggest you save this file under a\r"
    "new name and verify its contents\rDo you want to save this backup log file?";
const char* const kRenameProblemMessage = "Problem renaming file, try again";
const char* const kBadCountryBackupMessage =
    "The backup copy of the country file is damaged.\rThe country file was left as it was.";

bool MoveFileReplacing(const std::string& from, const std::string& to)
{
    std::error_code ec;
    if (!fs::is_regular_file(from, ec))
        return false;
    if (fs::is_directory(to, ec))
        return false;
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno != EXDEV)
        return false;
    try {
        std::ifstream in(from, std::ios::binary);
        if (!in)
            return false;
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (in.bad())
            return false;
        WriteFileAtomically(to, bytes);
    } catch (const EFileWriteError&) {
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

namespace {

void RemoveQuietly(const std::string& path)
{
    std::error_code ec;
    fs::remove(path, ec);
}

// After the log backup found its place: the country backup replaces the country file, but only
// when it loads; the file is swapped in one rename so a failure leaves the old one.
void RecoverCountry(const TCrashRecoveryFiles& files, const TCrashRecoveryEnv& env)
{
    std::error_code ec;
    if (!fs::exists(files.countryBackup, ec))
        return;
    if (env.testCountryFile && !env.testCountryFile(files.countryBackup)) {
        MessageDlg(kBadCountryBackupMessage, TMsgDlgType::mtWarning, mbOK);
        return;
    }
    fs::create_directories(fs::path(files.countryFile).parent_path(), ec);
    if (!MoveFileReplacing(files.countryBackup, files.countryFile)) {
        MessageDlg(kRenameProblemMessage, TMsgDlgType::mtError, mbOK);
        return;
    }
    if (env.reloadCountry)
        env.reloadCountry();
}

} // namespace

TCrashRecoveryResult RecoverCrashBackup(const TCrashRecoveryFiles& files, const TCrashRecoveryEnv& env)
{
    std::error_code ec;
    if (!fs::exists(files.logBackup, ec))
        return TCrashRecoveryResult::NoBackup;
    if (MessageDlg(kCrashBackupPrompt, TMsgDlgType::mtWarning, mbYes | mbNo) != mrYes) {
        RemoveQuietly(files.logBackup);
        RemoveQuietly(files.countryBackup);
        return TCrashRecoveryResult::Declined;
    }
    std::optional<std::string> name = env.askSaveName ? env.askSaveName() : std::nullopt;
    if (!name) {
        RemoveQuietly(files.logBackup);
        RemoveQuietly(files.countryBackup);
        return TCrashRecoveryResult::Cancelled;
    }
    for (;;) {
        fs::path parent = fs::path(*name).parent_path();
        if (!parent.empty())
            fs::create_directories(parent, ec);
        // Renaming over the chosen file replaces it in one step: a failed rename leaves both the
        // backup and the old file as they were.
        if (MoveFileReplacing(files.logBackup, *name)) {
            RecoverCountry(files, env);
            return TCrashRecoveryResult::Saved;
        }
        MessageDlg(kRenameProblemMessage, TMsgDlgType::mtError, mbOK);
        name = env.askSaveName ? env.askSaveName() : std::nullopt;
        if (!name)
            return TCrashRecoveryResult::Cancelled; // the backups stay until the normal end
    }
}

} // namespace korval
