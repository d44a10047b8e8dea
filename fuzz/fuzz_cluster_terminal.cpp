// What the cluster terminal reads from outside: a node's characters (line assembly, wrapping,
// the scrollback), the address list file, a web server's answer, other programs' messages, and
// the operator's warning patterns against cluster lines. The first bytes choose the reader and
// its settings; the rest is cut into pieces so that state carried between reads is exercised.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "station/copy_data.h"
#include "station/http_fetch.h"
#include "station/internet_address.h"
#include "station/talk_router.h"
#include "station/terminal_lines.h"

using namespace korval;

namespace {

struct TSilentHost : THttpFetchHost {
    int suspended = 0;
    std::size_t delivered = 0;
    void ShowCaption(const std::string&) override {}
    void OpenConnection(const TInternetAddress&) override {}
    void CloseConnection() override {}
    void SendRequest(const std::string&) override {}
    void DeliverLine(const std::string& line) override
    {
        // A listing line is at most a line of the page with " <" and ">" CR LF around its tail.
        if (line.size() > THttpFetch::MaxLine + 5 || line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0)
            std::abort();
        ++delivered;
    }
    void Warn(const std::string&) override {}
    void SuspendSpotUpdates(bool on) override
    {
        suspended += on ? 1 : -1;
        if (suspended < 0 || suspended > 1)
            std::abort();
    }
};

void Terminal(std::string_view data, std::uint8_t width, std::uint8_t maxLines, std::uint8_t cut)
{
    TTerminalLines t;
    t.SetTakeLines(true);
    t.SetWrapWidth(1 + width % 100);
    t.SetMaxLines(1 + maxLines);
    t.OnLine = [](const std::string& line) {
        if (line.size() > TTerminalLines::MaxPendingLine)
            std::abort();
    };
    const std::size_t at = std::min<std::size_t>(cut, data.size());
    t.Receive(data.substr(0, at));
    t.SetWrapWidth(1 + (width / 2) % 100);
    t.Receive(data.substr(at));
    if (t.Count() > 1 + maxLines && (t.Lines()[1].flags & TTerminalLines::lfContinuation) == 0)
        std::abort(); // only the line in progress may stand beyond the limit
    for (const auto& l : t.Lines())
        if (l.text.size() > static_cast<std::size_t>(t.WrapWidth()))
            std::abort();
    t.Select(0, true);
    (void)t.SelectedText();
    (void)t.WholeLine(t.Count() - 1);
}

void Addresses(std::string_view data)
{
    const TInternetAddress page{"www.example.org", "80", "/dx/list.html"};
    for (const std::string& entry : SplitAddressList(data)) {
        const TInternetAddress a = ParseInternetAddress(entry);
        if (a.port.empty() && entry.find(':') == std::string::npos)
            std::abort();
        // A location read as a redirection always leads somewhere.
        TInternetAddress to;
        if (ResolveLocation(page, entry, to) && to.host.empty())
            std::abort();
    }
}

void WebAnswer(std::string_view data, std::uint8_t cut)
{
    TSilentHost host;
    THttpFetch fetch(host);
    fetch.SetAddress(ParseInternetAddress("HTTP://www.example.org/dx/list.html"));
    fetch.StartOrAbort();
    fetch.Connected();
    const std::size_t at = std::min<std::size_t>(cut, data.size());
    fetch.Receive(data.substr(0, at));
    if (fetch.State() == THttpFetch::hsConnecting)
        fetch.Connected();
    fetch.Receive(data.substr(at));
    fetch.Disconnected();
    if (host.suspended != 0 || fetch.State() != THttpFetch::hsIdle)
        std::abort();
}

void Messages(std::string_view data, std::uint8_t cut)
{
    TCopyDataReader reader;
    TCopyDataLines lines;
    std::vector<TCopyData> got;
    const std::size_t at = std::min<std::size_t>(cut, data.size());
    if (reader.Feed(data.substr(0, at), got))
        reader.Feed(data.substr(at), got);
    for (const TCopyData& m : got) {
        if (m.data.size() > MaxCopyData)
            std::abort();
        for (const std::string& l : lines.Take(m.data))
            if (l.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
                std::abort();
    }
}

void Patterns(std::string_view data)
{
    std::string_view pattern, line;
    fuzz::SplitAtNul(data, pattern, line);
    const bool match = MatchTalkPattern(pattern.substr(0, 20), line);
    if (pattern.empty() && match)
        std::abort();
    TTalkLines talk;
    for (int i = 0; i < 25; ++i)
        talk.Route({std::string(pattern.substr(0, 20)), "", "", ""}, "DL1ABC", std::string(line));
    if (talk.Lines().size() > TTalkLines::MaxLines)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInputTaker in(data, size);
    const std::uint8_t pick = in.Byte();
    const std::uint8_t a = in.Byte(), b = in.Byte(), c = in.Byte();
    const std::string_view rest = in.Rest();
    switch (pick % 5) {
    case 0: Terminal(rest, a, b, c); break;
    case 1: Addresses(rest); break;
    case 2: WebAnswer(rest, c); break;
    case 3: Messages(rest, c); break;
    default: Patterns(rest); break;
    }
    return 0;
}
