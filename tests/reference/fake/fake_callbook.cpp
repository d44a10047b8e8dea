// A stand-in callbook library for the lookup tests: every entry point of the five libraries,
// answering by the call it is given. Built with FAKE_MISSING, the main entry points are left out.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

#ifndef FAKE_MISSING
std::string Short(const unsigned char* s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }
#endif

void Put(char* result, const std::string& text) { std::memcpy(result, text.c_str(), text.size() + 1); }

} // namespace

extern "C" {

#ifndef FAKE_MISSING
int AmsoftLookup(const unsigned char* path, const unsigned char* call, char* result)
{
    if (Short(path).rfind("/nodata/", 0) == 0)
        return -2;
    const std::string c = Short(call);
    if (c == "NOSUCH")
        return -1;
    if (c == "SILENT")
        return 5;
    Put(result, "Call " + c + " in " + Short(path) + "\rJohn Doe\r");
    return 0;
}

unsigned char OctaviaLookup(const unsigned char* path, const unsigned char* call, char* result)
{
    const std::string c = Short(call);
    if (c == "NOSUCH")
        return 0;
    Put(result, "Call " + c + " in " + Short(path) + "\rW1ABC via W1ABC/4.");
    return 1;
}

int LookupCallSign(const char* path, const char* call, int size, char* result)
{
    const std::string c = call;
    if (size != 500)
        return -9;
    if (c == "NOSUCH")
        return -1;
    if (c == "ZERO")
        return 0;
    if (c == "ERR")
        return -3;
    // Fields: tag byte, then text; the name split over four tags, a missing 209.
    const std::string p = path;
    std::string r = "\xb8John\xb9Q\xba Doe \xbbJr\xbc" "1 Main St\xbf" "Boston\xc0MA\xc1" "02101\xc6Suffolk\xca" "FN42\xd0K1MGR";
    r += "\xbc" "duplicate tag ignored";
    std::memcpy(result, r.data(), r.size());
    return p.size() > 5 && p.compare(p.size() - 5, 5, "HAM0/") == 0 ? 1 : -8;
}

int QRZSearch(int kind, const char* call1, const char*, const char*, char* result, int mode)
{
    const std::string c = call1;
    if (c == "NOSUCH" || kind != 1 || mode != 2)
        return 0;
    const std::string text = "QRZ " + c + "\r\nLine two\r\nLast";
    std::memcpy(result, text.data(), text.size()); // no terminating zero: the count says how much
    return static_cast<int>(text.size());
}

int rGetVersionNr() { return 7; }
#endif

int QRZInit(const char* path) { return std::strncmp(path, "/nodata/", 8) == 0 ? 0 : 1; }
void QRZExit() {}

int rCheckDatabaseFormat(const char* path, std::int16_t* s1, std::int16_t* s2)
{
    *s1 = 1;
    *s2 = 2;
    return std::strncmp(path, "/badcd/", 7) == 0 ? 1 : 0;
}

std::int16_t rGetCallInfo(const char*, const char* call, char* result)
{
    const std::string c = call;
    if (c == "NOSUCH")
        return 1;
    if (c == "ERR") {
        Put(result, "disk read");
        return 2;
    }
    Put(result, "John Doe\t1 Main St\tBoston\tMA\t02101\tSuffolk");
    return 0;
}

} // extern "C"
