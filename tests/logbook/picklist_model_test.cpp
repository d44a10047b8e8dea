#include "logbook/picklist_model.h"

#include "logbook/base/record_bytes.h"
#include "logbook/base/sorted_collection.h"

#include <gtest/gtest.h>

#include <string>

using namespace korval;

namespace {

// Countries as the country database keeps them: a 3-byte key part (a short string of 2) and the
// name; record 0 is the empty placeholder.
class PicklistModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& [key, name] : std::vector<std::pair<const char*, const char*>>{
                 {"", ""}, {"DL", "Germany"}, {"F", "France"}, {"G", "England"}, {"GM", "Scotland"},
                 {"OE", "Austria"}, {"S5", "Slovenia"}})
            Insert(key, name);
    }
    void Insert(const char* key, const char* name)
    {
        std::uint8_t rec[3 + 256] = {};
        PutShortStr(rec, 0, 2, key);
        PutShortStr(rec, 3, 255, name);
        list_.InsertRecord(rec);
    }
    TTwoIndex list_{3};
};

struct TypeCase {
    const char* typed;  // '\b' is Backspace
    const char* search;
    const char* line;
};
class PicklistTyping : public PicklistModelTest, public ::testing::WithParamInterface<TypeCase> {};

} // namespace

TEST_F(PicklistModelTest, LinesInNameOrderFromTheFirstIndexAndBackInKeyOrder)
{
    TPicklistModel m(list_, 1);
    ASSERT_TRUE(m.ByName());
    ASSERT_EQ(m.LineCount(), 6);
    EXPECT_EQ(m.Line(0), "OE     | Austria");
    EXPECT_EQ(m.Line(5), "S5     | Slovenia");
    EXPECT_EQ(m.LongestName(), 10);
    EXPECT_EQ(m.Chosen(), 5) << "the first line, Austria, is record 5 in key order";

    m.Select(3);  // Germany
    m.SetByName(false);
    EXPECT_EQ(m.Line(0), "DL     | Germany");
    EXPECT_EQ(m.Selected(), 0) << "the chosen record stays selected";
    EXPECT_EQ(m.Chosen(), 1);
    m.Select(99);
    EXPECT_EQ(m.Chosen(), 6);

    Insert("XX", "A name longer than ten");
    TPicklistModel wide(list_, 0);
    EXPECT_EQ(wide.LineCount(), 8);
    EXPECT_EQ(wide.LongestName(), 22);
}

TEST_P(PicklistTyping, SelectsTheFirstLineThatBeginsWithTheTypedText)
{
    TPicklistModel m(list_, 1);
    if (std::string(GetParam().typed).rfind("key:", 0) == 0) {
        m.SetByName(false);
        for (const char* c = GetParam().typed + 4; *c; ++c)
            m.Type(*c);
    } else {
        for (const char* c = GetParam().typed; *c; ++c)
            m.Type(*c);
    }
    EXPECT_EQ(m.SearchText(), GetParam().search);
    ASSERT_GE(m.Selected(), 0);
    EXPECT_EQ(m.Line(m.Selected()), GetParam().line);
}
INSTANTIATE_TEST_SUITE_P(
    TypeAhead, PicklistTyping,
    ::testing::Values(TypeCase{"s", "S", "GM     | Scotland"},
                      TypeCase{"sl", "SL", "S5     | Slovenia"},
                      TypeCase{"slq", "SL", "S5     | Slovenia"},        // no such beginning: SL stays
                      TypeCase{"sl\b", "S", "GM     | Scotland"},
                      TypeCase{"zz", "", "OE     | Austria"},           // nothing begins with Z
                      TypeCase{"key:g", "G", "G      | England"},
                      TypeCase{"key:gm", "GM", "GM     | Scotland"},
                      TypeCase{"key:s5", "S5", "S5     | Slovenia"}));

TEST_F(PicklistModelTest, OtherKeysAreNotTaken)
{
    TPicklistModel m(list_, 1);
    EXPECT_FALSE(m.Type('-'));
    EXPECT_FALSE(m.Type('\r'));
    EXPECT_TRUE(m.Type('/'));
    EXPECT_EQ(m.SearchText(), "");
}

// An empty list, or a first index past its end, shows nothing and chooses nothing.
TEST(PicklistModel, AnEmptyListHasNoLinesAndNothingChosen)
{
    TTwoIndex empty(3);
    for (int first : {0, 1, -3}) {
        TPicklistModel m(empty, first);
        EXPECT_EQ(m.LineCount(), 0);
        EXPECT_EQ(m.Selected(), -1);
        EXPECT_EQ(m.Chosen(), -1);
        EXPECT_TRUE(m.Type('a'));
        m.SetByName(false);
        m.Select(2);
        EXPECT_EQ(m.Chosen(), -1);
    }
}
