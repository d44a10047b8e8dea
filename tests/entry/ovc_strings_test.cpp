#include "entry/ovc_exceptions.h"
#include "entry/ovc_strings.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(LibraryStrings, TextsByNumber)
{
    struct Case {
        int id;
        const char* text;
    };
    for (Case c : {Case{30180, "Value is not valid for this field type"}, Case{1, "Unknown"},
                   Case{30168, "Unknown Error condition"}, Case{30185, "This field should be either empty or completely full"},
                   Case{30266, "Grid"}, Case{30275, "Default"}, Case{30276, "WordStar"},
                   Case{30277, "(Unknown)"}, Case{30278, "Entry Error"}, Case{30290, "&Paste"},
                   Case{30368, "Y"}, Case{30375, "Close"}, Case{30500, "Black"}, Case{30515, "White"},
                   Case{33768, "ccNone"}, Case{33768 + 72, "ccUndo"}, Case{33843, "ccWordRight"},
                   Case{34068, "String"}, Case{34083, "Time"}, Case{30174, "Unknown"},
                   Case{99999, "Unknown"}})
        EXPECT_EQ(GetLibraryString(c.id), c.text) << c.id;
    EXPECT_EQ(FormatLibraryString(30269, {"7"}), "ccUser7");
}

TEST(LibraryStrings, TableBytesAreReadBack)
{
    std::string bytes = BuildStringResource({{20, "second"}, {10, "first \x80 euro"}, {30, ""}});
    // Magic, count, sorted 12-byte entries, then UTF-16LE texts.
    ASSERT_GE(bytes.size(), 8u + 36u);
    EXPECT_EQ(bytes.substr(0, 4), "STR0");
    EXPECT_EQ(uint8_t(bytes[4]), 3);
    EXPECT_EQ(uint8_t(bytes[8]), 10);
    EXPECT_EQ(uint8_t(bytes[20]), 20);
    size_t euro = 44 + 2 * 6;
    EXPECT_EQ(uint8_t(bytes[euro]), 0xAC);  // U+20AC
    EXPECT_EQ(uint8_t(bytes[euro + 1]), 0x20);

    TOvcStringResource r("TEST", bytes);
    EXPECT_EQ(r.Count(), 3);
    EXPECT_EQ(r.GetString(10), "first \x80 euro");
    EXPECT_EQ(r.GetString(20), "second");
    EXPECT_TRUE(r.HasString(30));
    EXPECT_EQ(r.GetString(30), "");
    EXPECT_EQ(r.GetString(15), "");
    r.RaiseOnMissing = true;
    try {
        r.GetString(15);
        FAIL();
    } catch (const EOvcException& e) {
        EXPECT_STREQ(e.what(), "String not found: 15");
    }
}

TEST(LibraryStrings, EmptyTableAnswersEveryIdAsMissing)
{
    TOvcStringResource r("EMPTY", BuildStringResource({}));
    EXPECT_EQ(r.Count(), 0);
    EXPECT_FALSE(r.HasString(30180));
    EXPECT_EQ(r.GetString(30180), "");
}

TEST(LibraryStrings, DamagedTablesAreRefused)
{
    std::string good = BuildStringResource({{1, "abc"}, {2, "de"}});
    std::string badMagic = good;
    badMagic[3] = '1';
    std::string bigCount = good;
    bigCount[4] = 100;
    std::string cut = good.substr(0, good.size() - 1);
    std::string unsorted = good;
    unsorted[8] = 5;  // first id above the second
    for (const std::string& bytes : {badMagic, bigCount, cut, unsorted, std::string("STR")}) {
        try {
            TOvcStringResource r("BROKEN", bytes);
            ADD_FAILURE() << "accepted " << bytes.size() << " bytes";
        } catch (const EOvcException& e) {
            EXPECT_STREQ(e.what(), "BROKEN is not a valid string resource");
        }
    }
}

