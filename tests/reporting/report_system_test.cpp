// The report runner on the recording printer: copies the printer cannot make, replaying a kept
// stream, the setup step and its choices, previews, and the run without printers.
#include <gtest/gtest.h>

#include <filesystem>

#include "reporting/report_system.h"
#include "test_support.h"
#include "tests/reporting/recording_device.h"

using namespace korval;
using namespace korval::test;

namespace {

struct TRunnerRig {
    TFakePrinter printer;
    TReportSystem runner{*printer.Device};
    int generated = 0;

    TRunnerRig()
    {
        runner.SystemSetups &= ~(1u << ssAllowSetup);
        runner.OnPrint = [this](TBaseReport& r) {
            ++generated;
            r.PrintLeftInch("Page1", 1);
            r.NewPage();
            r.PrintLeftInch("Page2", 1);
        };
    }
    TRecording& rec() { return *printer.System->Rec; }
};

} // namespace

TEST(ReportSystem, CopiesThePrinterCannotMakeArePlayedFromOneStream)
{
    TRunnerRig rig;
    rig.printer.System->Copies = 1;
    rig.runner.DefaultDest = rdPrinter;
    rig.runner.SystemPrinter.Copies = 3;
    rig.runner.Execute();
    EXPECT_FALSE(rig.runner.Aborted());
    EXPECT_EQ(rig.generated, 1);
    EXPECT_EQ(rig.rec().Jobs, 3);
    EXPECT_EQ(rig.rec().Count("TextOut"), 2);  // the last pass's job
    for (const TDevMode& mode : rig.rec().ContextModes)
        EXPECT_EQ(mode.dmCopies, 1);
}

TEST(ReportSystem, APrinterThatMakesCopiesPrintsDirectly)
{
    TRunnerRig rig;
    rig.runner.DefaultDest = rdPrinter;
    rig.runner.SystemPrinter.Copies = 3;
    rig.runner.Execute();
    EXPECT_EQ(rig.generated, 1);
    EXPECT_EQ(rig.rec().Jobs, 1);
    EXPECT_EQ(rig.rec().ContextModes.back().dmCopies, 3);
}

TEST(ReportSystem, NoGeneratePlaysTheKeptStreamWithoutEvents)
{
    TempDir dir;
    TRunnerRig rig;
    {
        TReportSystem writer(*rig.printer.Device);
        writer.SystemSetups = 0;
        writer.SystemOptions = 1u << soUseFiler;
        writer.SystemFiler.StreamMode = smFile;
        writer.SystemFiler.FileName = dir.file("kept.stream");
        writer.DefaultDest = rdPrinter;
        writer.OnPrint = rig.runner.OnPrint;
        writer.Execute();
    }
    ASSERT_EQ(rig.generated, 1);
    rig.rec().Calls.clear();
    rig.runner.SystemOptions |= 1u << soNoGenerate;
    rig.runner.SystemFiler.StreamMode = smFile;
    rig.runner.SystemFiler.FileName = dir.file("kept.stream");
    rig.runner.DefaultDest = rdPrinter;
    int events = 0;
    rig.runner.OnBeforePrint = rig.runner.OnNewPage = [&](TBaseReport&) { ++events; };
    rig.runner.Execute();
    EXPECT_EQ(rig.generated, 1);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(rig.rec().Count("TextOut"), 2);
}

