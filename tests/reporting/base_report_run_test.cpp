// Runs, page changes, page selections, the status text and macro tokens.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/reporting/surface_fixture.h"

using namespace korval;
using namespace korval::test;

struct SelectionCase {
    const char* selection;
    std::vector<int> pages;  // of 1..8
};
class SelectionTable : public ::testing::TestWithParam<SelectionCase> {};
TEST_P(SelectionTable, SelectsPages)
{
    TRPDevice none;
    TRecordingReport report(none);
    report.SelectionText = GetParam().selection;
    std::vector<int> selected;
    for (int p = 1; p <= 8; ++p)
        if (report.PageSelected(p))
            selected.push_back(p);
    EXPECT_EQ(selected, GetParam().pages) << '"' << GetParam().selection << '"';
}
INSTANTIATE_TEST_SUITE_P(Texts, SelectionTable, ::testing::Values(
    SelectionCase{"1-3,5", {1, 2, 3, 5}},
    SelectionCase{"even", {2, 4, 6, 8}},
    SelectionCase{"O", {1, 3, 5, 7}},
    SelectionCase{"4-", {4, 5, 6, 7, 8}},
    SelectionCase{"-2", {1, 2}},
    SelectionCase{"R", {}},
    SelectionCase{"1-3,r", {1, 2, 3}},
    SelectionCase{" 2 , 7 ", {2, 7}},
    SelectionCase{"All", {1, 2, 3, 4, 5, 6, 7, 8}}));

TEST(PageSelection, RangeWithoutTextAndBadItems)
{
    TRPDevice none;
    TRecordingReport report(none);
    report.FirstPage = 2;
    report.LastPage = 3;
    EXPECT_FALSE(report.PageSelected(1));
    EXPECT_TRUE(report.PageSelected(3));
    report.SelectionText = "1,x";
    EXPECT_TRUE(report.PageSelected(1));  // found before the bad item is read
    try {
        report.PageSelected(2);
        ADD_FAILURE() << "no error";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
    }
}

TEST_F(SurfaceTest, StatusCodes)
{
    report.StatusText = {"Log", "W1AW"};
    report.OnPrintPage = [](TBaseReport& r, int&) { return r.CurrentPage() < 3; };
    std::vector<std::string> texts;
    report.OnPrintFooter = [&](TBaseReport& r) {
        for (const char* f : {"Page %p of %l", "%x", "100%%", "end%", "%0/%1/%2.", "%d %r %t", "%c of %s", "%n"})
            texts.push_back(r.FormatStatus(f));
    };
    report.SelectionText = "3";
    report.Execute();
    ASSERT_EQ(texts.size(), 24u);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 8, texts.end()),
              (std::vector<std::string>{"Page 3 of 9999", "<ERROR-%X>", "100%", "end%", "Log/W1AW/.",
                                        "Laser LASERDRV LPT1:", "1 of 1", "\r"}));
}

TEST_F(SurfaceTest, StatusLabelFollowsThePages)
{
    struct Label : TReportStatusLabel {
        std::vector<std::string> captions;
        void SetCaption(const std::string& c) override { captions.push_back(c); }
    };
    auto label = std::make_shared<Label>();
    report.StatusLabel = label;
    report.OnPrintPage = [](TBaseReport& r, int&) { return r.CurrentPage() < 2; };
    report.Execute();
    EXPECT_EQ(label->captions, (std::vector<std::string>{"Printing page 1", "Printing page 2"}));
    label.reset();
    report.Execute();  // the label is gone: nothing to show
}

TEST_F(SurfaceTest, PagePrintingEventDecidesTheNumberOfPages)
{
    int calls = 0;
    report.OnPrintPage = [&](TBaseReport&, int& page) {
        ++calls;
        EXPECT_EQ(page, calls);
        return calls < 3;
    };
    report.Execute();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(printer.System->Rec->Count("StartPage"), 3);
}

TEST_F(SurfaceTest, PagesBeforeTheFirstAreSkippedAndNeverStarted)
{
    report.FirstPage = 2;
    report.OnPrintPage = [](TBaseReport& r, int&) {
        r.PrintLeftInch("page " + std::to_string(r.CurrentPage()), 1.0);
        return r.CurrentPage() < 3;
    };
    report.Execute();
    EXPECT_EQ(printer.System->Rec->Count("StartPage"), 2);
    ASSERT_EQ(report.Out.size(), 2u);
    EXPECT_EQ(report.Out[0].substr(0, 11), "Left page 2");
}

TEST_F(SurfaceTest, AbortedPageGivesItsNumberToTheNext)
{
    report.BeginDoc();
    report.NewPage();
    report.NewPage();
    EXPECT_EQ(report.CurrentPage(), 3);
    report.AbortPage();
    report.PrintLeftInch("lost", 1.0);
    EXPECT_TRUE(report.Out.empty());
    report.NewPage();
    EXPECT_EQ(report.CurrentPage(), 3);
}

