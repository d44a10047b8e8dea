#include "logbook/same_call_index.h"

#include "logbook/qso_data.h"

#include <gtest/gtest.h>

#include <string>

using namespace korval;

namespace {

class SameCallIndexTest : public ::testing::Test {
protected:
    TQsoRecord* Add(const char* call, int date = 100)
    {
        auto* q = new TQsoRecord;
        q->Call.assign(call);
        q->Date = static_cast<std::uint16_t>(date);
        log_.InsertQso(q);
        return q;
    }
    std::string Of(const char* call) const
    {
        std::string s;
        for (const TQsoRecord* r : index_->QsosOf(call))
            s += (s.empty() ? "" : " ") + r->Call.str() + "@" + std::to_string(r->Date);
        return s;
    }
    TQsoData log_;
    std::unique_ptr<TSameCallIndex> index_;
};

} // namespace

// Portable, prefixed and suffixed forms of one call are one station; calls that only begin
// alike are not.
TEST_F(SameCallIndexTest, PortableAndPrefixedFormsAreOneStation)
{
    Add("W1XYZ", 300);
    Add("W1XYZ/P", 200);
    Add("DL/W1XYZ", 100);
    Add("W1XYZ/MM");
    Add("W1XY");
    Add("W1XYZA");
    Add("KH6/W1XYZ/P");
    index_ = std::make_unique<TSameCallIndex>(&log_);
    const char* all = "DL/W1XYZ@100 KH6/W1XYZ/P@100 W1XYZ@300 W1XYZ/MM@100 W1XYZ/P@200";
    for (const char* typed : {"W1XYZ", "w1xyz/p", "VP2/W1XYZ", "W1XYZ/QRP"})
        EXPECT_EQ(Of(typed), all) << typed;
    EXPECT_EQ(Of("W1XY"), "W1XY@100");
    EXPECT_EQ(Of("W1XYZA"), "W1XYZA@100");
    EXPECT_EQ(Of(""), "");
    EXPECT_EQ(Of("JA1ZZZ"), "");
}

TEST_F(SameCallIndexTest, InsertionsAndDeletionsKeepTheGroupsInByCallOrder)
{
    Add("W1XYZ", 300);
    index_ = std::make_unique<TSameCallIndex>(&log_);
    std::vector<std::string> told;
    index_->OnChanged = [&](const std::string& base, const TQsoRecord*) { told.push_back(base); };

    TQsoRecord* early = Add("W1XYZ", 50);
    Add("W1XYZ/P", 10);
    Add("G4ABC");
    EXPECT_EQ(Of("W1XYZ"), "W1XYZ@50 W1XYZ@300 W1XYZ/P@10");
    EXPECT_EQ(told, (std::vector<std::string>{"W1XYZ", "W1XYZ", "G4ABC"}));

    std::string seenWhileGoing;
    index_->OnChanged = [&](const std::string& base, const TQsoRecord*) { seenWhileGoing = Of(base.c_str()); };
    log_.DeleteQso(early);
    EXPECT_EQ(seenWhileGoing, "W1XYZ@300 W1XYZ/P@10") << "told before it is freed, and already without it";
    EXPECT_EQ(Of("W1XYZ"), "W1XYZ@300 W1XYZ/P@10");

    // A designated call changed in place (behind the index's back) is still found when it goes.
    TQsoRecord* moved = log_.ByCall().At(2);  // W1XYZ/P
    ASSERT_EQ(moved->Call, "W1XYZ/P");
    moved->Call.assign("OH2XX/P");
    log_.DeleteQso(moved);
    EXPECT_EQ(Of("W1XYZ"), "W1XYZ@300");
    EXPECT_EQ(Of("OH2XX"), "");
}
