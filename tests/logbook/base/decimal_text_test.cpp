// Numbers written and read with a point under every desktop locale. The reference is the C
// library's own printf and strtod in the C locale (glibc), asked through a locale object of its own
// so that the process locale of the test does not reach it.
#include "logbook/base/decimal_text.h"
#include "logbook/base/string_utils.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <locale.h>

#include "test_support.h"

using namespace korval;
using namespace korval::test;

namespace {

// printf in the C locale, whatever the process locale is.
template <typename... Args>
std::string CPrintf(const char* format, Args... args)
{
    locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    locale_t old = uselocale(c);
    char buf[512];
    std::snprintf(buf, sizeof buf, format, args...);
    uselocale(old);
    freelocale(c);
    return buf;
}

class DecimalText : public ::testing::TestWithParam<const char*> {};

TEST_P(DecimalText, FormatsAsPrintfOfTheCLocale)
{
    ScopedLocale locale(GetParam());
    ASSERT_TRUE(locale.Ok()) << GetParam() << " is not installed (scripts/deps.sh generates it)";
    const double values[] = {14.025, 21074.0, 7.0045, -0.5, 2.5, 0.125, -72.727, 1e300, 123456789.987654321, 0.0};
    for (double v : values)
        for (int decimals : {0, 1, 2, 3, 5}) {
            EXPECT_EQ(FormatFixed(v, decimals), CPrintf("%.*f", decimals, v)) << v << " " << decimals;
            EXPECT_EQ(FormatFixed(static_cast<long double>(v), decimals), CPrintf("%.*Lf", decimals, static_cast<long double>(v)));
            EXPECT_EQ(FormatScientific(static_cast<long double>(v), decimals), CPrintf("%.*LE", decimals, static_cast<long double>(v)));
        }
    for (long double v : {1234.5678L, 1e-7L, 1e20L, -0.1L, 3.0L})
        EXPECT_EQ(FormatGeneral(v, 15), CPrintf("%.15Lg", v)) << static_cast<double>(v);
    EXPECT_EQ(FormatFixed(1e300, 2).size(), CPrintf("%.2f", 1e300).size());
}

TEST_P(DecimalText, ReadsAsStrtodOfTheCLocaleWithoutHexadecimal)
{
    ScopedLocale locale(GetParam());
    ASSERT_TRUE(locale.Ok()) << GetParam() << " is not installed (scripts/deps.sh generates it)";
    struct Row {
        const char* text;
        bool whole;         // ParseDecimal takes all of it
        std::size_t taken;  // ParseDecimalPrefix
        double value;
    } rows[] = {
        {"14.025", true, 6, 14.025}, {"+5", true, 2, 5},      {"-33.87", true, 6, -33.87}, {".5", true, 2, 0.5},
        {"5.", true, 2, 5},          {"1.5e3", true, 5, 1500}, {"1,5", false, 1, 1},       {"+-5", false, 0, 0},
        {"", false, 0, 0},           {"1e999", false, 0, 0},   {"0x10", false, 1, 0},      {" 5", false, 0, 0},
        {"14025 kHz", false, 5, 14025},
    };
    for (const Row& r : rows) {
        double whole = -1, prefix = -1;
        EXPECT_EQ(ParseDecimal(r.text, whole), r.whole) << r.text;
        EXPECT_EQ(ParseDecimalPrefix(r.text, prefix), r.taken) << r.text;
        if (r.whole) {
            EXPECT_EQ(whole, r.value) << r.text;
        }
        if (r.taken) {
            EXPECT_EQ(prefix, r.value) << r.text;
        }
    }
    long double ld = 0;
    EXPECT_TRUE(ParseDecimal("1234.5678", ld));
    EXPECT_EQ(ld, 1234.5678L);
}

// Positions typed as operators type them, and as the data files hold them.
TEST_P(DecimalText, PositionsReadTheSameInEveryLocale)
{
    ScopedLocale locale(GetParam());
    ASSERT_TRUE(locale.Ok()) << GetParam() << " is not installed (scripts/deps.sh generates it)";
    struct Row {
        const char* text;
        bool ok;
        double value;
    } rows[] = {{"41.714N", true, 41.714}, {"72.727W", true, -72.727}, {"-33.87", true, -33.87},
                {"151.2 E", true, 151.2},  {"41,714N", false, 0},      {"nan", false, 0}};
    for (const Row& r : rows) {
        double v = 99;
        EXPECT_EQ(StrToCoord(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_DOUBLE_EQ(v, r.value) << r.text;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DesktopLocales, DecimalText, ::testing::ValuesIn(kDesktopLocales),
                         [](const auto& info) {
                             std::string n = info.param;
                             return n.substr(0, n.find('.'));
                         });

} // namespace
