#include "reference/master_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace korval {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Marked(std::string call)
{
    call[0] = static_cast<char>(static_cast<unsigned char>(call[0]) + 128);
    return call;
}

// master.dta: mixed case, a duplicate (dl1abc, w1aw), the 1-2 character tokens "5" and "NY",
// a 16-character token, CR LF, tab and comma separators, and a last call without a line end.
TEST(MasterFileConversion, FixtureConvertsToExactBytes)
{
    const fs::path dir = fs::path(testing::TempDir()) / "master_conv";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = dir / "KORVAL.MAS";
    std::vector<std::size_t> steps;
    const std::size_t n = ConvertMasterFile(KORVAL_TEST_DATA "/master.dta", target.string(),
                                            [&](std::size_t done, std::size_t) { steps.push_back(done); });
    EXPECT_EQ(n, 7u);
    ASSERT_FALSE(steps.empty());
    const std::string expected = std::string("ZOLTMAS1") + char(12) + Marked("9A1A") + Marked("DL1ABC") +
                                 Marked("K1ABC/P") + Marked("K1ABCDEFGHIJ") + Marked("VA3XYZ") +
                                 Marked("W1AW") + Marked("ZZ9ZZZ") + char(0xFF);
    EXPECT_EQ(ReadAll(target), expected);
    for (const auto& e : fs::directory_iterator(dir)) // no temporary left behind
        EXPECT_EQ(e.path().filename(), "KORVAL.MAS");

    TMasterLookupEngine engine;
    ASSERT_EQ(engine.LoadFile(target.string()), TMasterLoadResult::Loaded);
    EXPECT_EQ(engine.CallCount(), 7u);
    EXPECT_EQ(engine.Longest(), 12);
}

TEST(MasterFileConversion, MissingSourceThrowsAndKeepsTheOldFile)
{
    const fs::path dir = fs::path(testing::TempDir()) / "master_keep";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path target = dir / "KORVAL.MAS";
    std::ofstream(target, std::ios::binary) << "old";
    EXPECT_THROW(ConvertMasterFile((dir / "nope.dta").string(), target.string()), std::runtime_error);
    EXPECT_EQ(ReadAll(target), "old");
}

TEST(MasterFileLoad, RefusesForeignTruncatedAndDamagedFiles)
{
    const std::string good = EncodeMasterFile({{"DL1ABC", "W1AW"}, 6});
    TMasterLookupEngine engine;
    EXPECT_EQ(engine.LoadBytes(good), TMasterLoadResult::Loaded);
    EXPECT_EQ(engine.LoadBytes("ZOLTMAS2" + good.substr(8)), TMasterLoadResult::NotMasterFile);
    EXPECT_FALSE(engine.Loaded());
    for (std::size_t cut = 8; cut < good.size(); ++cut)
        EXPECT_NE(engine.LoadBytes(good.substr(0, cut)), TMasterLoadResult::Loaded) << "cut at " << cut;
    std::string bad = good;
    bad[12] = '*';
    EXPECT_EQ(engine.LoadBytes(bad), TMasterLoadResult::Damaged);
    EXPECT_EQ(engine.LoadFile(testing::TempDir() + "/no_such.MAS"), TMasterLoadResult::NotFound);
}

struct SearchCase {
    const char* partial;
    bool subString;
    std::vector<std::string> want;
};

void PrintTo(const SearchCase& c, std::ostream* os) { *os << '"' << c.partial << (c.subString ? "\" sub" : "\""); }

class MasterSearchTable : public ::testing::TestWithParam<SearchCase> {};

TEST_P(MasterSearchTable, ListsMatchesInFileOrder)
{
    TMasterLookupEngine engine;
    ASSERT_EQ(engine.LoadBytes(EncodeMasterFile(
                  {{"9A1A", "DL1ABC", "DL1ABD", "DL2ABC", "K1ABC", "W1AB/P", "W1AW", "W9ABC"}, 6})),
              TMasterLoadResult::Loaded);
    engine.SetSubString(GetParam().subString);
    ASSERT_TRUE(engine.Search(GetParam().partial));
    EXPECT_EQ(engine.Matches(), GetParam().want) << GetParam().partial;
}

INSTANTIATE_TEST_SUITE_P(Cases, MasterSearchTable, ::testing::Values(
    SearchCase{"DL1", false, {"DL1ABC", "DL1ABD"}},
    SearchCase{"dl", false, {"DL1ABC", "DL1ABD", "DL2ABC"}},
    SearchCase{"D", false, {}},
    SearchCase{"ABC", false, {}},
    SearchCase{"ABC", true, {"DL1ABC", "DL2ABC", "K1ABC", "W9ABC"}},
    SearchCase{"?ABC", false, {"DL1ABC", "DL2ABC", "K1ABC", "W9ABC"}},
    SearchCase{"???AB", false, {"DL1ABC", "DL1ABD", "DL2ABC", "K1ABC", "W1AB/P", "W9ABC"}},
    SearchCase{"DL?AB", false, {"DL1ABC", "DL1ABD", "DL2ABC"}},
    SearchCase{"W1A???", false, {"W1AB/P", "W1AW"}},
    SearchCase{"W?", false, {}},
    SearchCase{"B/P", true, {"W1AB/P"}}));

TEST(MasterSearch, SameCallTwiceSearchesOnceAndNothingLoadedSearchesNothing)
{
    TMasterLookupEngine engine;
    EXPECT_FALSE(engine.Search("DL1"));
    ASSERT_EQ(engine.LoadBytes(EncodeMasterFile({{"DL1ABC"}, 6})), TMasterLoadResult::Loaded);
    EXPECT_TRUE(engine.Search("DL1"));
    EXPECT_FALSE(engine.Search("dl1"));
    EXPECT_TRUE(engine.Search("DL1A"));
    EXPECT_EQ(engine.Matches(), std::vector<std::string>{"DL1ABC"});
}

} // namespace
} // namespace korval
