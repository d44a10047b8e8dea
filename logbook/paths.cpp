#include "logbook/paths.h"

#include "logbook/config_record.h"
#include "platform/korval_home.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>

namespace korval {

namespace {

const char* const dataExtensions[DataFileCount] = {"KVL", "CTY", "CFG", "PUT", "IEP", "REP", "CAL",
                                                   "LAB", "INI", "TCP", "AWD", "WPX", "ANT"};
const char* const programDirExtensions[ProgramDirFileCount] = {"KVB", "CTB", "$$$", "MAS"};

// Joins without doubling the '/' when the folder is the root.
std::string Join(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// A name under a folder, matching a differently cased entry that already exists on disk.
std::string Under(const std::string& folder, const std::string& name)
{
    std::string found = FindFileNoCase(folder, name);
    std::string joined = Join(folder, name);
    // FindFileNoCase joins with '/', which doubles it under the root folder.
    if (found == folder + "/" + name)
        return joined;
    return found;
}

void MakeFolders(const std::string& folder)
{
    if (folder.empty())
        return;
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = folder.find('/', pos + 1);
        partial = folder.substr(0, pos);
        if (partial.empty())
            continue;
        if (::mkdir(partial.c_str(), 0755) == 0)
            continue;
        int err = errno;
        struct stat st {};
        if (!(::stat(partial.c_str(), &st) == 0 && S_ISDIR(st.st_mode)))
            throw EFileWriteError("Cannot create the folder " + partial + ": " + std::strerror(err));
    }
}

} // namespace

const char* DataFileExtension(int index)
{
    if (index < 0 || index >= DataFileCount)
        throw std::out_of_range("Data file index " + std::to_string(index));
    return dataExtensions[index];
}

const char* ProgramDirFileExtension(int index)
{
    if (index < 0 || index >= ProgramDirFileCount)
        throw std::out_of_range("Program folder file index " + std::to_string(index));
    return programDirExtensions[index];
}

std::string GetProgramDir() { return KorvalHome(); }
std::string GetSaveDir() { return Under(GetProgramDir(), "SAVE"); }
std::string GetDataFileName(int index) { return Under(GetSaveDir(), std::string("KORVAL.") + DataFileExtension(index)); }
std::string GetProgramDirFileName(int index)
{
    return Under(GetProgramDir(), std::string("KORVAL.") + ProgramDirFileExtension(index));
}
std::string GetImportDir() { return Under(GetProgramDir(), "IMPORT"); }
std::string GetImportFileName(const std::string& name) { return Under(GetImportDir(), name); }
std::string GetImportProfileName(const std::string& name) { return GetImportFileName(name + ".PMP"); }
std::string GetExtDataDir() { return Under(GetProgramDir(), "EXTDATA"); }
std::string GetRadiosDir() { return Under(GetProgramDir(), "RADIOS"); }
std::string GetRigFileName(const std::string& name) { return Under(GetRadiosDir(), name + ".rig"); }
std::string GetHelpFileName() { return Under(GetProgramDir(), "korval.hlp"); }

std::unique_ptr<AtomicFile> PrepareFileRewrite(const std::string& name)
{
    auto slash = name.rfind('/');
    if (slash != std::string::npos && slash > 0)
        MakeFolders(name.substr(0, slash));
    return std::make_unique<AtomicFile>(name, Config.KeepBackup());
}

void RewriteDataFile(const std::string& name, std::string_view bytes)
{
    auto file = PrepareFileRewrite(name);
    file->write(bytes);
    file->commit();
}

std::string ShortPathName(const std::string& path) { return path; }

} // namespace korval
