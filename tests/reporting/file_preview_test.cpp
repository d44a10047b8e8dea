// The preview engine on a recording page image: zoom limits and fits, paging by links, the
// page's place in the image, and the settings that exclude each other.
#include <gtest/gtest.h>

#include <sstream>

#include "reporting/file_preview.h"
#include "reporting/report_filer.h"
#include "test_support.h"
#include "tests/reporting/recording_device.h"

using namespace korval;
using namespace korval::test;

namespace {

// A scroll box of 600 x 400 pixels with 2-pixel borders and 16-pixel scroll bars, showing
// images at 100 DPI.
class TFakeHost : public TPreviewHost {
public:
    TPixelSize Box{600, 400};
    std::vector<TPixelSize> Images;
    int Shown = 0;

    TPixelSize BoxSize() override { return Box; }
    TPixelSize BorderSize() override { return {2, 2}; }
    TPixelSize ScrollBarSize() override { return {16, 16}; }
    TColor BoxColor() override { return clSilver; }
    TDrawingContext* NewImage(int width, int height, bool) override
    {
        Images.push_back({width, height});
        TFakeCaps caps;
        caps.DpiX = caps.DpiY = 100;
        context_ = std::make_unique<TRecordingContext>(rec_, caps, true);
        return context_.get();
    }
    void ShowImage() override { ++Shown; }
    void FreeImage() override { context_.reset(); }
    void ScrollToOrigin() override {}
    TRecording& Rec() { return *rec_; }

private:
    std::shared_ptr<TRecording> rec_ = std::make_shared<TRecording>();
    std::unique_ptr<TRecordingContext> context_;
};

std::string stream(int pages)
{
    TFakePrinter printer;
    TReportFiler filer(*printer.Device);
    filer.BeginDoc();
    for (int page = 1; page <= pages; ++page) {
        if (page > 1)
            filer.NewPage();
        filer.PrintLeftInch("Page" + std::to_string(page), 1.0);
    }
    filer.EndDoc();
    return filer.MemoryData();
}

struct TPreviewRig {
    TFakePrinter printer;
    TFakeHost host;
    std::istringstream bytes;
    TFilePreview preview{*printer.Device};
    std::vector<int> pagesShown;

    explicit TPreviewRig(int pages) : bytes(stream(pages))
    {
        preview.StreamMode = smUser;
        preview.Stream = &bytes;
        preview.ScrollBox = &host;
        preview.OnPageChange = [this](TFilePreview& p) { pagesShown.push_back(p.CurrentPageNumber()); };
    }
};

} // namespace

struct ZoomCase {
    double asked, zoom;
};
class ZoomTable : public ::testing::TestWithParam<ZoomCase> {};
TEST_P(ZoomTable, ZoomIsHeldToItsRangeAndFits)
{
    TPreviewRig rig(1);
    rig.preview.BeginDoc();
    rig.preview.SetZoomFactor(GetParam().asked);
    EXPECT_NEAR(rig.preview.ZoomFactor(), GetParam().zoom, 0.01) << GetParam().asked;
}
// The page is 8.5 x 11 inches at 100 DPI: 850 x 1100 pixels at 100 %. Whole page: the height
// decides, (400 - 4 - 2) / 1100. Page width: (600 - 2) / 850 would not fit the height, so the
// vertical scroll bar is taken off too: (600 - 16 - 2) / 850.
INSTANTIATE_TEST_SUITE_P(Limits, ZoomTable, ::testing::Values(
    ZoomCase{5, 10}, ZoomCase{0, 10}, ZoomCase{9.99, 10}, ZoomCase{10, 10}, ZoomCase{100, 100},
    ZoomCase{200, 200}, ZoomCase{250, 200},
    ZoomCase{-1, 394.0 / 1100 * 100}, ZoomCase{-0.5, 394.0 / 1100 * 100},
    ZoomCase{-1.9, 582.0 / 850 * 100}, ZoomCase{-2, 582.0 / 850 * 100}));

TEST(FilePreview, PagesMoveByTheirLinks)
{
    TPreviewRig rig(2);
    rig.preview.BeginDoc();
    EXPECT_EQ(rig.pagesShown, (std::vector<int>{1}));
    rig.preview.PageInc = 2;
    rig.preview.NextPage();  // page 3 does not exist: the walk stops on page 2
    EXPECT_EQ(rig.preview.CurrentPageNumber(), 2);
    rig.preview.NextPage();  // on the last page: nothing
    rig.preview.PageInc = 1;
    rig.preview.PrevPage();
    rig.preview.PrevPage();  // on the first page: nothing
    EXPECT_EQ(rig.pagesShown, (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(rig.host.Shown, 3);
    EXPECT_EQ(rig.host.Rec().Count("TextOut"), 3);
}

TEST(FilePreview, PageLiesInsideItsMarginShadowAndRulers)
{
    TPreviewRig rig(1);
    rig.preview.MarginPercent = 10;
    rig.preview.SetShadowDepth(5);
    rig.preview.RulerType = rtBothIn;
    rig.preview.BeginDoc();
    rig.preview.SetZoomFactor(50);
    // Page 425 x 550; margin 85 on each side; rulers 20; shadow 5.
    EXPECT_EQ(rig.preview.PageRect(), (TPixelRect{105, 105, 530, 655}));
    EXPECT_EQ(rig.preview.ImageSize().cx, 530 + 5 + 85);
    EXPECT_EQ(rig.preview.ImageSize().cy, 655 + 5 + 85);
    // The text of page 1 is drawn at 1 inch on the page: 50 pixels in from its left edge.
    const auto& calls = rig.host.Rec().Calls;
    const auto text = std::find_if(calls.rbegin(), calls.rend(),
                                   [](const std::string& c) { return c.rfind("TextOut", 0) == 0 && c.find("Page1") != std::string::npos; });
    ASSERT_NE(text, calls.rend());
    EXPECT_EQ(text->substr(0, 12), "TextOut 155 ");
}

TEST(FilePreview, MonochromeAndShadowExcludeEachOther)
{
    std::vector<std::string> shown;
    const auto previous = SetReportMessageHandler([&](const std::string& t) { shown.push_back(t); });
    TPreviewRig rig(1);
    rig.preview.SetMonochrome(true);
    rig.preview.SetShadowDepth(3);
    EXPECT_EQ(rig.preview.ShadowDepth(), 0);
    SetReportMessageHandler(previous);
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Shadows not allowed while monochrome in effect.\rChange Monochrome to false first"}));
}

TEST(FilePreview, ScrollBoxIsRequired)
{
    TPreviewRig rig(1);
    rig.preview.ScrollBox = nullptr;
    EXPECT_EQ(ErrorOf([&] { rig.preview.BeginDoc(); }), "ScrollBox must be assigned for FilePreview component");
}

TEST(FilePreview, DamagedStreamEndsThePreview)
{
    TPreviewRig rig(1);
    std::string cut = stream(1);
    cut.resize(cut.size() - 3);
    rig.bytes.str(cut);
    EXPECT_EQ(ErrorOf([&] { rig.preview.BeginDoc(); }), "Unexpected code found in report file.");
    EXPECT_FALSE(rig.preview.Previewing());
}
