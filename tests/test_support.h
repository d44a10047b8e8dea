#pragma once
// Small helpers shared by the test executables.
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <locale.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

namespace korval::test {

// A fresh folder under the system temp folder, removed when the object goes.
class TempDir {
public:
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "korval-test-XXXXXX").string();
        path_ = mkdtemp(tmpl.data()) ? tmpl : std::string();
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Points KORVAL_HOME at a folder for the life of the object.
class ScopedHome {
public:
    explicit ScopedHome(const std::string& dir)
    {
        if (const char* old = std::getenv("KORVAL_HOME")) {
            had_ = true;
            old_ = old;
        }
        setenv("KORVAL_HOME", dir.c_str(), 1);
    }
    ~ScopedHome()
    {
        if (had_)
            setenv("KORVAL_HOME", old_.c_str(), 1);
        else
            unsetenv("KORVAL_HOME");
    }

private:
    bool had_ = false;
    std::string old_;
};

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Sets the C library's locale, every category, for the life of the object, as the window toolkit
// does from the desktop at start-up; the one before comes back after. Ok() is false where the
// machine has no such locale (scripts/deps.sh generates de_DE.UTF-8 and ru_RU.UTF-8).
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : old_(std::setlocale(LC_ALL, nullptr))
    {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool Ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

// Locales whose decimal separator is a comma (ru_RU also groups thousands with a no-break space),
// and the C locale that numbers in files and on the wire are written in.
inline const char* const kDesktopLocales[] = {"C.UTF-8", "de_DE.UTF-8", "ru_RU.UTF-8"};

// strtod of the C locale, whatever the process locale is: the reference for numbers in files.
inline double CStrtod(const char* text)
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text, nullptr, c);
}

} // namespace korval::test
