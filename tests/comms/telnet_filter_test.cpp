// The telnet state machine on its own: split input, CR NUL, subnegotiations and their bound.
#include "comms/telnet_filter.h"

#include <gtest/gtest.h>

using namespace korval;

namespace {

std::string Bytes(std::initializer_list<int> b)
{
    std::string s;
    for (int c : b)
        s += static_cast<char>(c);
    return s;
}

void Feed(TTelnetFilter& f, const std::string& in, std::string& data, std::string& replies)
{
    f.Receive(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(), data, replies);
}

TEST(TelnetFilter, EverySplitPointGivesTheSameResult)
{
    const std::string in = "a" + Bytes({255, 255}) + "b" + Bytes({255, 253, 24}) + "c\r" + Bytes({0}) + "d" +
                           Bytes({255, 250, 24, 1, 255, 240}) + "e" + Bytes({255, 241}) + "f";
    const std::string wantData = "a\xff" "bc\rdef";
    const std::string wantReplies = Bytes({255, 251, 24, 255, 250, 24, 0}) + "vt100" + Bytes({255, 240});
    for (std::size_t cut = 0; cut <= in.size(); ++cut) {
        TTelnetFilter f;
        std::string data, replies;
        Feed(f, in.substr(0, cut), data, replies);
        Feed(f, in.substr(cut), data, replies);
        EXPECT_EQ(data, wantData) << "cut at " << cut;
        EXPECT_EQ(replies, wantReplies) << "cut at " << cut;
    }
}

TEST(TelnetFilter, RequestsAreAnsweredOnlyWhenTheStateChanges)
{
    TTelnetFilter f;
    std::string data, replies;
    Feed(f, Bytes({255, 251, 1, 255, 251, 1, 255, 251, 7, 255, 253, 3, 255, 253, 3, 255, 252, 1, 255, 252, 1}), data,
         replies);
    // WILL ECHO: DO once, nothing for the repeat; WILL 7: DONT; DO SGA: WONT each time (a refusal
    // leaves the state unchanged, and a peer gets no answer to its WONT); WONT ECHO: DONT once.
    EXPECT_EQ(replies, Bytes({255, 253, 1, 255, 254, 7, 255, 252, 3, 255, 252, 3, 255, 254, 1}));
    EXPECT_EQ(f.Him(toEcho), TTelnetFilter::TOpt::No);
    EXPECT_TRUE(data.empty());
}

TEST(TelnetFilter, BinaryModeKeepsCrNul)
{
    TTelnetFilter f;
    std::string data, replies;
    Feed(f, Bytes({255, 251, 0}) + "\r" + Bytes({0}), data, replies);
    EXPECT_EQ(data, std::string("\r\0", 2));
}

TEST(TelnetFilter, AnUnendedSubnegotiationDoesNotSwallowTheStream)
{
    TTelnetFilter f;
    std::string data, replies;
    Feed(f, Bytes({255, 250, 24}) + std::string(TTelnetFilter::kMaxSubnegotiation + 10, 'x') + "after", data, replies);
    EXPECT_EQ(data, std::string(9, 'x') + "after");
    EXPECT_TRUE(replies.empty());
}

TEST(TelnetFilter, EncodeDoublesIacAndPadsBareCr)
{
    std::string out;
    const std::string in = "a\xff\r\nb\r";
    TTelnetFilter::Encode(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(), false, out);
    EXPECT_EQ(out, std::string("a\xff\xff\r\nb\r\0", 8));
    out.clear();
    TTelnetFilter::Encode(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(), true, out);
    EXPECT_EQ(out, std::string("a\xff\xff\r\nb\r", 7));
}

} // namespace
