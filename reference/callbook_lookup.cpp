#include "reference/callbook_lookup.h"

#include "logbook/base/string_utils.h"
#include "logbook/paths.h"
#include "platform/korval_home.h"
#include "platform/run_program.h"

#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace korval {
namespace {

const char* const LibraryNames[] = {"", "AMSOFT32.DLL", "Hamcal32.dll", "RACCD32a.DLL", "QRZ32.DLL", "octavia32.dll"};

struct TCachedLibrary {
    void* Handle = nullptr;
    std::string Name;
};

TCachedLibrary& Cache()
{
    static TCachedLibrary cache;
    return cache;
}

// Frees the library at program end.
struct TCacheGuard {
    ~TCacheGuard() { FreeCallbookDll(); }
} cacheGuard;

std::string SharedObjectName(const std::string& name)
{
    const auto dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".so";
}

template <typename F>
F Entry(const char* symbol)
{
    void* p = Cache().Handle ? dlsym(Cache().Handle, symbol) : nullptr;
    return reinterpret_cast<F>(p);
}

std::string ShortString(const std::string& s)
{
    const std::size_t n = std::min<std::size_t>(s.size(), 255);
    std::string out(1, static_cast<char>(n));
    out.append(s, 0, n);
    return out;
}

struct TResultBuffer {
    std::vector<char> Bytes = std::vector<char>(CallbookResultSize, '\0');
    char* data() { return Bytes.data(); }
    // The text up to the first zero; the last byte is always made a zero first.
    std::string Text()
    {
        Bytes.back() = '\0';
        return std::string(Bytes.data());
    }
};

// Splits at carriage returns; line feeds are dropped; a last unterminated line counts.
void SplitLines(const std::string& text, std::vector<std::string>& lines)
{
    std::string line;
    for (char c : text) {
        if (c == '\r') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\n') {
            line.push_back(c);
        }
    }
    if (!line.empty())
        lines.push_back(line);
}

std::string UpperCase(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

void AmsoftLookup(const std::string& path, const std::string& call, std::vector<std::string>& lines)
{
    const auto lookup = Entry<TAmsoftLookup>("AmsoftLookup");
    if (!lookup) {
        lines.push_back("Amsoft entry point not found");
        return;
    }
    TResultBuffer result;
    const std::string p = ShortString(path), c = ShortString(call);
    const int rc = lookup(reinterpret_cast<const unsigned char*>(p.data()),
                          reinterpret_cast<const unsigned char*>(c.data()), result.data());
    if (rc == -2)
        lines.push_back("Amsoft data files not found");
    else if (rc == -1)
        lines.push_back(call + " not found");
    else if (rc == 0)
        SplitLines(result.Text(), lines);
}

void OctaviaLookup(const std::string& path, const std::string& call, std::vector<std::string>& lines)
{
    const auto lookup = Entry<TOctaviaLookup>("OctaviaLookup");
    if (!lookup) {
        lines.push_back("Octavia entry point not found");
        return;
    }
    TResultBuffer result;
    const std::string p = ShortString(path), c = ShortString(call);
    if (lookup(reinterpret_cast<const unsigned char*>(p.data()), reinterpret_cast<const unsigned char*>(c.data()),
               result.data()))
        SplitLines(result.Text(), lines);
    else
        lines.push_back(call + " not found");
}

void BuckmasterLookup(const std::string& path, const std::string& call, std::vector<std::string>& lines)
{
    const auto lookup = Entry<TLookupCallSign>("LookupCallSign");
    if (!lookup) {
        const char* why = dlerror();
        lines.push_back(std::string("Buckmaster DLL error:") + (why ? std::string(" ") + why : std::string()));
        return;
    }
    TResultBuffer result;
    const int rc = lookup(path.c_str(), call.c_str(), BuckmasterResultSize, result.data());
    if (rc == -1)
        lines.push_back(call + " not found");
    else if (rc <= 0)
        lines.push_back("Buckmaster Error: " + std::to_string(rc));
    else
        BuckmasterLines(std::string_view(result.data(), BuckmasterResultSize), call, Cache().Name, lines);
}

void QrzLookup(const std::string& path, const std::string& call, std::vector<std::string>& lines)
{
    const auto init = Entry<TQRZInit>("QRZInit");
    const auto search = Entry<TQRZSearch>("QRZSearch");
    const auto exit = Entry<TQRZExit>("QRZExit");
    if (!init || !search || !exit) {
        lines.push_back("QRZ entry point not found");
        return;
    }
    if (init(path.c_str()) <= 0) {
        lines.push_back("QRZ Error: Database not found");
        return;
    }
    TResultBuffer result;
    const int n = search(1, call.c_str(), call.c_str(), call.c_str(), result.data(), 2);
    if (n <= 0) {
        lines.push_back(call + " not found");
    } else {
        result.Bytes.back() = '\0';
        const std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(n), CallbookResultSize - 1);
        SplitLines(std::string(result.data(), strnlen(result.data(), len)), lines);
    }
    exit();
}

