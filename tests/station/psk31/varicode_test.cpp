// The alphabet: every code is a valid, distinct run of bits, and bits come back as characters.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "station/psk31/varicode.h"

using namespace korval;

TEST(Varicode, CodesAreDistinctAndCannotHoldAGap)
{
    std::set<std::string_view> seen;
    for (int c = 0; c < 128; ++c) {
        const std::string_view code = VaricodeText(static_cast<std::uint8_t>(c));
        ASSERT_FALSE(code.empty()) << c;
        EXPECT_LE(code.size(), 10u) << c;
        EXPECT_EQ(code.front(), '1') << c;
        EXPECT_EQ(code.back(), '1') << c;
        EXPECT_EQ(code.find("00"), std::string_view::npos) << c;
        EXPECT_TRUE(seen.insert(code).second) << "duplicate code for " << c;
        EXPECT_EQ(VaricodeOf(static_cast<std::uint8_t>(c)).length, code.size());
    }
    EXPECT_EQ(VaricodeOf(200).length, 0);
}

TEST(Varicode, CommonLettersHaveTheShortestCodes)
{
    EXPECT_EQ(VaricodeText(' '), "1");
    EXPECT_EQ(VaricodeText('e'), "11");
    EXPECT_EQ(VaricodeText('t'), "101");
    EXPECT_EQ(VaricodeText('o'), "111");
    EXPECT_EQ(VaricodeText('\r'), "11111");
    EXPECT_EQ(VaricodeText('\n'), "11101");
    EXPECT_EQ(VaricodeText('E'), "1110111");
    EXPECT_LT(VaricodeText('a').size(), VaricodeText('A').size());
}

TEST(Varicode, DecoderReadsEveryCharacterBetweenGapsAndSkipsNoise)
{
    TVaricodeDecoder d;
    std::string out;
    auto push = [&](std::string_view bits) {
        for (char b : bits)
            if (int c = d.PushBit(b - '0'); c >= 0)
                out += static_cast<char>(c);
    };
    push("0000");  // idle reversals give nothing
    std::string sent;
    for (int c = 0; c < 128; ++c) {
        push(VaricodeText(static_cast<std::uint8_t>(c)));
        push("00");
        sent += static_cast<char>(c);
    }
    EXPECT_EQ(out, sent);

    // A run of ones longer than any code (a steady carrier) yields nothing, and what follows
    // its gap is read again.
    out.clear();
    push("1111111111111111001100");
    EXPECT_EQ(out, "e");
}
