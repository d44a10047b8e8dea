// The field engines driven without a display: typing, commands, typed values, validation.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_exceptions.h"
#include "entry/ovc_intl.h"
#include "entry/ovc_numeric_engine.h"
#include "entry/ovc_picture_engine.h"
#include "entry/ovc_simple_engine.h"
#include "test_support.h"

namespace korval {
namespace {

// Records what a field asks of its window and controller.
class FakeHost : public TOvcFieldHost {
public:
    TOvcEditEnv env;
    int epoch = 1930;
    int beeps = 0;
    int changes = 0;
    std::vector<bool> advances;
    std::vector<uint16_t> userCommands;
    std::vector<uint16_t> posted;
    std::string clipboard;
    bool errorPending = false;
    int refocus = 0;
    uint16_t userCode = 0;  // what OnUserValidation puts when not 0
    TStDate today = 0;

    TOvcEditEnv EditEnv() const override { return env; }
    int ControllerEpoch() const override { return epoch; }
    void Beep() override { ++beeps; }
    void AdvanceFocus(bool forward) override { advances.push_back(forward); }
    void UserCommand(uint16_t cmd) override { userCommands.push_back(cmd); }
    void PostErrorReport(uint16_t code) override { posted.push_back(code); }
    std::string ClipboardText() const override { return clipboard; }
    void SetClipboardText(const std::string& s) override { clipboard = s; }
    void FieldChanged() override { ++changes; }
    bool ControllerErrorPending() const override { return errorPending; }
    void SetControllerErrorPending(bool v) override { errorPending = v; }
    void RequestRefocus() override { ++refocus; }
    void UserValidation(uint16_t& code) override
    {
        if (userCode)
            code = userCode;
    }
    TStDate Today() const override { return today; }
};

void Type(TOvcFieldEngine& f, const std::string& text)
{
    for (char c : text)
        f.ExecuteCommand(ccChar, TOvcEditMsg{c, 0, false});
}

// ------------------------------------------------------------------ simple field

struct SimpleDefault {
    int type;
    int maxLength;
    char mask;
};

class SimpleDefaults : public ::testing::TestWithParam<SimpleDefault> {};

TEST_P(SimpleDefaults, DataTypeSetsMaxLengthAndMask)
{
    TOvcSimpleFieldEngine f;
    f.SetDataType(GetParam().type);
    EXPECT_EQ(f.MaxLength(), GetParam().maxLength);
    EXPECT_EQ(f.PictureMask(), GetParam().mask);
}

INSTANTIATE_TEST_SUITE_P(Types, SimpleDefaults,
                         ::testing::Values(SimpleDefault{sftString, 15, 'X'}, SimpleDefault{sftChar, 1, 'X'},
                                           SimpleDefault{sftBoolean, 1, 'B'}, SimpleDefault{sftYesNo, 1, 'Y'},
                                           SimpleDefault{sftLongInt, 11, 'i'}, SimpleDefault{sftWord, 5, '9'},
                                           SimpleDefault{sftInteger, 6, 'i'}, SimpleDefault{sftByte, 3, '9'},
                                           SimpleDefault{sftShortInt, 4, 'i'}, SimpleDefault{sftReal, 14, '#'},
                                           SimpleDefault{sftDouble, 14, '#'}, SimpleDefault{sftComp, 14, 'i'}));

TEST(SimpleField, UpperCaseMaskConvertsTypedAndProgramValues)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetPictureMask('!');
    f.FocusGained(false);
    Type(f, "dl1abc");
    EXPECT_EQ(f.GetAsString(), "DL1ABC");
    f.SetAsString("w1aw/p");
    EXPECT_EQ(f.GetEditString(), "W1AW/P");
    // A value longer than MaxLength is cut.
    f.SetAsString(std::string(20, 'q'));
    EXPECT_EQ(f.GetEditString(), std::string(15, 'Q'));
}

TEST(SimpleField, CommandsEditTheText)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.FocusGained(false);
    Type(f, "abcd");
    f.ExecuteCommand(ccHome);
    EXPECT_EQ(f.CaretPos(), 0);
    f.ExecuteCommand(ccDel);
    EXPECT_EQ(f.GetEditString(), "bcd");
    f.ExecuteCommand(ccEnd);
    f.ExecuteCommand(ccBack);
    EXPECT_EQ(f.GetEditString(), "bc");
    f.ExecuteCommand(ccLeft);
    Type(f, "X");
    EXPECT_EQ(f.GetEditString(), "bXc");
    f.ExecuteCommand(ccIns);  // overwrite
    Type(f, "Y");
    EXPECT_EQ(f.GetEditString(), "bXY");
    f.ExecuteCommand(ccExtendHome);
    EXPECT_EQ(f.SelStart(), 0);
    EXPECT_EQ(f.SelEnd(), 3);
    f.ExecuteCommand(ccCopy);
    EXPECT_EQ(host.clipboard, "bXY");
    f.ExecuteCommand(ccDel);
    EXPECT_EQ(f.GetEditString(), "");
    EXPECT_TRUE(f.GetModified());
    EXPECT_GT(host.changes, 0);
    f.ExecuteCommand(ccRestore);
    EXPECT_EQ(f.GetEditString(), "");  // what it held when editing began
    EXPECT_FALSE(f.GetModified());
}