// Manager entries of the Flying Horse CD: lines "CALL,MANAGER,DATE" in Data/QslMgr.dat.
void FlyingHorseManager(const std::string& path, const std::string& call, std::vector<std::string>& lines)
{
    const std::string file = path + "Data/QslMgr.dat";
    std::ifstream in(file);
    if (!in) {
        lines.push_back("IOERR=" + std::to_string(errno ? errno : ENOENT));
        return;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto c1 = line.find(',');
        if (c1 == std::string::npos || UpperCase(TrimSpaces(line.substr(0, c1))) != call)
            continue;
        const auto c2 = line.find(',', c1 + 1);
        const std::string manager = TrimSpaces(line.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1));
        const std::string date = c2 == std::string::npos ? std::string() : TrimSpaces(line.substr(c2 + 1));
        lines.push_back(call + " via " + manager + (date.empty() ? std::string() : " date: " + date));
    }
}

void FlyingHorseLookup(const std::string& path, const std::string& call, std::vector<std::string>& lines)
{
    const auto check = Entry<TrCheckDatabaseFormat>("rCheckDatabaseFormat");
    const auto info = Entry<TrGetCallInfo>("rGetCallInfo");
    const auto version = Entry<TrGetVersionNr>("rGetVersionNr");
    if (!check || !info || !version) {
        lines.push_back("Flying Horse entry point not found");
        return;
    }
    std::int16_t s1 = 0, s2 = 0;
    if (check(path.c_str(), &s1, &s2) != 0) {
        lines.push_back("CheckDatabaseFormat: DLL does not match with CD");
        return;
    }
    TResultBuffer result;
    const std::int16_t rc = info(path.c_str(), call.c_str(), result.data());
    if (rc == 1) {
        lines.push_back(call + " not found");
    } else if (rc != 0) {
        lines.push_back("Flying Horse Error: " + result.Text());
        return;
    } else {
        std::vector<std::string> f;
        std::string text = result.Text();
        std::size_t at = 0;
        while (true) {
            const auto tab = text.find('\t', at);
            f.push_back(TrimSpaces(text.substr(at, tab == std::string::npos ? std::string::npos : tab - at)));
            if (tab == std::string::npos)
                break;
            at = tab + 1;
        }
        f.resize(6);
        for (int i = 0; i < 2; ++i)
            if (!f[i].empty())
                lines.push_back(f[i]);
        std::string town = f[2];
        if (!f[3].empty())
            town += (town.empty() ? "" : ",") + f[3];
        if (!f[4].empty())
            town += (town.empty() ? "" : ", ") + f[4];
        if (!town.empty())
            lines.push_back(town);
        if (!f[5].empty())
            lines.push_back("County = " + f[5]);
    }
    FlyingHorseManager(path, call, lines);
}

} // namespace

std::string CallbookLibraryName(int source)
{
    return source >= 1 && source <= 5 ? LibraryNames[source] : "";
}

std::string CallbookLibraryFile(int source)
{
    const std::string name = CallbookLibraryName(source);
    return name.empty() ? name : SharedObjectName(name);
}

bool CallbookLibraryPresent(const std::string& extDataDir, int source)
{
    const std::string file = CallbookLibraryFile(source);
    std::error_code ec;
    return !file.empty() && std::filesystem::is_regular_file(FindFileNoCase(extDataDir, file), ec);
}

bool LoadCallbookDll(const std::string& extDataDir, const std::string& name)
{
    TCachedLibrary& cache = Cache();
    if (cache.Handle && name == cache.Name)
        return true;
    FreeCallbookDll();
    const std::string file = FindFileNoCase(extDataDir, SharedObjectName(name));
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return false;
    cache.Handle = handle;
    cache.Name = name.substr(0, 12);
    return true;
}