TEST_F(SurfaceTest, AbortInTheFirstHeaderEndsWithTheDevicesAbort)
{
    bool after = false;
    report.OnPrintHeader = [](TBaseReport& r) { r.Abort(); };
    report.OnPrint = [](TBaseReport& r) { r.PrintLeftInch("not printed", 1.0); };
    report.OnAfterPrint = [&](TBaseReport&) { after = true; };
    report.Execute();
    EXPECT_TRUE(after);
    EXPECT_TRUE(report.Out.empty());
    EXPECT_EQ(printer.System->Rec->Count("AbortDoc"), 1);
    EXPECT_EQ(printer.System->Rec->Count("EndDoc"), 0);
}

TEST_F(SurfaceTest, EndDocRunsWhenTheReportThrows)
{
    report.OnPrint = [](TBaseReport&) { throw std::runtime_error("report fault"); };
    EXPECT_THROW(report.Execute(), std::runtime_error);
    EXPECT_FALSE(report.Printing());
    EXPECT_EQ(printer.System->Rec->Count("EndDoc"), 1);
}

TEST_F(SurfaceTest, OutputDestinationsSilenceOtherSurfaces)
{
    report.BeginDoc();
    report.PreviewOutputOnly();
    EXPECT_TRUE(report.ShouldSkip());  // a printer surface
    report.PrintLeftInch("preview only", 1.0);
    report.AllOutput();
    report.PrintLeftInch("both", 1.0);
    report.PrinterOutputOnly();
    EXPECT_FALSE(report.ShouldSkip());
    EXPECT_EQ(report.OutputDestinations(), 0x1D);
    ASSERT_EQ(report.Out.size(), 1u);
    EXPECT_EQ(report.Out[0].substr(0, 9), "Left both");
}

TEST_F(SurfaceTest, HooksRunNewestFirstAroundEachPage)
{
    std::vector<std::string> order;
    report.AddHook(TBaseReport::hkBeforePage, [&] { order.push_back("before 1"); });
    report.AddHook(TBaseReport::hkBeforePage, [&] { order.push_back("before 2"); });
    report.AddHook(TBaseReport::hkAfterPage, [&] { order.push_back("after"); });
    report.OnNewPage = [&](TBaseReport&) { order.push_back("new page"); };
    report.BeginDoc();
    report.NewPage();
    report.EndDoc();
    EXPECT_EQ(order, (std::vector<std::string>{"before 2", "before 1", "new page", "after", "before 2",
                                               "before 1", "new page", "after"}));
}

TEST_F(SurfaceTest, MacroTokensExpandToTheirTexts)
{
    report.Clock = [] {
        std::tm tm{};
        tm.tm_year = 2024 - 1900;
        tm.tm_mon = 2;
        tm.tm_mday = 7;
        tm.tm_hour = 21;
        tm.tm_min = 5;
        tm.tm_isdst = -1;
        return std::mktime(&tm);
    };
    report.TotalPages = 5;
    report.MacroLines = {"Station W1AW", "\xFD$RPCM11", "<\xFD$RPCM18>"};
    report.BeginDoc();
    report.NewPage();
    std::string text = "Page \xFD$RPCM11 of \xFD$RPCM10, \xFD$RPCM02 \xFD$RPCM03 \xFD$RPCM07 \xFD$RPCM16";
    report.ExpandMacros(text);
    EXPECT_EQ(text, "Page 2 of 5, 03/07/24 07/03/24 21:05 Station W1AW");
    text = "[\xFD$RPCM17] \xFD$RPCM99 \xFD$RPC";
    report.ExpandMacros(text);  // a macro line holding a token; an unknown id; a cut token
    EXPECT_EQ(text, "[2]  \xFD$RPC");
    text = "\xFD$RPCV\xFCTOTAL\xFB pages, \xFD$RPCV\xFCrest";
    report.ExpandMacros(text);  // the base surface answers a named string with its name
    EXPECT_EQ(text, "TOTAL pages, rest");
    text = "\xFD$RPCM18";  // a macro line that holds itself: expansion stops
    report.ExpandMacros(text);
    EXPECT_EQ(text.substr(0, 3), "<<<");
    EXPECT_LT(text.size(), 100u);
}

TEST_F(SurfaceTest, AssignToCopiesTheSettingsAndHandlers)
{
    report.SetUnits(unMM);
    report.SetMarginLeft(20);
    report.SetTabShade(30);
    report.Title = "Awards";
    report.SelectionText = "odd";
    bool printed = false;
    report.OnPrint = [&](TBaseReport&) { printed = true; };
    report.OnEndOfSection = [](TBaseReport&) {};
    TRecordingReport copy(*printer.Device);
    report.AssignTo(copy);
    EXPECT_EQ(copy.GetUnits(), unMM);
    EXPECT_DOUBLE_EQ(copy.GetMarginLeft(), 20);
    EXPECT_EQ(copy.GetTabShade(), 30);
    EXPECT_EQ(copy.Title, "Awards");
    EXPECT_EQ(copy.SelectionText, "odd");
    EXPECT_FALSE(copy.OnEndOfSection);
    copy.Execute();
    EXPECT_TRUE(printed);
}
