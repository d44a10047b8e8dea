#include "platform/korval_home.h"

#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <strings.h>
#include <unistd.h>

namespace korval {

namespace {
std::string StripTrailingSlashes(std::string s)
{
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}
} // namespace

std::string KorvalHome()
{
    if (const char* home = std::getenv("KORVAL_HOME"); home && *home)
        return StripTrailingSlashes(home);
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        return StripTrailingSlashes(xdg) + "/korval";
    std::string user;
    if (const char* h = std::getenv("HOME"); h && *h)
        user = h;
    else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        user = pw->pw_dir;
    else
        user = "/tmp";
    return StripTrailingSlashes(user) + "/.local/share/korval";
}

std::string FindFileNoCase(const std::string& folder, const std::string& name)
{
    std::string exact = folder + "/" + name;
    if (access(exact.c_str(), F_OK) == 0)
        return exact;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* e = readdir(dir)) {
            if (strcasecmp(e->d_name, name.c_str()) == 0) {
                exact = folder + "/" + e->d_name;
                break;
            }
        }
        closedir(dir);
    }
    return exact;
}

} // namespace korval
