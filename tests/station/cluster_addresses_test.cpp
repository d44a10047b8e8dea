// The address list of the cluster terminal, redirections, and the web fetch's reading of
// status lines, headers and listing lines (the loopback runs are in the window tests).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "station/http_fetch.h"
#include "station/internet_address.h"

using namespace korval;

namespace korval {
void PrintTo(const TInternetAddress& a, std::ostream* os)
{
    *os << a.host << " : " << a.port << " : " << a.path;
}
} // namespace korval

namespace {

struct AddressCase {
    const char* entry;
    TInternetAddress expected;
};

class AddressEntries : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressEntries, Parse)
{
    EXPECT_EQ(ParseInternetAddress(GetParam().entry), GetParam().expected) << GetParam().entry;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressEntries,
    ::testing::Values(AddressCase{"dxc.example.org", {"dxc.example.org", "23", ""}},
                      AddressCase{"My node, dxc.example.org:7300", {"dxc.example.org", "7300", ""}},
                      AddressCase{"HTTP://www.example.org", {"www.example.org", "80", "/"}},
                      AddressCase{"Spots,http://www.example.org:8080/dx/a.html", {"www.example.org", "8080", "/dx/a.html"}},
                      AddressCase{"Page,www.example.org/spots", {"www.example.org", "80", "/spots"}},
                      AddressCase{"Node 2, c : 8000 ", {"c", "8000", ""}}));

struct LocationCase {
    const char* location;
    bool ok;
    TInternetAddress to;
};

class Locations : public ::testing::TestWithParam<LocationCase> {};