TEST(SimpleField, FullFieldLeavesOrBeeps)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetMaxLength(3);
    f.FocusGained(false);
    f.ExecuteCommand(ccIns);  // overwrite mode
    Type(f, "abc");
    EXPECT_EQ(host.beeps, 0);
    Type(f, "d");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(f.GetEditString(), "abc");
    host.env.AutoAdvanceChar = true;
    Type(f, "e");
    ASSERT_EQ(host.advances.size(), 1u);
    EXPECT_TRUE(host.advances[0]);
}

TEST(SimpleField, InsertPushesDropsTheLastCharacter)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetMaxLength(3);
    f.FocusGained(false);
    Type(f, "abc");
    f.ExecuteCommand(ccHome);
    Type(f, "z");
    EXPECT_EQ(f.GetEditString(), "zab");
    host.env.InsertPushes = false;
    Type(f, "y");
    EXPECT_EQ(f.GetEditString(), "zab");
    EXPECT_EQ(host.beeps, 1);
}

TEST(SimpleField, PropertySettersIgnoreOutOfRangeValues)
{
    TOvcSimpleFieldEngine f;
    f.SetMaxLength(0);
    EXPECT_EQ(f.MaxLength(), 15);
    f.SetMaxLength(256);
    EXPECT_EQ(f.MaxLength(), 15);
    f.SetOptions({efoForceInsert, efoForceOvertype});
    EXPECT_TRUE(f.Options().Contains(efoForceInsert));
    EXPECT_FALSE(f.Options().Contains(efoForceOvertype));
    EXPECT_THROW(f.SetDataType(14), EOvcException);
    EXPECT_THROW(f.SetPictureMask('d'), EInvalidPictureMask);
    EXPECT_THROW(f.GetAsInteger(), EInvalidDataType);
    EXPECT_THROW(f.GetAsStDate(), EInvalidDataType);
}

TEST(SimpleField, RangesFollowTheDataType)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetDataType(sftByte);
    EXPECT_EQ(f.GetRangeLo(), "0");
    EXPECT_EQ(f.GetRangeHi(), "255");
    f.SetDataType(sftWord);
    EXPECT_THROW(f.SetRangeHi("70000"), EInvalidRangeValue);
    try {
        f.SetRangeHi("70000");
    } catch (const EInvalidRangeValue& e) {
        EXPECT_STREQ(e.what(), "Invalid range. Enter a value between (0) and (65535)");
    }
    f.SetRangeLo("10");
    f.SetRangeHi("60");
    f.FocusGained(false);
    Type(f, "61");
    EXPECT_EQ(f.ValidateContents(false), oeRangeError);
    EXPECT_EQ(f.GetAsInteger(), 0);
    EXPECT_EQ(f.LastError(), oeRangeError);
    // A number field's text comes back as it stands, valid or not.
    EXPECT_EQ(f.GetAsString(), "61");
    f.ExecuteCommand(ccBack);
    EXPECT_EQ(f.GetAsInteger(), 0);  // 6 is below the range
    Type(f, "0");
    EXPECT_EQ(f.GetAsInteger(), 60);
}