TEST(ReportSystem, CancelInTheSetupPrintsNothing)
{
    TRunnerRig rig;
    rig.runner.SystemSetups |= 1u << ssAllowSetup;
    std::vector<int> modes;
    rig.runner.OverrideSetup = [&](TReportSystem& s, TOverrideMode mode, std::unique_ptr<TReportStepForm>&) {
        modes.push_back(mode);
        if (mode == omShow)
            s.SetAborted(true);
    };
    rig.runner.Execute();
    EXPECT_EQ(modes, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(rig.runner.Aborted());
    EXPECT_EQ(rig.generated, 0);
}

TEST(ReportSystem, SetupChoiceSendsTheReportToAFile)
{
    TRunnerRig rig;
    rig.runner.SystemSetups |= 1u << ssAllowSetup;
    rig.runner.OverrideSetup = [](TReportSystem& s, TOverrideMode mode, std::unique_ptr<TReportStepForm>&) {
        if (mode != omShow)
            return;
        TSetupChoice choice;
        choice.Destination = rdFile;
        choice.FileName = "/tmp/out.prn";
        choice.Copies = "x";  // an invalid number of copies is ignored
        s.ApplySetup(choice, nullptr);
    };
    rig.runner.Execute();
    EXPECT_EQ(rig.runner.Destination(), rdFile);
    EXPECT_EQ(rig.runner.SystemPrinter.Copies, 1);
    EXPECT_EQ(rig.rec().Calls.front(), "StartDoc Report -> /tmp/out.prn");
}

TEST(ReportSystem, PrintFromPreviewRangeGoesToThePlayer)
{
    TRunnerRig rig;
    TFilePrinter player(*rig.printer.Device);
    TSetupChoice choice;
    choice.Range = TSetupChoice::rgPages;
    choice.From = "2";
    choice.To = "3";
    choice.Copies = "2";
    rig.runner.ApplySetup(choice, &player);
    EXPECT_EQ(player.FirstPage, 2);
    EXPECT_EQ(player.LastPage, 3);
    EXPECT_EQ(player.GetCopies(), 2);
    choice.Range = TSetupChoice::rgSelection;
    choice.Selection = "1-4,R";
    rig.runner.ApplySetup(choice, &player);
    EXPECT_EQ(player.SelectionText, "1-4,R");
    EXPECT_EQ(player.FirstPage, 1);
    choice.Range = TSetupChoice::rgPages;
    choice.From = "abc";
    EXPECT_THROW(rig.runner.ApplySetup(choice, &player), std::invalid_argument);
}

TEST(ReportSystem, PreviewModesAndTheWaitOfANonModalPreview)
{
    for (bool modal : {true, false}) {
        TRunnerRig rig;
        if (!modal)
            rig.runner.SystemOptions &= ~(1u << soPreviewModal);
        std::vector<int> modes;
        int pages = 0;
        rig.runner.OverridePreview = [&](TReportSystem& s, TOverrideMode mode, std::unique_ptr<TReportStepForm>&) {
            modes.push_back(mode);
            if (mode == omShow) {
                TFilePrinter player(*rig.printer.Device);
                s.AssignStream(player);
                pages = player.PageCount();
            }
        };
        rig.runner.Execute();
        EXPECT_EQ(pages, 2);
        const std::vector<int> expected = modal ? std::vector<int>{0, 1, 3} : std::vector<int>{0, 1, 2, 3};
        EXPECT_EQ(modes, expected);
        EXPECT_EQ(rig.rec().Jobs, 0);
    }
}

TEST(ReportSystem, WithoutPrintersAPrintIsShownInstead)
{
    std::vector<std::string> shown;
    const auto previous = SetReportMessageHandler([&](const std::string& t) { shown.push_back(t); });
    TRPDevice none;
    const auto screen = ScreenContext();
    TReportCanvas canvas(screen.get());
    TReportSystem runner(none);
    runner.OwnerCanvas = &canvas;
    runner.SystemSetups = 0;
    runner.DefaultDest = rdPrinter;
    runner.OnPrint = [](TBaseReport& r) { r.PrintLeftInch("kept", 1); };
    bool previewed = false;
    runner.OverridePreview = [&](TReportSystem&, TOverrideMode mode, std::unique_ptr<TReportStepForm>&) {
        previewed |= mode == omShow;
    };
    runner.Execute();
    SetReportMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{"No printers are defined, aborting print job."}));
    EXPECT_TRUE(previewed);
    EXPECT_FALSE(runner.Aborted());
}

TEST(ReportSystem, SettingsClampAndExclude)
{
    std::vector<std::string> shown;
    const auto previous = SetReportMessageHandler([&](const std::string& t) { shown.push_back(t); });
    TSystemPreview preview;
    preview.SetZoomFactor(5);
    EXPECT_EQ(preview.ZoomFactor(), 10);
    preview.SetZoomFactor(250);
    EXPECT_EQ(preview.ZoomFactor(), 200);
    preview.SetShadowDepth(4);
    preview.SetMonochrome(true);
    EXPECT_FALSE(preview.Monochrome());
    TSystemPrinter printer;
    printer.SetTabShade(150);
    EXPECT_EQ(printer.TabShade(), 100);
    printer.SetUnitsFactor(25.4);
    EXPECT_EQ(printer.Units(), unMM);
    printer.SetUnitsFactor(3);
    EXPECT_EQ(printer.Units(), unUser);
    SetReportMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Monochrome not allowed while shadows are in effect.\rChange ShadowDepth to 0 first"}));
}
