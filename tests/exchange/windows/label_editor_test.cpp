// The label editor: the layout list from the configuration and the layouts file, file layouts
// read-only until copied (Custom1 overwritten only when the operator agrees), units converted and
// not reinterpreted, page sizes kept for named papers, Cancel giving the configuration back.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

#include <filesystem>
#include <fstream>

#include "exchange/label_layout.h"
#include "exchange/windows/label_windows.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "test_support.h"
#include "tests/exchange/label_sheet.h"

using namespace korval;
using namespace korval::test;

namespace {

class LabelEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.file("SAVE"));
        std::uint8_t b[TLabelLayout::kSize];
        Sheet5160("Avery5160").ToBytes(b);
        std::ofstream(LabelLayoutFileName(), std::ios::binary).write(reinterpret_cast<const char*>(b), sizeof b);
        TLabelLayout c1 = Sheet5160("Avery5160");
        c1.Name = "Custom1";
        c1.LabelWidth = 4.0;
        c1.PaperName = "Custom";
        c1.PageWidth = 8.5;
        c1.PageHeight = 11;
        SetCustomLabelLayout(config, 0, c1);
    }
    TempDir dir;
    ScopedHome home{dir.path()};
    TConfigRecord config;
    ScopedMessageRecorder messages{mrYes};
};

} // namespace

TEST_F(LabelEditorTest, UnitsConvertTheShownValuesAndKeepTheStoredInches)
{
    TLabelEditor e(config);
    ASSERT_EQ(e.CBW->count(), 3);
    EXPECT_EQ(e.CBW->itemText(2), "Avery5160");
    EXPECT_EQ(e.Shown(), 0);
    EXPECT_DOUBLE_EQ(e.F_LabelWidth->value(), 4.0);
    e.F_Units->setCurrentIndex(1);  // mm
    EXPECT_DOUBLE_EQ(e.F_LabelWidth->value(), 101.6);
    EXPECT_EQ(e.F_LabelWidth->decimals(), 2);
    e.SaveAll();
    const TLabelLayout stored = CustomLabelLayout(config, 0);
    EXPECT_EQ(stored.LabelWidth, 4.0);
    EXPECT_EQ(stored.HorzPitch, 2.75);
    EXPECT_EQ(stored.Units, 1);
    // A changed value is taken in the shown unit.
    e.F_LabelWidth->setValue(50.8);
    e.SaveAll();
    EXPECT_DOUBLE_EQ(CustomLabelLayout(config, 0).LabelWidth, 2.0);
}

TEST_F(LabelEditorTest, NamedPaperLeavesThePageSizeAlone)
{
    TLabelEditor e(config);
    EXPECT_TRUE(e.F_PageWidth->isVisibleTo(&e));
    e.SelectLayout(1);  // Custom2 has no paper yet
    EXPECT_FALSE(e.F_PageWidth->isVisibleTo(&e));
    e.SelectLayout(0);
    EXPECT_TRUE(e.F_PageWidth->isVisibleTo(&e));
    e.F_PaperName->setText("A4");
    EXPECT_FALSE(e.F_PageWidth->isVisibleTo(&e));
    e.F_PageWidth->setValue(3.0);  // not taken: the paper has its own size
    e.SaveAll();
    const TLabelLayout stored = CustomLabelLayout(config, 0);
    EXPECT_EQ(stored.PaperName, "A4");
    EXPECT_EQ(stored.PageWidth, 8.5);
}

TEST_F(LabelEditorTest, FileLayoutsAreReadOnlyUntilCopiedWithTheOperatorsConsent)
{
    TLabelEditor e(config);
    e.SelectLayout(2);
    EXPECT_FALSE(e.F_LabelWidth->isEnabled());
    EXPECT_FALSE(e.F_PaperName->isEnabled());
    EXPECT_DOUBLE_EQ(e.F_LabelWidth->value(), 2.625);

    messages.answer(mrNo);
    e.BtnCopyClick();
    EXPECT_EQ(e.Shown(), 2);
    EXPECT_EQ(e.Layouts().Layouts[0].LabelWidth, 4.0) << "Custom1 kept when the operator says no";
    ASSERT_EQ(messages.texts().size(), 1u);

    e.BtnCopyClick();  // yes
    EXPECT_EQ(e.Shown(), 0);
    EXPECT_EQ(e.CBW->currentIndex(), 0);
    EXPECT_TRUE(e.F_LabelWidth->isEnabled());
    TLabelLayout copied = e.Layouts().Layouts[0];
    EXPECT_EQ(copied.Name, "Custom1");
    copied.Name = "Avery5160";
    EXPECT_EQ(copied, Sheet5160("Avery5160"));

    // From Custom1 the copy goes to Custom2 without a question.
    e.BtnCopyClick();
    EXPECT_EQ(e.Shown(), 1);
    EXPECT_EQ(messages.texts().size(), 2u);
    EXPECT_EQ(e.Layouts().Layouts[1].LabelWidth, 2.625);
}

TEST_F(LabelEditorTest, CancelGivesTheConfigurationBack)
{
    const TConfigRecord before = config;
    TLabelEditor e(config);
    e.F_LabelWidth->setValue(1.5);
    e.F_LabMaxQSOs->setValue(7);
    e.SaveAll();
    EXPECT_NE(TLabelSettings::FromConfig(config).MaxQsos, TLabelSettings::FromConfig(before).MaxQsos);
    e.reject();
    EXPECT_EQ(std::memcmp(config.Bytes(), before.Bytes(), 8584), 0);
}

TEST_F(LabelEditorTest, DamagedLayoutsFileIsReportedAndTheGoodRecordsKept)
{
    std::ofstream(LabelLayoutFileName(), std::ios::binary | std::ios::app).write("\x33\x33\x33", 3);
    TLabelEditor e(config);
    EXPECT_EQ(e.CBW->count(), 3);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(messages.texts()[0].find("3 bytes"), std::string::npos);
}