TEST(SimpleField, NumbersValidateAndRoundTrip)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetDataType(sftDouble);
    f.SetAsFloat(14.074);
    EXPECT_EQ(f.GetEditString(), "14");  // DecimalPlaces 0 formats without decimals
    f.SetDecimalPlaces(3);
    f.SetAsFloat(14.074);
    EXPECT_EQ(f.GetEditString(), "14.074");
    EXPECT_DOUBLE_EQ(f.GetAsFloat(), 14.074);
    f.SetAsFloat(1e30);
    EXPECT_EQ(f.GetEditString(), "1E+30");
    EXPECT_THROW(f.SetAsString("abc"), EEntryFieldError);
    EXPECT_EQ(f.GetEditString(), "1E+30");
    f.FocusGained(false);
    f.ExecuteCommand(ccDelLine);
    Type(f, "1-2");
    EXPECT_EQ(f.ValidateContents(false), oeInvalidNumber);
    EXPECT_DOUBLE_EQ(f.GetAsFloat(), 0);
    EXPECT_THROW(f.SetAsInteger(3), EInvalidDataType);
}

TEST(SimpleField, RequiredFieldReportsBeforeTheTypeCheck)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetDataType(sftInteger);
    f.SetOptions({efoInputRequired});
    EXPECT_EQ(f.ValidateContents(true), oeRequiredField);
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(TOvcFieldEngine::ErrorText(host.posted[0], ""), "A value is required in this field");
}

TEST(SimpleField, UserValidationCodesAndTexts)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    host.userCode = 32769;
    EXPECT_EQ(f.ValidateContents(false), 32769);
    EXPECT_EQ(TOvcFieldEngine::ErrorText(32769, "Unknown country"), "Unknown country");
    EXPECT_EQ(TOvcFieldEngine::ErrorText(300, ""), "Entry Error");
    EXPECT_EQ(TOvcFieldEngine::ErrorText(256, ""), "Value is not within required range");
}

TEST(SimpleField, ExitValidationReportsOnceWhileAnErrorIsPending)
{
    FakeHost host;
    TOvcSimpleFieldEngine a(&host), b(&host);
    a.SetDataType(sftByte);
    b.SetDataType(sftByte);
    a.FocusGained(false);
    Type(a, "999");
    EXPECT_FALSE(a.efCanClose(true));
    EXPECT_TRUE(host.errorPending);
    b.FocusGained(false);
    Type(b, "888");
    EXPECT_FALSE(b.efCanClose(true));
    // 999 does not even read as a Byte.
    EXPECT_EQ(host.posted, std::vector<uint16_t>{oeInvalidNumber});
    EXPECT_EQ(host.refocus, 2);
    // Soft validation lets the focus go and marks the field invalid.
    b.SetOptions({efoSoftValidation});
    EXPECT_TRUE(b.efCanClose(true));
    EXPECT_TRUE(b.State() & sefInvalid);
}

TEST(SimpleField, ReadOnlyRefusesChangesAndUserCommandsReachTheForm)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetOptions({efoReadOnly});
    f.FocusGained(false);
    Type(f, "a");
    EXPECT_EQ(f.GetEditString(), "");
    EXPECT_EQ(host.beeps, 1);
    f.ExecuteCommand(ccUser0);
    f.ExecuteCommand(ccUser1);
    EXPECT_EQ(host.userCommands, (std::vector<uint16_t>{256, 257}));
}

TEST(SimpleField, SelectionMessages)
{
    TOvcSimpleFieldEngine f;
    f.SetAsString("hello");
    f.SetSelection(0, -1);
    EXPECT_EQ(f.SelStart(), 0);
    EXPECT_EQ(f.SelEnd(), 5);
    f.SetSelection(-1, 3);
    EXPECT_FALSE(f.HasSelection());
    f.SetSelection(1, 3);
    EXPECT_EQ(f.SelEnd() - f.SelStart(), 2);
}

TEST(SimpleField, ModifiedMarks)
{
    TOvcSimpleFieldEngine f;
    f.SetModified(true);
    EXPECT_TRUE(f.GetEverModified());
    f.SetModified(false);
    EXPECT_FALSE(f.GetModified());
    EXPECT_TRUE(f.GetEverModified());
    f.SetEverModified(false);
    EXPECT_FALSE(f.GetEverModified());
}

TEST(SimpleField, BooleanAndCharSteps)
{
    FakeHost host;
    TOvcSimpleFieldEngine f(&host);
    f.SetDataType(sftYesNo);
    f.FocusGained(false);
    Type(f, "y");
    EXPECT_EQ(f.GetEditString(), "Y");
    Type(f, "q");
    EXPECT_EQ(host.beeps, 1);
    f.ExecuteCommand(ccInc);
    EXPECT_EQ(f.GetEditString(), "N");
    f.SetAsString("yes");
    EXPECT_EQ(f.GetEditString(), "Y");
}

