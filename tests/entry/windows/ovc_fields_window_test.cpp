// The entry fields as windows, offscreen: keys through the command tables, typed and composed
// characters, and the exit validation with its one error report.
#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "entry/ovc_command_processor.h"
#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_picture_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "entry/ovc_vkeys.h"
#include "platform/message_dlg.h"

namespace korval {
namespace {

// A dialog with a controller, a date field, a text field, a number field and two buttons.
class FieldForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<QWidget>();
        controller = new TOvcController(form.get());
        date = new TOvcPictureField(form.get());
        date->SetDataType(pftDate);
        date->SetPictureMask("mm/dd/yyyy");
        date->move(10, 10);
        text = new TOvcSimpleField(form.get());
        text->move(10, 40);
        number = new TOvcNumericField(form.get());
        number->move(10, 70);
        ok = new QPushButton("OK", form.get());
        ok->move(10, 100);
        cancel = new QPushButton("Cancel", form.get());
        cancel->move(100, 100);
        form->resize(300, 140);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void Focus(QWidget* w)
    {
        w->setFocus(Qt::TabFocusReason);
        Settle();
    }

    static void Settle()
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    std::unique_ptr<QWidget> form;
    TOvcController* controller = nullptr;
    TOvcPictureField* date = nullptr;
    TOvcSimpleField* text = nullptr;
    TOvcNumericField* number = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

TEST_F(FieldForm, LeavingAnInvalidDateRefocusesItWithOneError)
{
    ScopedMessageRecorder recorder;
    Focus(date);
    QTest::keyClick(date, Qt::Key_Home);
    QTest::keyClicks(date, "02302024");
    Focus(ok);
    EXPECT_TRUE(date->hasFocus());
    EXPECT_EQ(recorder.texts(), std::vector<std::string>{"Value is not a valid date"});
    // Tabbing on from the refocused field tries again and reports again, once.
    Focus(text);
    EXPECT_TRUE(date->hasFocus());
    EXPECT_EQ(recorder.texts().size(), 2u);
    // Mended, the field lets the focus go.
    QTest::keyClick(date, Qt::Key_Home);
    QTest::keyClicks(date, "0228");
    Focus(ok);
    EXPECT_TRUE(ok->hasFocus());
    EXPECT_EQ(recorder.texts().size(), 2u);
    EXPECT_EQ(date->GetAsStDate(), DMYToDate(28, 2, 2024, 0));
}

TEST_F(FieldForm, TheControllersErrorEventReceivesTheReport)
{
    std::vector<std::pair<uint16_t, std::string>> errors;
    controller->OnError = [&](QObject* sender, uint16_t code, const std::string& msg) {
        EXPECT_EQ(sender, number);
        errors.emplace_back(code, msg);
    };
    number->SetDataType(nftByte);
    number->SetRangeLo("1");
    number->SetRangeHi("40");
    Focus(number);
    QTest::keyClicks(number, "41");
    Focus(ok);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, oeRangeError);
    EXPECT_EQ(errors[0].second, "Value is not within required range");
    EXPECT_TRUE(number->hasFocus());
}

TEST_F(FieldForm, LeavingForACancelButtonDoesNotValidate)
{
    ScopedMessageRecorder recorder;
    controller->OnIsSpecialControl = [&](QObject*, QWidget* w, bool& special) { special = w == cancel; };
    Focus(date);
    QTest::keyClick(date, Qt::Key_Home);
    QTest::keyClicks(date, "13");
    Focus(cancel);
    EXPECT_TRUE(cancel->hasFocus());
    EXPECT_TRUE(recorder.texts().empty());
    EXPECT_TRUE(date->GetModified());
}

TEST_F(FieldForm, KeysActAsTheCommandTablesSay)
{
    Focus(text);
    QTest::keyClicks(text, "abcd");
    EXPECT_EQ(text->GetEditString(), "abcd");
    QTest::keyClick(text, Qt::Key_Home);
    QTest::keyClick(text, Qt::Key_Delete);
    EXPECT_EQ(text->GetEditString(), "bcd");
    QTest::keyClick(text, Qt::Key_End);
    QTest::keyClick(text, Qt::Key_Backspace);
    EXPECT_EQ(text->GetEditString(), "bc");
    QTest::keyClick(text, Qt::Key_Left);
    QTest::keyClicks(text, "X");
    EXPECT_EQ(text->GetEditString(), "bXc");
    QTest::keyClick(text, Qt::Key_Home, Qt::ShiftModifier);  // ccExtendHome
    int a = 0, b = 0;
    text->GetSel(a, b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 2);
    QTest::keyClick(text, Qt::Key_Z, Qt::ControlModifier);  // ccUndo becomes ccRestore
    EXPECT_EQ(text->GetEditString(), "");
}

TEST_F(FieldForm, AComposedCharacterArrivesAsTypedInput)
{
    Focus(text);
    QInputMethodEvent compose;
    compose.setCommitString(QString::fromUtf8("\xC3\xA9"));  // é
    QApplication::sendEvent(text, &compose);
    EXPECT_EQ(text->GetEditString(), "\xE9");
    text->SetPictureMask('!');
    EXPECT_EQ(text->GetEditString(), "\xC9");  // the value is kept, upper-cased
    QTest::keyClick(text, Qt::Key_End);
    QApplication::sendEvent(text, &compose);
    EXPECT_EQ(text->GetEditString(), "\xC9\xC9");
}

TEST_F(FieldForm, UserCommandsReachTheForm)
{
    // The program's windows map Up and Down to the user commands and step whole days on them.
    TOvcCommandTable* table = controller->EntryCommands().GetTable("Default");
    ASSERT_NE(table, nullptr);
    for (int i = 0; i < table->GetCount(); ++i) {
        TOvcCmdRec r = table->GetCommandRec(i);
        if (r.Key1 == VK_UP && r.SS1 == 0)
            table->ExchangeCommand(i, {r.Key1, r.SS1, r.Key2, r.SS2, ccUser0});
        if (r.Key1 == VK_DOWN && r.SS1 == 0)
            table->ExchangeCommand(i, {r.Key1, r.SS1, r.Key2, r.SS2, ccUser1});
    }
    std::vector<uint16_t> commands;
    date->OnUserCommand = [&](QObject*, uint16_t cmd) {
        commands.push_back(cmd);
        date->SetAsStDate(date->GetAsStDate() + (cmd == ccUser0 ? 1 : -1));
        date->SetModified(true);
    };
    date->SetAsStDate(DMYToDate(31, 12, 2023, 0));
    Focus(date);
    QTest::keyClick(date, Qt::Key_Up);
    EXPECT_EQ(date->GetEditString(), "01/01/2024");
    QTest::keyClick(date, Qt::Key_Down);
    QTest::keyClick(date, Qt::Key_Down);
    EXPECT_EQ(date->GetEditString(), "12/30/2023");
    EXPECT_EQ(commands, (std::vector<uint16_t>{256, 257, 257}));
}

TEST_F(FieldForm, NumericKeysEnterCalculatorStyle)
{
    number->SetDataType(nftDouble);
    number->SetPictureMask("####.##");
    Focus(number);
    QTest::keyClicks(number, "12.5");
    EXPECT_DOUBLE_EQ(number->GetAsFloat(), 12.5);
    EXPECT_EQ(number->GetDisplayString(), "   12.5");
    QTest::keyClicks(number, "-");
    EXPECT_DOUBLE_EQ(number->GetAsFloat(), -12.5);
    std::vector<int> changes;
    number->OnChange = [&](QObject*) { changes.push_back(1); };
    QTest::keyClick(number, Qt::Key_Backspace);
    EXPECT_DOUBLE_EQ(number->GetAsFloat(), -12);
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(FieldForm, LongTextScrollsTheCaretIntoView)
{
    text->SetMaxLength(100);
    Focus(text);
    QTest::keyClicks(text, QString(60, 'w'));
    EXPECT_FALSE(text->grab().toImage().isNull());
    EXPECT_GT(text->Engine().FirstVisible(), 0);
    EXPECT_TRUE(text->CaretPair().Linked());
    QTest::keyClick(text, Qt::Key_Home);
    EXPECT_EQ(text->Engine().FirstVisible(), 0);
    Focus(ok);
    EXPECT_FALSE(text->CaretPair().Linked());
}

TEST_F(FieldForm, AssignCopiesSettingsButNotTypeOrMask)
{
    TOvcPictureField source(form.get());
    source.SetDataType(pftByte);
    source.SetRangeLo("1");
    source.SetRangeHi("99");
    source.SetOptions({efoReadOnly});
    date->Assign(source);
    EXPECT_EQ(date->DataType(), pftDate);
    EXPECT_EQ(date->PictureMask(), "mm/dd/yyyy");
    EXPECT_TRUE(date->ReadOnly());
}

TEST_F(FieldForm, ReturnAndEscapeAreLeftToTheDialog)
{
    Focus(text);
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_EQ(text->GetEditString(), "");
}

} // namespace
} // namespace korval
