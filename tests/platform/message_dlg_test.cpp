#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

#include <gtest/gtest.h>

TEST(MessageDlg, RecorderAnswersFromItsQueueAndRestores)
{
    {
        korval::ScopedMessageRecorder rec(korval::mrNo);
        rec.answer(korval::mrYes);
        EXPECT_EQ(korval::MessageDlg("Save?", korval::TMsgDlgType::mtConfirmation, korval::mbYes | korval::mbNo), korval::mrYes);
        EXPECT_EQ(korval::MessageDlg("Again?", korval::TMsgDlgType::mtConfirmation, korval::mbYes | korval::mbNo), korval::mrNo);
        EXPECT_EQ(rec.texts(), (std::vector<std::string>{"Save?", "Again?"}));
        {
            korval::ScopedMessageRecorder inner;
            korval::ShowMessage("inner");
            EXPECT_EQ(inner.texts().size(), 1u);
        }
        korval::ShowMessage("outer");
        EXPECT_EQ(rec.texts().back(), "outer");
    }
}

TEST(Win1252, HighRangeDiffersFromLatin1)
{
    const std::string bytes = "\x80\x93\xE9";
    QString text = korval::FromWin1252(bytes);
    EXPECT_EQ(text, QString::fromUtf8("\u20AC\u201C\u00E9"));
    EXPECT_EQ(korval::ToWin1252(text), bytes);
    EXPECT_EQ(korval::ToWin1252(QString::fromUtf8("\u4E2D")), "?");
}