TEST(OvcExceptions, CarryTheLibraryTexts)
{
    auto msg = [](auto&& make) -> std::string {
        try {
            make();
        } catch (const EOvcException& e) {
            return e.what();
        }
        return "(nothing raised)";
    };
    EXPECT_EQ(msg([] { throw ENoTimersAvailable(); }), "No Window's timers are available");
    EXPECT_EQ(msg([] { throw ENoControllerAssigned(); }), "No Controller assigned");
    EXPECT_EQ(msg([] { throw EDuplicateCommand(); }), "Duplicate command found while adding a new command to the table");
    EXPECT_EQ(msg([] { throw ETableNotFound(); }), "Command table not found or command table index out of range");
    EXPECT_EQ(msg([] { throw EInvalidDataType(); }), "Invalid data type for this field");
    EXPECT_EQ(msg([] { throw EInvalidPictureMask("99-X"); }), "Invalid picture mask: 99-X");
    EXPECT_EQ(msg([] { throw EInvalidPageIndex(); }), "Invalid page index value");
    EXPECT_EQ(msg([] { throw EInvalidTabFont(); }), "Invalid font. Non toTop oriented tabs require a True-Type font");
    EXPECT_EQ(msg([] { throw EOnSelectNotAssigned(); }), "OnSelect event is not assigned");
    EXPECT_EQ(msg([] { throw EOnIsSelectedNotAssigned(); }), "OnIsSelected event is not assigned");
    // The tree: each is caught as its parent.
    EXPECT_THROW(throw ENoControllerAssigned(), EControllerError);
    EXPECT_THROW(throw EDuplicateCommand(), ECmdProcessorError);
    EXPECT_THROW(throw EInvalidRangeValue(fcWord), EEntryFieldError);
    EXPECT_THROW(throw EInvalidTabFont(), ENotebookError);
    EXPECT_THROW(throw EOnSelectNotAssigned(), EVirtualListBoxError);
    EXPECT_THROW(throw ESAEOutOfBounds("Index is out of bounds for sparse array"), ESparseArrayError);
}

TEST(OvcExceptions, RangeMessageByDataType)
{
    struct Case {
        int type;
        const char* text;
    };
    for (Case c : {Case{fcLongInt, "Invalid range. Enter a value between (-2147483648) and (2147483647)"},
                   Case{fcWord, "Invalid range. Enter a value between (0) and (65535)"},
                   Case{fcSmallInt, "Invalid range. Enter a value between (-32768) and (32767)"},
                   Case{fcByte, "Invalid range. Enter a value between (0) and (255)"},
                   Case{fcShortInt, "Invalid range. Enter a value between (-128) and (127)"},
                   Case{fcReal, "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
                   Case{fcExtended, "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
                   Case{fcDouble, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
                   Case{fcSingle, "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
                   Case{fcComp, "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
                   Case{fcDate, "Invalid date range. Enter a value using 'mm/dd/yyyy' as the format"},
                   Case{fcTime, "Invalid time range. Enter a value using 'Hh:mm' as the format"},
                   Case{fcString, "Invalid range value"}, Case{fcBoolean, "Invalid range value"}}) {
        EInvalidRangeValue e(c.type);
        EXPECT_STREQ(e.what(), c.text) << c.type;
        EXPECT_EQ(e.DataType(), c.type);
    }
}

TEST(LibraryStrings, IdsFromTwoToTheThirtyFirstOnAreFound)
{
    // An id is stored as 32 bits without sign; the int of the calls carries the same bits.
    const int high = static_cast<int>(0x80000000u), top = static_cast<int>(0xFFFFFFFFu);
    TOvcStringResource r("HIGH", BuildStringResource({{top, "top"}, {5, "low"}, {high, "high"}}));
    EXPECT_EQ(r.GetString(5), "low");
    EXPECT_EQ(r.GetString(high), "high");
    EXPECT_EQ(r.GetString(top), "top");
    EXPECT_FALSE(r.HasString(6));
}
