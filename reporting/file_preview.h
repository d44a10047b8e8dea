#pragma once
// TFilePreview: plays a report stream one page at a time into a page image with zoom, margins
// around the page, a drop shadow, rulers and a grid. The window it shows in is reached through
// TPreviewHost, so the same rules run in the preview window and in the tests.
#include <functional>

#include "reporting/file_printer.h"

namespace korval {

// What the preview needs of the scroll box it shows the page in.
class TPreviewHost {
public:
    virtual ~TPreviewHost() = default;
    // The box's client size, its border width and height, and its scroll bars' thickness
    // (cx the vertical bar's width, cy the horizontal bar's height).
    virtual TPixelSize BoxSize() = 0;
    virtual TPixelSize BorderSize() = 0;
    virtual TPixelSize ScrollBarSize() = 0;
    virtual TColor BoxColor() = 0;
    // A new page image; its context is drawn on until the next image is made.
    virtual TDrawingContext* NewImage(int width, int height, bool monochrome) = 0;
    virtual void ShowImage() = 0;
    virtual void FreeImage() = 0;
    virtual void ScrollToOrigin() = 0;
    virtual void SetBusy(bool) {}
};

class TFilePreview : public TFilePrinter {
public:
    explicit TFilePreview(TRPDevice& device = ReportDevice());
    ~TFilePreview() override;

    TPreviewHost* ScrollBox = nullptr;
    int ZoomInc = 10;
    TMarginMethod MarginMethod = mmFixed;
    double MarginPercent = 0;
    TRulerType RulerType = rtNone;
    TPenData GridPen;
    double GridHoriz = 0;  // inches between grid lines; 0 none
    double GridVert = 0;
    int PageInc = 1;
    std::function<void(TFilePreview&)> OnZoomChange, OnPageChange;

    double ZoomFactor() const { return zoomFactor_; }
    // -1.9 and below: fit the page width; above -1.9 and below 0: fit the whole page; 0 up to
    // 10: 10; above 200: 200.
    void SetZoomFactor(double zoom);
    bool Monochrome() const { return monochrome_; }
    void SetMonochrome(bool on);
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int depth);

    int Destination() const override { return dkPreview; }
    void BeginDoc() override;
    void EndDoc() override;
    void Execute() override { BeginDoc(); }
    void PrintPage(int page) override;
    bool Previewing() const { return previewing_; }

    void ZoomIn() { SetZoomFactor(zoomFactor_ + ZoomInc); }
    void ZoomOut() { SetZoomFactor(zoomFactor_ - ZoomInc); }
    void PrevPage();
    void NextPage();
    void RedrawPage();
    double ZoomPageWidthFactor();
    double ZoomPageFactor();
    // The page image's size and where the page lies in it (pixels).
    TPixelSize ImageSize() const { return imageSize_; }
    TPixelRect PageRect() const { return pageRect_; }

protected:
    virtual void DoPageChange();
    virtual void DoZoomChange();
    TReportCanvas* ActiveCanvas() override;
    void ReadDeviceMetrics() override;
    void StartPageOutput() override {}
    bool AppliesDeviceSettings() override { return false; }

private:
    int rulerWidth() const;   // the vertical ruler's width
    int rulerHeight() const;  // the horizontal ruler's height
    void paintFrame(TDrawingContext& dc);
    void paintGrid(TDrawingContext& dc);
    void paintRulers(TDrawingContext& dc);
    double fitZoom(bool wholePage);

    double zoomFactor_ = 100;
    bool monochrome_ = false;
    int shadowDepth_ = 0;
    bool previewing_ = false;
    int ppiX_ = 96, ppiY_ = 96;
    TReportCanvas pageCanvas_;
    TPixelSize imageSize_;
    TPixelRect pageRect_;
};

} // namespace korval