TEST_P(Locations, ResolveAgainstTheRequest)
{
    const TInternetAddress from{"www.example.org", "8080", "/dx/list.html?band=20"};
    TInternetAddress to;
    ASSERT_EQ(ResolveLocation(from, GetParam().location, to), GetParam().ok) << GetParam().location;
    if (GetParam().ok) {
        EXPECT_EQ(to, GetParam().to) << GetParam().location;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Locations,
    ::testing::Values(LocationCase{"/new/page.html", true, {"www.example.org", "8080", "/new/page.html"}},
                      LocationCase{"other.html", true, {"www.example.org", "8080", "/dx/other.html"}},
                      LocationCase{"http://mirror.example.net/x", true, {"mirror.example.net", "80", "/x"}},
                      LocationCase{"//mirror.example.net:81/y", true, {"mirror.example.net", "81", "/y"}},
                      LocationCase{"https://secure.example.org/", false, {}},
                      LocationCase{"  ", false, {}}));

TEST(AddressList, LinesWithAnyLineEnd)
{
    EXPECT_EQ(SplitAddressList("a,h1\r\nb,h2\nc,h3\rd,h4"), (std::vector<std::string>{"a,h1", "b,h2", "c,h3", "d,h4"}));
    EXPECT_TRUE(LoadAddressList("/nonexistent/KORVAL.TCP").empty());
}

// The fetch with its connection played by the test.
struct TFakeHost : THttpFetchHost {
    std::vector<std::string> captions, requests, lines, warnings;
    std::vector<TInternetAddress> opened;
    int closes = 0;
    int suspends = 0;
    void ShowCaption(const std::string& c) override { captions.push_back(c); }
    void OpenConnection(const TInternetAddress& a) override { opened.push_back(a); }
    void CloseConnection() override { ++closes; }
    void SendRequest(const std::string& r) override { requests.push_back(r); }
    void DeliverLine(const std::string& l) override { lines.push_back(l); }
    void Warn(const std::string& w) override { warnings.push_back(w); }
    void SuspendSpotUpdates(bool on) override { suspends += on ? 1 : -1; }
};

struct TFetch {
    TFakeHost host;
    THttpFetch fetch{host};
    explicit TFetch(const char* entry = "HTTP://www.example.org")
    {
        fetch.SetAddress(ParseInternetAddress(entry));
        fetch.StartOrAbort();
        fetch.Connected();
    }
};

struct StatusCase {
    const char* response;
    const char* caption;
};

class FailedResponses : public ::testing::TestWithParam<StatusCase> {};

TEST_P(FailedResponses, EndWithTheReasonInTheCaption)
{
    TFetch f;
    f.fetch.Receive(GetParam().response);
    EXPECT_EQ(f.host.captions.back(), GetParam().caption) << GetParam().response;
    EXPECT_EQ(f.fetch.State(), THttpFetch::hsIdle);
    EXPECT_EQ(f.host.closes, 1);
    EXPECT_EQ(f.host.suspends, 0) << "spot updates resumed";
    EXPECT_TRUE(f.host.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedResponses,
    ::testing::Values(
        StatusCase{"SSH-2.0-OpenSSH\r\n", "Error: Unexpected header = SSH-2.0-OpenSSH"},
        StatusCase{"HTTP/1.0\r\n", "Error: No Status code"},
        StatusCase{"HTTP/1.1 404 Not Found\r\n", "Error: Unknown status code = 404"},
        StatusCase{"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n<PRE>", "Error: Not an HTML/TEXT document"},
        StatusCase{"HTTP/1.1 302 Found\r\nLocation: https://secure.example.org/\r\n",
                   "Error: Cannot fetch location = https://secure.example.org/"}));

TEST(HttpFetch, RequestNamesTheHost)
{
    EXPECT_EQ(THttpFetch::Request({"www.example.org", "80", "/"}), "GET / HTTP/1.0\r\nHost: www.example.org\r\n\r\n");
    EXPECT_EQ(THttpFetch::Request({"h", "8080", "/a"}), "GET /a HTTP/1.0\r\nHost: h:8080\r\n\r\n");
}

TEST(HttpFetch, PageWithCharsetGivesItsListingLinesAndTheLastOneWithoutLineEnd)
{
    TFetch f;
    ASSERT_EQ(f.host.requests.size(), 1u);
    EXPECT_EQ(f.host.suspends, 1);
    f.fetch.Receive("HTTP/1.1 200 OK\r\ncontent-type: text/html; charset=ISO-8859-1\r\n\r\n<html><body>\n");
    f.fetch.Receive("ignored line before the listing, long enough to count\n<PRE>DL1ABC:  14025.0 VP8LP   CW up 2  1140Z 25 Jan\n");
    f.fetch.Receive("short line\nK1XYZ     7004.8  ZS6ZZ      599         0930 03 Feb");
    EXPECT_EQ(f.host.lines.size(), 1u);
    f.fetch.Disconnected();
    EXPECT_EQ(f.host.lines, (std::vector<std::string>{"DL1ABC   14025.0 VP8LP   CW up 2   <1140 25-Jan>\r\n",
                                                      "K1XYZ     7004.8  ZS6ZZ      599         <0930 03-Feb>\r\n"}));
    EXPECT_EQ(f.host.suspends, 0);
    EXPECT_EQ(f.fetch.State(), THttpFetch::hsIdle);
}

TEST(HttpFetch, HeadersEndingInBareLineFeedsAreRead)
{
    // The empty line after LF-only headers is a line of its own, not the second half of a pair.
    TFetch f;
    f.fetch.Receive("HTTP/1.0 200 OK\nContent-Type: text/html\n\n<PRE>\nW3LPL      14025.0  VP8LP       CW  1140Z 25 Jan\n");
    EXPECT_EQ(f.fetch.State(), THttpFetch::hsBody);
    EXPECT_EQ(f.host.lines.size(), 1u);
}

TEST(HttpFetch, DisconnectBeforeTheEndOfTheHeadersIsReported)
{
    TFetch f;
    f.fetch.Receive("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n");
    f.fetch.Disconnected();
    EXPECT_EQ(f.host.captions.back(), "Error: Connection closed before the end of the headers");
    EXPECT_EQ(f.host.suspends, 0);
}

TEST(HttpFetch, RedirectionsAreFollowedAtMostFiveTimes)
{
    TFetch f("Page,www.example.org/dx/a.html");
    for (int i = 0; i < 6; ++i) {
        f.fetch.Receive("HTTP/1.0 302 Found\r\nLocation: b.html\r\n\r\n");
        if (f.fetch.State() == THttpFetch::hsConnecting)
            f.fetch.Connected();
    }
    ASSERT_EQ(f.host.opened.size(), 6u) << "the first fetch and five redirections";
    EXPECT_EQ(f.host.opened[1], (TInternetAddress{"www.example.org", "80", "/dx/b.html"}));
    EXPECT_EQ(f.host.captions.back(), "Error: Too many redirections");
    EXPECT_EQ(f.host.suspends, 0);
}

TEST(HttpFetch, KeyWhileRunningAbortsAndTheNextStartsAgain)
{
    TFetch f;
    f.fetch.StartOrAbort();
    EXPECT_EQ(f.host.warnings, (std::vector<std::string>{"Transfer aborted"}));
    EXPECT_EQ(f.fetch.State(), THttpFetch::hsIdle);
    f.fetch.Disconnected();
    EXPECT_EQ(f.host.captions.back(), "Unexpected disconnect from www.example.org:80/");
    f.fetch.StartOrAbort();
    EXPECT_EQ(f.fetch.State(), THttpFetch::hsConnecting);
    EXPECT_EQ(f.host.opened.size(), 2u);
}

struct ListingCase {
    const char* line;
    const char* delivered;
};

class ListingLines : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListingLines, TailInAngleBrackets)
{
    EXPECT_EQ(THttpFetch::ListingLine(GetParam().line), GetParam().delivered);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListingLines,
    ::testing::Values(ListingCase{"W3LPL: 14025.0 VP8LP CW   1140Z 25 Jan", "W3LPL  14025.0 VP8LP CW    <1140 25-Jan>\r\n"},
                      ListingCase{"a long listing line: colon late, 1140Z 25 Jan",
                                  "a long listing line: colon late,  <1140 25-Jan>\r\n"},
                      ListingCase{"W3LPL  14025.0 VP8LP CW   xx 1140 25 Jan", "W3LPL  14025.0 VP8LP CW   xx <1140 25-Jan>\r\n"},
                      ListingCase{"too short 1140Z 25 Jan", ""}));

} // namespace
