// The QSL and bulk-edit commands run on the shown QSO window: confirming from the window and
// from the log list, and a bulk edit over a search result.
#include "logbook/windows/qsl_commands.h"

#include "entry/windows/ovc_picture_field.h"
#include "logbook/entry_mode.h"
#include "logbook/windows/get_date_range.h"
#include "logbook/qso_entry.h"
#include "platform/message_dlg.h"
#include "qso_form_fixture.h"

namespace korval {
namespace {

class QslCommandsTest : public QsoFormTest {
protected:
    void SetUp() override
    {
        QsoFormTest::SetUp();
        Config.SetConfirmMarksQsl(true);
        Config.SetConfirmLabelAction(1);
        Config.SetConfirmNextAction(0);
        Config.SetShowAwardQuestion(false);
        Config.SetConfirmQslRoute(3);
    }
};

TEST_F(QslCommandsTest, ConfirmFromTheWindowShowsTheConfirmedQso)
{
    ScopedMessageRecorder rec;
    ConfirmLabel(*form_);
    Settle();
    const TQsoRecord* q = log_->At(0);
    EXPECT_TRUE(q->HasFlag(qfQslReceived));
    EXPECT_TRUE(q->HasFlag(qfLabelToPrint));
    EXPECT_EQ(q->QslRoute, 3);
    EXPECT_EQ(form_->Entry().Fields.Sel[fConf], ynYes) << "the window shows what was saved";
    EXPECT_EQ(form_->Entry().Fields.Sel[fLabel], ynYes);
    EXPECT_EQ(form_->Entry().EntryMode(), emIdle);
}

TEST_F(QslCommandsTest, ConfirmFromTheLogListShowsThatQsoFirst)
{
    TQsoRecord* other = AddQso("OE1XYZ", Day(2019, 6, 1));
    Reopen();
    ScopedMessageRecorder rec;
    ASSERT_TRUE(ConfirmFromList(*form_, log_->At(0), false));
    Settle();
    EXPECT_TRUE(log_->At(0)->HasFlag(qfQslReceived));
    EXPECT_FALSE(other->HasFlag(qfQslReceived));
    EXPECT_EQ(form_->Entry().Fields.Text[fCall], "W6XYZ");

    EXPECT_FALSE(ConfirmFromList(*form_, nullptr, false));
}

TEST_F(QslCommandsTest, BulkConfirmOverASearchResult)
{
    AddQso("OE1XYZ", Day(2019, 6, 1));
    AddQso("W6ABC", Day(2019, 7, 1));
    Reopen();
    form_->RunOnEntry([](TQsoEntry& e) {
        e.BeginSearch(true);
        e.Fields.Edit(fCall, "W6*");
    });
    ScopedMessageRecorder rec(mrYes);
    SetSelectedConfirmed(*form_);
    Settle();
    ASSERT_EQ(rec.texts().size(), 2u);
    EXPECT_EQ(rec.texts()[0], "Confirming up to 2 QSOs \rAre you sure");
    EXPECT_EQ(rec.texts()[1], "2 QSOs  were confirmed");
    int confirmed = 0;
    for (const TQsoRecord* q : log_->Qsos())
        confirmed += q->HasFlag(qfQslReceived) ? 1 : 0;
    EXPECT_EQ(confirmed, 2);
}

TEST_F(QslCommandsTest, DateRangeClosesOnlyWithTheEndNotBeforeTheStart)
{
    TGetDateRange dlg(form_.get(), Day(2020, 3, 10), Day(2020, 3, 1));
    dlg.show();
    Settle();
    EXPECT_EQ(dlg.End(), Day(2020, 3, 10)) << "the end shows no earlier than the start";
    dlg.F_end->SetAsStDate(DayNumberToStDate(Day(2020, 3, 9)));
    dlg.Button1Click();
    Settle();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    dlg.F_end->SetAsStDate(DayNumberToStDate(Day(2020, 3, 12)));
    dlg.Button1Click();
    Settle();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.End(), Day(2020, 3, 12));
}

} // namespace
} // namespace korval
