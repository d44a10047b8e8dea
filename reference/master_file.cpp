#include "reference/master_file.h"

#include "platform/atomic_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korval {
namespace {

constexpr unsigned char EndByte = 0xFF;
constexpr std::size_t HeaderSize = 9;

bool IsCallChar(unsigned char c)
{
    return c == '/' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

unsigned char Upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// '?' in the pattern matches any one character.
bool MatchesAt(std::string_view call, std::size_t at, std::string_view pattern)
{
    if (at + pattern.size() > call.size())
        return false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (pattern[i] != '?' && pattern[i] != call[at + i])
            return false;
    return true;
}

} // namespace

TMasterCallList ParseMasterList(std::string_view text, const TMasterProgress& progress)
{
    TMasterCallList list;
    std::string token;
    auto endToken = [&] {
        if (token.size() >= MasterCallMin) {
            auto it = std::lower_bound(list.Calls.begin(), list.Calls.end(), token);
            if (it == list.Calls.end() || *it != token) {
                list.Calls.insert(it, token);
                list.Longest = std::max(list.Longest, static_cast<int>(token.size()));
            }
        }
        token.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = Upper(static_cast<unsigned char>(text[i]));
        if (IsCallChar(c)) {
            if (token.size() < MasterCallMax)
                token.push_back(static_cast<char>(c));
        } else {
            endToken();
        }
        if (progress && (i + 1) % MasterProgressStep == 0)
            progress(i + 1, text.size());
    }
    endToken(); // the last token counts even without a line end after it
    if (progress)
        progress(text.size(), text.size());
    return list;
}

std::string EncodeMasterFile(const TMasterCallList& list)
{
    std::string out(MasterFileMagic, 8);
    out.push_back(static_cast<char>(list.Longest));
    for (const std::string& call : list.Calls) {
        out.push_back(static_cast<char>(static_cast<unsigned char>(call[0]) + 128));
        out.append(call, 1, std::string::npos);
    }
    out.push_back(static_cast<char>(EndByte));
    return out;
}

std::size_t ConvertMasterFile(const std::string& source, const std::string& target,
                              const TMasterProgress& progress)
{
    std::ifstream in(source, std::ios::binary);
    if (!in)
        throw std::runtime_error("Cannot open " + source);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error("Cannot read " + source);
    const TMasterCallList list = ParseMasterList(text, progress);
    WriteFileAtomically(target, EncodeMasterFile(list));
    return list.Calls.size();
}

void TMasterLookupEngine::Free()
{
    block_.clear();
    block_.shrink_to_fit();
    starts_.clear();
    longest_ = MasterCallMax;
    loaded_ = false;
    last_.clear();
    matches_.clear();
}

TMasterLoadResult TMasterLookupEngine::LoadFile(const std::string& fileName)
{
    Free();
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return TMasterLoadResult::NotFound;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return TMasterLoadResult::Damaged;
    return LoadBytes(bytes);
}

TMasterLoadResult TMasterLookupEngine::LoadBytes(std::string_view bytes)
{
    Free();
    if (bytes.size() < 8 || bytes.substr(0, 8) != std::string_view(MasterFileMagic, 8))
        return TMasterLoadResult::NotMasterFile;
    if (bytes.size() < HeaderSize + 1)
        return TMasterLoadResult::Damaged;
    const std::string_view body = bytes.substr(HeaderSize);
    // The list must be whole: calls of valid characters, each begun by a marked byte, up to the
    // end byte. The first end byte ends the list; a file without one is refused.
    std::vector<std::uint32_t> starts;
    std::size_t end = std::string_view::npos;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const auto c = static_cast<unsigned char>(body[i]);
        if (c == EndByte) {
            end = i;
            break;
        }
        if (c & 0x80) {
            if (!IsCallChar(c - 128))
                return TMasterLoadResult::Damaged;
            starts.push_back(static_cast<std::uint32_t>(i));
        } else if (!IsCallChar(c) || starts.empty()) {
            return TMasterLoadResult::Damaged;
        }
    }
    if (end == std::string_view::npos)
        return TMasterLoadResult::Damaged;
    block_.assign(body.substr(0, end));
    for (std::uint32_t s : starts)
        block_[s] = static_cast<char>(static_cast<unsigned char>(block_[s]) - 128);
    starts.push_back(static_cast<std::uint32_t>(end));
    starts_ = std::move(starts);
    const int longest = static_cast<unsigned char>(bytes[8]);
    longest_ = longest > 0 && longest <= static_cast<int>(MasterCallMax) ? longest : MasterCallMax;
    loaded_ = true;
    return TMasterLoadResult::Loaded;
}

std::string_view TMasterLookupEngine::CallAt(std::size_t i) const
{
    return std::string_view(block_).substr(starts_[i], starts_[i + 1] - starts_[i]);
}

bool TMasterLookupEngine::Search(std::string_view partial)
{
    if (!loaded_)
        return false;
    std::string call(partial.substr(0, MasterCallMax));
    for (char& c : call)
        c = static_cast<char>(Upper(static_cast<unsigned char>(c)));
    if (call == last_)
        return false;
    last_ = call;

    std::string_view pattern = call;
    bool subString = subString_;
    if (!pattern.empty() && pattern.front() == '?') {
        subString = true;
        pattern.remove_prefix(std::min(pattern.find_first_not_of('?'), pattern.size()));
    }
    while (!pattern.empty() && pattern.back() == '?')
        pattern.remove_suffix(1);

    matches_.clear();
    if (pattern.size() < 2)
        return true;

    const std::size_t count = CallCount();
    if (subString) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view c = CallAt(i);
            for (std::size_t at = 0; at + pattern.size() <= c.size(); ++at)
                if (MatchesAt(c, at, pattern)) {
                    matches_.emplace_back(c);
                    break;
                }
        }
        return true;
    }
    // Left match: the calls are sorted, so the literal part before any "?" narrows the range.
    const std::string_view literal = pattern.substr(0, pattern.find('?'));
    std::size_t lo = 0, hi = count;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (CallAt(mid) < literal)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (std::size_t i = lo; i < count; ++i) {
        const std::string_view c = CallAt(i);
        if (c.substr(0, literal.size()) != literal)
            break;
        if (MatchesAt(c, 0, pattern))
            matches_.emplace_back(c);
    }
    return true;
}

} // namespace korval