// ------------------------------------------------------------------ picture field

struct PictureDefault {
    int type;
    const char* mask;
};

class PictureDefaults : public ::testing::TestWithParam<PictureDefault> {};

TEST_P(PictureDefaults, DataTypeSetsTheMask)
{
    TOvcPictureFieldEngine f;
    f.SetDecimalPlaces(3);
    f.SetDataType(GetParam().type);
    EXPECT_EQ(f.PictureMask(), GetParam().mask);
    EXPECT_EQ(f.MaxLength(), static_cast<int>(std::string(GetParam().mask).size()));
    EXPECT_EQ(f.DecimalPlaces(), 0);
}

INSTANTIATE_TEST_SUITE_P(Types, PictureDefaults,
                         ::testing::Values(PictureDefault{pftChar, "X"}, PictureDefault{pftBoolean, "B"},
                                           PictureDefault{pftYesNo, "Y"}, PictureDefault{pftLongInt, "iiiiiiiiiii"},
                                           PictureDefault{pftWord, "99999"}, PictureDefault{pftInteger, "iiiiii"},
                                           PictureDefault{pftByte, "999"}, PictureDefault{pftShortInt, "iiii"},
                                           PictureDefault{pftDouble, "##########"},
                                           PictureDefault{pftComp, "iiiiiiiiii"}));

TEST(PictureField, DateAndTimeTakeTheInternationalMasks)
{
    TOvcPictureFieldEngine f;
    f.SetDataType(pftDate);
    EXPECT_EQ(f.PictureMask(), OvcIntlSup().DateMask(false));  // the short date has a two-digit year
    f.SetDataType(pftTime);
    EXPECT_EQ(f.PictureMask(), OvcIntlSup().TimeMask(true));
    EXPECT_EQ(f.MaxLength(), static_cast<int>(f.PictureMask().size()));
}

// picture-field-copy.bin, found by fuzzing: a picture field of type 14 with the mask
// "\xff" "66", a binary value, then (command, character) pairs of mouse drags, focus changes and
// typing; its last drag left the selection past the text the field held, and ccCopy threw.
TEST(PictureField, CopyingASelectionPastTheTextCopiesWhatIsThere)
{
    std::ifstream in(std::string(KORVAL_TEST_DATA) + "/picture-field-copy.bin", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 6u);
    const std::size_t nul = bytes.find('\0', 2);
    const std::string mask = bytes.substr(2, nul - 2), commands = bytes.substr(nul + 1);
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(static_cast<uint8_t>(bytes[1]) % 16);
    f.SetPictureMask(mask);
    f.SetAsString(commands.substr(0, 32));
    for (std::size_t i = 0; i + 1 < commands.size(); i += 2) {
        const auto cmd = static_cast<uint8_t>(commands[i]);
        const char ch = commands[i + 1];
        if (cmd == 0xFE) {
            f.FocusLost();
        } else if (cmd < 0xFD) {
            ASSERT_NO_THROW(f.ExecuteCommand(cmd, TOvcEditMsg{ch, static_cast<uint8_t>(ch) % 40, (cmd & 1) != 0}))
                << "command " << int(cmd) << " at " << i;
        }
    }
    EXPECT_LE(host.clipboard.size(), 3u);
}

TEST(PictureField, TypingSkipsLiterals)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetPictureMask("(999) 999-9999");
    f.FocusGained(false);
    f.ExecuteCommand(ccHome);
    Type(f, "5551234567");
    EXPECT_EQ(f.GetEditString(), "(555) 123-4567");
    EXPECT_EQ(f.GetAsString(), "(555) 123-4567");
    f.ExecuteCommand(ccBack);
    f.ExecuteCommand(ccBack);
    EXPECT_EQ(f.GetEditString(), "(555) 123-45  ");
    Type(f, "x");  // not a digit
    EXPECT_EQ(host.beeps, 1);
}

