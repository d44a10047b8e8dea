#pragma once
// What every harness needs: a Korval home of its own in a temporary folder, messages answered
// silently, no progress window, and helpers to hand the input over as a file or split it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korval::fuzz {

// Once per process: the home (with SAVE/ and IMPORT/), the silent message handler, the silent
// progress display, a fixed clock. withCountryDb also loads the shipped country database and
// installs it as the logbook's lookup.
void Prepare(bool withCountryDb);

// The temporary home.
const std::string& Home();
// Writes the bytes to a file of the home (relative name) and returns its full path.
std::string WriteHomeFile(const std::string& name, std::string_view bytes);
// The whole contents of a file (empty when it cannot be read).
std::string ReadWholeFile(const std::string& path);

// Splits the input at the first byte 0 (the second part empty when there is none).
void SplitAtNul(std::string_view data, std::string_view& first, std::string_view& second);

// Reads small numbers from the front of the input, then leaves the rest.
class TInputTaker {
public:
    TInputTaker(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}
    std::uint8_t Byte()
    {
        if (rest_.empty())
            return 0;
        auto b = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return b;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

} // namespace korval::fuzz
