#include "logbook/windows/entry_field_error_dialog.h"
#include "platform/message_dlg.h"

#include <QObject>
#include <QVariant>
#include <gtest/gtest.h>

using namespace korval;

TEST(EntryFieldErrorDialog, RangeErrorsShowTheFieldsLimits)
{
    QObject field;
    field.setProperty("RangeLo", "0");
    field.setProperty("RangeHi", "40");
    ScopedMessageRecorder rec;
    ShowEntryFieldError(&field, 256, "ignored");
    ShowEntryFieldError(&field, 3, "Invalid date");
    EXPECT_EQ(rec.texts(), (std::vector<std::string>{"Value in range 0 to 40 expected", "Invalid date"}));
    EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtError);
}