TEST(PictureField, FullLengthValueIsCopiedOnlyWhenItsLiteralsMatch)
{
    TOvcPictureFieldEngine f;
    f.SetPictureMask("99-99");
    f.SetAsString("12-34");
    EXPECT_EQ(f.GetEditString(), "12-34");
    // Exactly MaxLength long but without the literal: merged, never copied over the "-".
    f.SetAsString("12345");
    EXPECT_EQ(f.GetEditString(), "12-34");
    f.SetAsString("56");
    EXPECT_EQ(f.GetEditString(), "56-  ");
}

TEST(PictureField, UpperCaseMaskAppliesToFullLengthValues)
{
    TOvcPictureFieldEngine f;
    f.SetPictureMask("!!!!!!");
    f.SetAsString("dl1abc");
    EXPECT_EQ(f.GetEditString(), "DL1ABC");
}

TEST(PictureField, DatesWithTwoDigitYearsResolveThroughTheEpoch)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDate);
    f.SetPictureMask("mm/dd/yy");
    f.FocusGained(false);
    f.ExecuteCommand(ccHome);
    Type(f, "031525");
    EXPECT_EQ(f.GetAsStDate(), DMYToDate(15, 3, 2025, 0));
    f.ExecuteCommand(ccHome);
    Type(f, "031575");
    EXPECT_EQ(f.GetAsStDate(), DMYToDate(15, 3, 1975, 0));
    host.epoch = 2000;
    EXPECT_EQ(f.GetAsStDate(), DMYToDate(15, 3, 2075, 0));
}

TEST(PictureField, InvalidAndEmptyDates)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDate);
    f.SetPictureMask("mm/dd/yyyy");
    EXPECT_EQ(f.GetAsStDate(), BadDate);  // empty: valid, but no date
    EXPECT_EQ(f.LastError(), 0);
    f.FocusGained(false);
    f.ExecuteCommand(ccHome);
    Type(f, "02302024");
    EXPECT_EQ(f.GetAsStDate(), BadDate);
    EXPECT_EQ(f.LastError(), oeInvalidDate);
    EXPECT_EQ(TOvcFieldEngine::ErrorText(f.LastError(), ""), "Value is not a valid date");
    f.SetAsStDate(BadDate);
    EXPECT_EQ(f.GetEditString(), "  /  /    ");
}

TEST(PictureField, DateRangeChecks)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDate);
    f.SetPictureMask("mm/dd/yyyy");
    f.SetRangeSlots({}, {});  // RangeHi 0: every valid date
    f.SetAsStDate(DMYToDate(1, 1, 3999, 0));
    EXPECT_EQ(f.ValidateContents(false), 0);
    f.SetRangeLo("01/01/1900");
    f.SetRangeHi("12/31/2079");
    EXPECT_EQ(f.ValidateContents(false), oeRangeError);
    EXPECT_EQ(f.GetRangeHi(), "12/31/2079");
}

TEST(PictureField, StepsTheDateComponentUnderTheCaret)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDate);
    f.SetPictureMask("mm/dd/yyyy");
    f.SetAsStDate(DMYToDate(31, 1, 2024, 0));
    f.FocusGained(false);
    f.ExecuteCommand(ccHome);  // month
    f.ExecuteCommand(ccInc);
    EXPECT_EQ(f.GetEditString(), "02/29/2024");
    f.SetInsertionPoint(3);  // day
    f.ExecuteCommand(ccInc);
    EXPECT_EQ(f.GetEditString(), "03/01/2024");
    f.SetInsertionPoint(7);  // year
    f.ExecuteCommand(ccDec);
    EXPECT_EQ(f.GetEditString(), "03/01/2023");
    EXPECT_TRUE(f.GetModified());
}

TEST(PictureField, StepsTimeAroundTheClock)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftTime);
    f.SetPictureMask("hh:mm");
    f.SetAsStTime(23 * 3600 + 59 * 60);
    f.FocusGained(false);
    f.SetInsertionPoint(4);
    f.ExecuteCommand(ccInc);
    EXPECT_EQ(f.GetEditString(), "00:00");
    EXPECT_EQ(f.GetAsStTime(), 0);
    f.ExecuteCommand(ccHome);
    f.ExecuteCommand(ccDec);
    EXPECT_EQ(f.GetAsStTime(), 23 * 3600);
    f.ExecuteCommand(ccHome);
    Type(f, "2599");
    EXPECT_EQ(f.GetAsStTime(), BadTime);
    EXPECT_EQ(f.LastError(), oeInvalidTime);
}

