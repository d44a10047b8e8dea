// Glob and near-call matching of the search by example.
#include <gtest/gtest.h>

#include "logbook/qso_search.h"

namespace korval {
namespace {

struct GlobCase {
    const char* pattern;
    const char* text;
    bool match;
};
class GlobMatchTable : public ::testing::TestWithParam<GlobCase> {};
TEST_P(GlobMatchTable, Matches)
{
    EXPECT_EQ(PatternMatches(GetParam().pattern, GetParam().text), GetParam().match)
        << GetParam().pattern << " on " << GetParam().text;
}
INSTANTIATE_TEST_SUITE_P(
    Cases, GlobMatchTable,
    ::testing::Values(GlobCase{"*AB", "ABXAB", true},      // needs backtracking
                      GlobCase{"A*B*C", "AXBXBXC", true}, GlobCase{"A*B*C", "AXBXBX", false},
                      GlobCase{"*", "X", true}, GlobCase{"*", "", false}, GlobCase{"", "", true},
                      GlobCase{"", "A", false}, GlobCase{"dl?abc", "DL1ABC", true}, GlobCase{"DL1ABC", "DL?ABC", true},
                      GlobCase{"DL1", "DL1ABC", false}, GlobCase{"DL1*", "DL1", true}, GlobCase{"!DL*", "F5XYZ", true},
                      GlobCase{"!DL*", "DL5XYZ", false}, GlobCase{"*qrp*", "ran QRP today", true},
                      GlobCase{"**A", "BA", true}, GlobCase{"*A*A*A", "AAB", false}));

struct NearCase {
    const char* pattern;
    const char* call;
    int method;
    bool match;
};
class CallMatchTable : public ::testing::TestWithParam<NearCase> {};
TEST_P(CallMatchTable, Matches)
{
    const auto& c = GetParam();
    EXPECT_EQ(CallMatches(c.pattern, c.call, c.method), c.match) << c.pattern << " ~ " << c.call << " m" << c.method;
}
INSTANTIATE_TEST_SUITE_P(
    Methods, CallMatchTable,
    ::testing::Values(NearCase{"DL1ABC", "DL1ABD", 3, true}, NearCase{"DL1ABC", "DL1BAC", 3, true},
                      NearCase{"DL1ABC", "DL1AB", 3, true}, NearCase{"DL1ABC", "DL1BCA", 3, false},
                      NearCase{"DL1ABC", "DL1ABC", 3, true}, NearCase{"DL1AB", "DL1ABCD", 3, false},
                      NearCase{"DL1ABC", "DL2ABD", 3, false}, NearCase{"DL1ABC", "DL1ACB", 3, true},
                      NearCase{"DL?ABC", "DL1ABC", 1, true}, NearCase{"DL1AB", "DL1ABC", 1, false},
                      NearCase{"ABC", "DL1ABC", 4, true}, NearCase{"ABC", "DL1AXC", 4, false},
                      NearCase{"DL*", "DL1ABC", 2, true}, NearCase{"DL*", "DL1ABC", 1, false}));

} // namespace
} // namespace korval
