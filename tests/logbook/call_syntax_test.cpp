#include "logbook/call_syntax.h"

#include <gtest/gtest.h>

using namespace korval;

struct CallCase { const char* call; bool valid; };
class CallTable : public ::testing::TestWithParam<CallCase> {};
TEST_P(CallTable, CallSyntax)
{
    EXPECT_EQ(IsValidCall(GetParam().call), GetParam().valid) << GetParam().call;
}
INSTANTIATE_TEST_SUITE_P(Calls, CallTable, ::testing::Values(
    CallCase{"DL1ABC", true}, CallCase{"DL1ABC/P", true}, CallCase{"F/DL1ABC", true}, CallCase{"K??", true},
    CallCase{"/DL1ABC", false}, CallCase{"DL1ABC/", false}, CallCase{"DL//1ABC", false}, CallCase{"1234", false},
    CallCase{"DL", false}, CallCase{"dl1abc", false}, CallCase{"DL1-AB", false}, CallCase{"", false}));