TEST(PictureField, CompleteDateFillsTheComponentOrTheWholeField)
{
    FakeHost host;
    host.today = DMYToDate(9, 12, 2026, 0);
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDate);
    f.SetPictureMask("mm/dd/yyyy");
    f.FocusGained(false);  // everything selected
    f.ExecuteCommand(ccCompleteDate);
    EXPECT_EQ(f.GetEditString(), "12/09/2026");
    f.ExecuteCommand(ccDelLine);
    f.ExecuteCommand(ccHome);
    f.ExecuteCommand(ccCompleteDate);
    EXPECT_EQ(f.GetEditString(), "12/  /    ");
    EXPECT_EQ(f.CaretPos(), 3);
}

TEST(PictureField, TimeRangeTextShorterThanTheMaskIsNoTime)
{
    TOvcPictureFieldEngine f;
    f.SetDataType(pftTime);
    f.SetRangeHi("12:0");
    EXPECT_EQ(f.GetRangeHi(), "");
    EXPECT_EQ(SlotToInt(fsubTime, f.RangeHiSlot()), -1);
}

TEST(PictureField, SeparatorMovesToTheNextDateComponent)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDate);
    f.SetPictureMask("dd/mm/yyyy");
    f.FocusGained(false);
    f.ExecuteCommand(ccHome);
    f.ExecuteCommand(ccDelLine);
    Type(f, "3");
    Type(f, "/");
    EXPECT_EQ(f.CaretPos(), 3);
    EXPECT_EQ(host.beeps, 0);
}

TEST(PictureField, RangeMessagesOfNumbers)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftByte);
    f.SetRangeLo("1");
    f.SetRangeHi("40");
    f.SetAsInteger(41);
    EXPECT_EQ(f.ValidateContents(true), oeRangeError);
    EXPECT_EQ(TOvcFieldEngine::ErrorText(host.posted.at(0), ""), "Value is not within required range");
    f.SetAsInteger(40);
    EXPECT_EQ(f.GetAsInteger(), 40);
}

TEST(PictureField, RealWithDecimalPointAlignsOnTyping)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDouble);
    f.SetPictureMask("####.###");
    f.SetAsFloat(0);
    f.FocusGained(false);
    f.ExecuteCommand(ccDelLine);
    f.ExecuteCommand(ccHome);
    // Moving back over the point filled the fraction with zeros; typing pushes them along.
    Type(f, "14.07");
    EXPECT_EQ(f.GetEditString(), "  14.070");
    EXPECT_TRUE(f.efCanClose(true));
    EXPECT_EQ(f.GetEditString(), "  14.070");
    EXPECT_DOUBLE_EQ(f.GetAsFloat(), 14.07);
}

TEST(PictureField, CurrencyMaskEditsWithSemiLiteralsHidden)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetDataType(pftDouble);
    f.SetPictureMask("$##,###.##");
    f.SetAsFloat(1234.5);
    EXPECT_EQ(f.GetEditString(), " $1,234.50");
    f.FocusGained(false);
    f.ExecuteCommand(ccEnd);
    EXPECT_EQ(f.GetEditString(), "   1234.50");
    f.FocusLost();
    EXPECT_EQ(f.GetEditString(), " $1,234.50");
    EXPECT_DOUBLE_EQ(f.GetAsFloat(), 1234.5);
}

TEST(PictureField, PasswordAndUninitializedDisplay)
{
    TOvcPictureFieldEngine f;
    f.SetPictureMask("XXX-XXX");
    f.SetAsString("abcdef");
    f.SetOptions({efoPasswordMode});
    EXPECT_EQ(f.GetDisplayString(), "***-***");
    f.SetOptions({});
    f.SetUninitialized(true);
    EXPECT_EQ(f.GetDisplayString(), "       ");
    f.FocusGained(false);
    EXPECT_EQ(f.GetDisplayString(), "abc-def");
}

TEST(PictureField, MaskOptionsFollowTheLiterals)
{
    TOvcPictureFieldEngine f;
    f.SetOptions({efoTrimBlanks, efoRightJustify});
    f.SetPictureMask("XXXXX");
    EXPECT_TRUE(f.Options().Contains(efoTrimBlanks));
    f.SetPictureMask("99-99");
    EXPECT_FALSE(f.Options().Contains(efoTrimBlanks));
    EXPECT_FALSE(f.Options().Contains(efoRightJustify));
}

