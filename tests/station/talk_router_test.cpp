// Warning patterns over cluster lines that are no spots, and the talk lines kept.
#include <gtest/gtest.h>

#include "logbook/config_record.h"
#include "station/talk_router.h"

using namespace korval;

namespace {

struct PatternCase {
    const char* pattern;
    const char* line;
    bool match;
};

class TalkPatterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(TalkPatterns, Match)
{
    EXPECT_EQ(MatchTalkPattern(GetParam().pattern, GetParam().line), GetParam().match)
        << '"' << GetParam().pattern << "\" on \"" << GetParam().line << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TalkPatterns,
    ::testing::Values(PatternCase{"DL1ABC DE *:*", "DL1ABC de K1XYZ: are you there?", true},
                      PatternCase{"DL1ABC DE *:*", "DL2XX de K1XYZ: are you there?", false},
                      PatternCase{"DL1ABC DE *:*", "DL1ABC de K1XYZ no colon", false},
                      PatternCase{"TO ALL DE *", "To ALL de W1AW: QSL via buro", true},
                      PatternCase{"TO LOCAL DE *", "TO LOCAL", false},
                      PatternCase{"WWV*", "WWV de VE7CC <18>:   SFI=150, A=5, K=1", true},
                      PatternCase{"WWV", "WWV de VE7CC", true},
                      PatternCase{"", "anything", false},
                      PatternCase{"*", "", false},
                      PatternCase{"*", "x", true},
                      PatternCase{"A*B", "AXB", true},
                      PatternCase{"A*B", "AXB@", false},
                      PatternCase{"A*B", "AXC", false},
                      PatternCase{"A@*", "a@z", true},
                      PatternCase{"A**B", "AXYB", true}));

TEST(TalkLines, DefaultPatternsWithTheOwnCallAndTheLastTwentyLines)
{
    const TConfigRecord defaults;
    std::array<std::string, 4> patterns;
    for (int i = 0; i < 4; ++i)
        patterns[static_cast<std::size_t>(i)] = defaults.TalkPattern(i);

    TTalkLines talk;
    EXPECT_TRUE(talk.Route(patterns, "DL1ABC", "DL1ABC de K1XYZ: hello Hans"));
    EXPECT_FALSE(talk.Route(patterns, "DL1ABC", "DL2XYZ de K1XYZ: hello Kurt"));
    EXPECT_TRUE(talk.Route(patterns, "DL1ABC", "To LOCAL de OH2AQ: cluster restart at 12z"));
    EXPECT_TRUE(talk.Route(patterns, "DL1ABC", "WWV de W0MU <21>:   SFI=71, A=9, K=2"));
    EXPECT_FALSE(talk.Route(patterns, "DL1ABC", "DX de W3LPL: 14025.0 VP8LP CW 1200Z"));
    ASSERT_EQ(talk.Lines().size(), 3u);

    for (int i = 1; i <= 18; ++i)
        talk.Route(patterns, "DL1ABC", "To ALL de W1AW: bulletin " + std::to_string(i));
    ASSERT_EQ(talk.Lines().size(), TTalkLines::MaxLines);
    EXPECT_EQ(talk.Lines().front(), "To LOCAL de OH2AQ: cluster restart at 12z") << "the 21st pushed the oldest out";
    EXPECT_EQ(talk.Lines().back(), "To ALL de W1AW: bulletin 18");
    EXPECT_EQ(talk.Text().substr(0, 42), "To LOCAL de OH2AQ: cluster restart at 12z\n");
}

} // namespace
