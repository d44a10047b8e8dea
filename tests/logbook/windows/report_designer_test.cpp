// The report designer and selector: fields moved between the lists, the order changed, names cut
// to 25, a new definition kept after Cancel, the definitions file written at once on OK; the
// selector bringing a report's own sort order along.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include <filesystem>

#include "logbook/report_definitions.h"
#include "logbook/sort_orders.h"
#include "logbook/windows/report_designer.h"
#include "test_support.h"

using namespace korval;
using namespace korval::test;

namespace {

std::vector<int> Fields(const QListWidget* l)
{
    std::vector<int> f;
    for (int i = 0; i < l->count(); ++i)
        f.push_back(l->item(i)->data(Qt::UserRole).toInt());
    return f;
}

} // namespace

TEST(ReportDesigner, FieldsMoveBetweenTheListsAndChangeOrder)
{
    TempDir dir;
    TReportDefinitions defs(dir.file("KORVAL.REP"));
    defs.SetItem(0, TReportDefinition{"Calls", soDate, 15, {rpfCallsign, rpfDate}});
    TReportDesignerDialog d(defs, 0);
    EXPECT_EQ(d.windowTitle(), "Report Generator");
    EXPECT_EQ(Fields(d.DstList), (std::vector<int>{rpfCallsign, rpfDate}));
    EXPECT_EQ(d.SrcList->count(), kReportFieldCount - 2);
    EXPECT_EQ(Fields(d.SrcList)[0], rpfAward);  // table order, the report's columns left out
    EXPECT_EQ(d.F_NoteWidth->value(), 15);

    // The first field goes to the end; the selection stays at its place.
    d.SrcList->setCurrentRow(1);
    d.IncludeBtnClick();
    EXPECT_EQ(Fields(d.DstList), (std::vector<int>{rpfCallsign, rpfDate, rpfAWD}));
    EXPECT_EQ(d.SrcList->currentRow(), 1);
    EXPECT_EQ(Fields(d.SrcList)[1], rpfAwdStrng);
    // The last of the source list selected: after the move the new last one is.
    d.SrcList->setCurrentRow(d.SrcList->count() - 1);
    d.IncludeBtnClick();
    EXPECT_EQ(d.SrcList->currentRow(), d.SrcList->count() - 1);

    d.DstList->setCurrentRow(0);
    d.MoveSelected(-1);  // first: nothing
    EXPECT_EQ(Fields(d.DstList)[0], rpfCallsign);
    d.MoveSelected(1);
    EXPECT_EQ(Fields(d.DstList)[1], rpfCallsign);
    EXPECT_EQ(d.DstList->currentRow(), 1);

    d.ExAllBtnClick();
    EXPECT_EQ(d.DstList->count(), 0);
    EXPECT_FALSE(d.ExcludeBtn->isEnabled());
    EXPECT_FALSE(d.ExAllBtn->isEnabled());
    while (d.SrcList->count())
        d.IncludeBtnClick();
    EXPECT_EQ(d.DstList->count(), kReportFieldCount);
    EXPECT_FALSE(d.IncludeBtn->isEnabled());
}

TEST(ReportDesigner, OkCutsTheNameAndSavesAtOnceANewReportSurvivesCancel)
{
    TempDir dir;
    const std::string file = dir.file("KORVAL.REP");
    TReportDefinitions defs(file);
    {
        TReportDesignerDialog d(defs, 0);
        d.NewReportButtonClick();
        EXPECT_EQ(d.Report(), 1);
        EXPECT_EQ(d.F_CurrentReport->currentText(), "??noname report??");
        d.BtnCancel->click();
    }
    ASSERT_EQ(defs.Count(), 2);
    std::string name;
    defs.GetName(1, name);
    EXPECT_EQ(name, "??noname report??");
    EXPECT_FALSE(std::filesystem::exists(file));

    TReportDesignerDialog d(defs, 1);
    d.F_CurrentReport->setEditText("A report name far longer than twenty-five");
    d.F_SortIndex->setCurrentIndex(soCallsign);
    d.F_NoteWidth->setValue(30);
    d.SrcList->setCurrentRow(0);
    d.IncludeBtnClick();
    ASSERT_TRUE(d.BtnOkClick());
    TReportDefinition def;
    ASSERT_TRUE(defs.GetItem(1, def));
    EXPECT_EQ(def.Name, "A report name far longer ");
    EXPECT_EQ(def.Name.size(), 25u);
    EXPECT_EQ(def.SortOrder, soCallsign);
    EXPECT_EQ(def.NoteWidth, 30);
    EXPECT_EQ(def.Columns, (std::vector<std::uint8_t>{rpfCallsign, rpfAward}));
    EXPECT_EQ(d.F_CurrentReport->itemText(1), "A report name far longer ");
    // Written at once: the file reads back with the changed definition.
    TReportDefinitions back(file);
    ASSERT_EQ(back.Count(), 2);
    TReportDefinition read;
    back.GetItem(1, read);
    EXPECT_EQ(read, def);
}

TEST(ReportSelector, AReportBringsItsSortOrder)
{
    TReportDefinitions defs;
    defs.AddDefault();
    TReportDefinition second;
    defs.GetItem(1, second);
    second.SortOrder = soCallsign;
    defs.SetItem(1, second);
    TSelectReport s(defs, 0, soDate);
    EXPECT_EQ(s.windowTitle(), "Select Report");
    EXPECT_EQ(s.SortOrder(), soDate);
    s.F_CurrentReport->setCurrentIndex(1);
    emit s.F_CurrentReport->activated(1);
    EXPECT_EQ(s.Report(), 1);
    EXPECT_EQ(s.SortOrder(), soCallsign);
    s.F_CurrentSortIndex->setCurrentIndex(soDate);  // only the order changes
    EXPECT_EQ(s.Report(), 1);
}