TEST(PictureField, MaxLengthBeyondTheMaskRepeatsItsLastCharacter)
{
    FakeHost host;
    TOvcPictureFieldEngine f(&host);
    f.SetPictureMask("X");
    f.SetMaxLength(10);
    f.FocusGained(false);
    f.ExecuteCommand(ccHome);
    Type(f, "#$%&'()*+,");
    EXPECT_EQ(f.GetEditString(), "#$%&'()*+,");
    EXPECT_EQ(host.beeps, 0);
    TOvcPictureFieldEngine unfocused;
    unfocused.SetPictureMask("!");
    unfocused.SetMaxLength(6);
    unfocused.SetAsString("dl1abc");
    EXPECT_EQ(unfocused.GetEditString(), "DL1ABC");
}

// ------------------------------------------------------------------ numeric field

TEST(NumericField, CalculatorEntryStaysRightAligned)
{
    FakeHost host;
    TOvcNumericFieldEngine f(&host);
    f.SetNumericDataType(nftDouble);
    f.SetNumericPictureMask("####.##");
    f.FocusGained(false);
    Type(f, "1");
    EXPECT_EQ(f.GetEditString(), "      1");
    Type(f, "2");
    EXPECT_EQ(f.GetEditString(), "     12");
    Type(f, ".");
    EXPECT_EQ(f.GetEditString(), "    12.");
    Type(f, "5");
    EXPECT_EQ(f.GetEditString(), "   12.5");
    EXPECT_DOUBLE_EQ(f.GetAsFloat(), 12.5);
    EXPECT_TRUE(f.efCanClose(true));
    f.FocusLost();
    EXPECT_EQ(f.GetEditString(), "  12.50");
}

// A field that shows a zero value with decimals ("0.00") and was entered without selecting it
// (a mouse click) takes the typed digits as a new number.
TEST(NumericField, AShownZeroWithDecimalsTakesTheTypedNumber)
{
    FakeHost host;
    TOvcNumericFieldEngine f(&host);
    f.SetNumericDataType(nftDouble);
    f.SetNumericPictureMask("#######.##");
    f.SetAsFloat(0);
    f.FocusGained(false);
    f.ExecuteCommand(ccMouse);
    Type(f, "14023.5");
    EXPECT_DOUBLE_EQ(f.GetAsFloat(), 14023.5);
}

TEST(NumericField, MinusTogglesTheSign)
{
    FakeHost host;
    TOvcNumericFieldEngine f(&host);
    f.FocusGained(false);
    Type(f, "42-");
    EXPECT_EQ(f.GetAsInteger(), -42);
    Type(f, "-");
    EXPECT_EQ(f.GetAsInteger(), 42);
    EXPECT_FALSE(f.Negative());
}

TEST(NumericField, LeadingZeroIsNotStoredAndOneDigitFieldsReplace)
{
    FakeHost host;
    TOvcNumericFieldEngine f(&host);
    f.FocusGained(false);
    Type(f, "0");
    EXPECT_EQ(f.WorkBuffer(), "");
    EXPECT_EQ(f.GetDisplayString(), "          0");
    TOvcNumericFieldEngine one(&host);
    one.SetNumericDataType(nftByte);
    one.SetNumericPictureMask("9");
    one.FocusGained(false);
    Type(one, "3");
    Type(one, "7");
    EXPECT_EQ(one.GetAsInteger(), 7);
}

TEST(NumericField, DigitsStopAtTheMasksWidth)
{
    FakeHost host;
    TOvcNumericFieldEngine f(&host);
    f.SetNumericDataType(nftByte);
    f.FocusGained(false);
    Type(f, "123");
    EXPECT_EQ(host.beeps, 0);
    Type(f, "4");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(f.GetAsInteger(), 123);
    Type(f, "-");  // a Byte mask takes no sign
    EXPECT_EQ(host.beeps, 2);
    f.ExecuteCommand(ccBack);
    EXPECT_EQ(f.GetAsInteger(), 12);
}

