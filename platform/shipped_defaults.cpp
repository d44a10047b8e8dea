#include "platform/shipped_defaults.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/korval_home.h"

namespace korval {

namespace fs = std::filesystem;

std::vector<std::string> CopyShippedDefaults(const std::string& shippedDir, const std::string& home)
{
    std::vector<std::string> copied;
    std::error_code ec;
    if (!fs::is_directory(shippedDir, ec))
        return copied;
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(shippedDir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file(ec))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& src : files) {
        // The walk names each file under shippedDir as given: no need to resolve links and
        // dots on every start, as fs::relative would.
        fs::path rel = src.lexically_relative(shippedDir);
        if (rel.empty())
            continue;
        // Walk the relative path folder by folder, matching existing names without regard to case.
        std::string target = home;
        for (const fs::path& part : rel)
            target = FindFileNoCase(target, part.string());
        if (fs::exists(target, ec))
            continue;
        fs::create_directories(fs::path(target).parent_path(), ec);
        std::ifstream in(src, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        if (!in.good() && !in.eof())
            throw EFileWriteError("Cannot read " + src.string());
        WriteFileAtomically(target, bytes);
        copied.push_back(rel.string());
    }
    return copied;
}

std::string FindShippedDataDir(const std::string& exeDir, const std::string& fallback)
{
    if (const char* env = std::getenv("KORVAL_DATA_DIR"); env && *env)
        return env;
    std::error_code ec;
    fs::path installed = fs::path(exeDir) / ".." / "share" / "korval";
    if (fs::is_directory(installed, ec))
        return fs::weakly_canonical(installed, ec).string();
    return fallback;
}

} // namespace korval