void FreeCallbookDll()
{
    TCachedLibrary& cache = Cache();
    if (cache.Handle)
        dlclose(cache.Handle);
    cache.Handle = nullptr;
    cache.Name.clear();
}

const std::string& CachedCallbookDllName() { return Cache().Name; }

void BuckmasterLines(std::string_view result, const std::string& call, const std::string& libraryName,
                     std::vector<std::string>& lines)
{
    result = result.substr(0, BuckmasterResultSize);
    auto field = [&](unsigned char tag) {
        const auto at = result.find(static_cast<char>(tag));
        if (at == std::string_view::npos)
            return std::string();
        std::size_t end = at + 1;
        while (end < result.size() && static_cast<unsigned char>(result[end]) >= 1 &&
               static_cast<unsigned char>(result[end]) < 128)
            ++end;
        return TrimSpaces(result.substr(at + 1, end - at - 1));
    };
    auto add = [](std::string& line, const char* prefix, const std::string& text) {
        if (text.empty())
            return;
        if (*prefix)
            line += std::string(prefix) + " " + text;
        else
            line += (line.empty() ? "" : " ") + text;
    };
    auto flush = [&](std::string& line) {
        if (!line.empty())
            lines.push_back(line);
        line.clear();
    };
    std::string line;
    for (unsigned char tag : {184, 185, 186, 187})
        add(line, "", field(tag));
    flush(line);
    add(line, "", field(188));
    flush(line);
    add(line, "", field(191));
    add(line, ",", field(192));
    add(line, "", field(193));
    flush(line);
    add(line, "", field(209));
    flush(line);
    add(line, "County:", field(198));
    flush(line);
    add(line, "Grid:", field(202));
    flush(line);
    if (const std::string manager = field(208); !manager.empty()) {
        lines.push_back("----QSL info from: " + libraryName);
        lines.push_back(call + " via " + manager);
    }
}

void CallbookLookup(const TCallbookSettings& settings, const std::string& call, std::vector<std::string>& lines)
{
    const std::string name = CallbookLibraryName(settings.Source);
    if (settings.Source < 1 || settings.Source > 5) {
        lines.push_back("Unknown callbook Nr = " + std::to_string(settings.Source));
        return;
    }
    if (!LoadCallbookDll(settings.ExtDataDir, name)) {
        lines.push_back("DLL not found: " + name);
        return;
    }
    std::string path = settings.DataDir.empty() ? std::string("/") : settings.DataDir;
    if (path.back() != '/')
        path += '/';
    switch (settings.Source) {
    case 1: AmsoftLookup(path, call, lines); break;
    case 2: BuckmasterLookup(path + "HAM0/", call, lines); break;
    case 3: FlyingHorseLookup(path, call, lines); break;
    case 4: QrzLookup(path, call, lines); break;
    case 5: OctaviaLookup(path, call, lines); break;
    }
}

void QslManagerProgramLookup(const std::string& program, const std::string& call, std::vector<std::string>& lines,
                             int timeoutMs)
{
    const std::filesystem::path prog(program);
    const std::string folder = prog.has_parent_path() ? prog.parent_path().string() : std::string(".");
    const std::string resultFile = folder + "/manager.res";
    std::remove(resultFile.c_str());
    lines.push_back("----QSL info from: " + program);
    const TExecuteResult run = ExecuteAndWait(program, {call}, timeoutMs, resultFile, folder);
    if (!run.Finished()) {
        lines.push_back("Error in QSL lookup = " + run.Error);
        return;
    }
    std::ifstream in(resultFile, std::ios::binary);
    if (!in) {
        lines.push_back("No result file found");
        return;
    }
    bool started = false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!started)
            started = line.find(call) != std::string::npos || line.find("Error") != std::string::npos;
        if (!started)
            continue;
        const std::string_view text = TrimLeft(line);
        if (!text.empty())
            lines.emplace_back(text);
    }
}

std::string ExtractManager(const std::vector<std::string>& lines, const std::string& call)
{
    const std::string upperCall = UpperCase(call);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string up = UpperCase(lines[i]);
        const auto via = up.find("VIA ");
        if (via == std::string::npos || up.find(upperCall) == std::string::npos)
            continue;
        std::string manager;
        for (std::size_t k = via + 4; k < up.size() && manager.size() < 12; ++k) {
            const char c = up[k];
            if (c == '/' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))
                manager.push_back(c);
            else
                break;
        }
        return manager;
    }
    return {};
}

} // namespace korval