TEST(NumericField, RangesAndDefaults)
{
    FakeHost host;
    TOvcNumericFieldEngine f(&host);
    EXPECT_EQ(f.PictureMaskText(), "iiiiiiiiiii");
    EXPECT_EQ(f.GetRangeLo(), "-2147483648");
    EXPECT_EQ(f.GetRangeHi(), "2147483647");
    f.SetAsInteger(-2147483647 - 1);
    EXPECT_EQ(f.GetAsInteger(), -2147483647 - 1);
    f.SetNumericDataType(nftDouble);
    EXPECT_EQ(f.PictureMaskText(), "##########");
    EXPECT_EQ(f.DecimalPlaces(), 0);
    f.SetNumericDataType(nftByte);
    f.SetRangeLo("0");
    f.SetRangeHi("253");
    f.FocusGained(false);
    Type(f, "254");
    EXPECT_EQ(f.ValidateContents(false), oeRangeError);
    EXPECT_THROW(f.SetNumericDataType(10), EOvcException);
}

TEST(NumericField, NegativeAmountsInParenthesesOrWithATrailingMinus)
{
    TOvcNumericFieldEngine f;
    f.SetNumericPictureMask("##########p");
    EXPECT_EQ(f.MaxLength(), 10);
    f.SetAsInteger(-12);
    EXPECT_EQ(f.GetDisplayString(), "(12)");
    f.SetAsInteger(12);
    EXPECT_EQ(f.GetDisplayString(), "12");
    f.SetNumericPictureMask("#####g");
    f.SetAsInteger(-7);
    EXPECT_EQ(f.GetDisplayString(), "7-");
}

TEST(NumericField, DecimalCommaWithThousandsPoint)
{
    FakeHost host;
    TOvcFieldIntl saved = FieldIntl();
    FieldIntl().DecimalChar = ',';
    FieldIntl().ThousandsChar = '.';
    {
        TOvcNumericFieldEngine f(&host);
        f.SetNumericDataType(nftDouble);
        f.SetNumericPictureMask("##,###.##");
        f.SetAsFloat(-1234.5);
        EXPECT_EQ(f.GetEditString(), "-1.234,50");
        f.FocusGained(false);
        f.ExecuteCommand(ccDelLine);
        Type(f, "7,25");
        EXPECT_DOUBLE_EQ(f.GetAsFloat(), 7.25);
    }
    FieldIntl() = saved;
}

// What a field shows and takes follows the program's own decimal character, never the desktop's
// locale: a value set, typed, read back and hidden as zero is the same on a decimal-comma desktop.
TEST(Fields, NumbersFollowTheirOwnDecimalCharacterInEveryDesktopLocale)
{
    for (const char* locale : test::kDesktopLocales) {
        test::ScopedLocale scoped(locale);
        ASSERT_TRUE(scoped.Ok()) << locale << " is not installed (scripts/deps.sh generates it)";
        SCOPED_TRACE(locale);
        FakeHost host;
        TOvcSimpleFieldEngine simple(&host);
        simple.SetDataType(sftDouble);
        simple.SetDecimalPlaces(3);
        simple.SetAsFloat(14.074);
        EXPECT_EQ(simple.GetEditString(), "14.074");
        EXPECT_DOUBLE_EQ(simple.GetAsFloat(), 14.074);
        simple.SetAsString("7.004");
        EXPECT_DOUBLE_EQ(simple.GetAsFloat(), 7.004);
        simple.SetAsFloat(1e30);
        EXPECT_EQ(simple.GetEditString(), "1E+30");

        TOvcPictureFieldEngine picture(&host);
        picture.SetDataType(pftDouble);
        picture.SetPictureMask("####.###");
        picture.SetAsFloat(0);
        picture.FocusGained(false);
        picture.ExecuteCommand(ccDelLine);
        picture.ExecuteCommand(ccHome);
        Type(picture, "14.07");
        EXPECT_TRUE(picture.efCanClose(true));
        EXPECT_DOUBLE_EQ(picture.GetAsFloat(), 14.07);
        picture.SetAsFloat(2107.5);
        EXPECT_EQ(picture.GetEditString(), "2107.500");

        // Zero is hidden, a small value is not.
        TOvcSimpleFieldEngine hidden(&host);
        hidden.SetDataType(sftDouble);
        hidden.SetDecimalPlaces(2);
        hidden.ZeroDisplay = zdHide;
        hidden.SetAsFloat(0);
        EXPECT_EQ(hidden.efGetDisplayString().find_first_not_of(' '), std::string::npos);
        hidden.SetAsFloat(0.25);
        EXPECT_EQ(hidden.efGetDisplayString(), "0.25");
    }
}

} // namespace
} // namespace korval
