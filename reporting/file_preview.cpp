#include "reporting/file_preview.h"

#include <algorithm>
#include <cmath>

namespace korval {

namespace {

constexpr int kRulerSize = 20;
constexpr double kLowestZoom = 10;
constexpr double kHighestZoom = 200;

bool verticalRuler(TRulerType t)
{
    return t == rtVertCm || t == rtBothCm || t == rtVertIn || t == rtBothIn;
}

bool horizontalRuler(TRulerType t)
{
    return t == rtHorizCm || t == rtBothCm || t == rtHorizIn || t == rtBothIn;
}

} // namespace

TFilePreview::TFilePreview(TRPDevice& device) : TFilePrinter(device)
{
    GridPen = {clSilver, psSolid, 1, pmCopy};
    StreamMode = smMemory;
}

TFilePreview::~TFilePreview()
{
    if (previewing_)
        EndDoc();
}

TReportCanvas* TFilePreview::ActiveCanvas()
{
    return pageCanvas_.Handle() ? &pageCanvas_ : nullptr;
}

void TFilePreview::ReadDeviceMetrics()
{
    SetDpi(ppiX_, ppiY_);
    ClearUnprintable();
    ApplyMargins();
}

// ---- settings

void TFilePreview::SetZoomFactor(double zoom)
{
    if (zoom <= -1.9)
        zoom = ZoomPageWidthFactor();
    else if (zoom < 0)
        zoom = ZoomPageFactor();
    // 0 belongs to the low end, not to the whole-page fit.
    zoomFactor_ = std::clamp(zoom, kLowestZoom, kHighestZoom);
    DoZoomChange();
}

void TFilePreview::SetMonochrome(bool on)
{
    if (on && shadowDepth_ > 0) {
        ShowReportError(ReportText("Monochrome not allowed while shadows are in effect.\rChange ShadowDepth to 0 first"));
        return;
    }
    monochrome_ = on;
}

void TFilePreview::SetShadowDepth(int depth)
{
    if (depth > 0 && monochrome_) {
        ShowReportError(ReportText("Shadows not allowed while monochrome in effect.\rChange Monochrome to false first"));
        return;
    }
    shadowDepth_ = std::max(0, depth);
}

void TFilePreview::DoPageChange()
{
    if (OnPageChange)
        OnPageChange(*this);
}

void TFilePreview::DoZoomChange()
{
    if (OnZoomChange)
        OnZoomChange(*this);
    else if (previewing_)
        RedrawPage();
}

// ---- fits

int TFilePreview::rulerWidth() const
{
    return verticalRuler(RulerType) ? kRulerSize : 0;
}

int TFilePreview::rulerHeight() const
{
    return horizontalRuler(RulerType) ? kRulerSize : 0;
}

double TFilePreview::fitZoom(bool wholePage)
{
    if (!ScrollBox)
        return zoomFactor_;
    const TPixelSize box = ScrollBox->BoxSize(), border = ScrollBox->BorderSize(), bars = ScrollBox->ScrollBarSize();
    const int shadow = monochrome_ ? 0 : shadowDepth_;
    double W = box.cx - shadow - rulerWidth();
    double H = box.cy - shadow - rulerHeight();
    const double P = ppiX_ * PageWidthInches();
    const double PH = ppiY_ * PageHeightInches();
    if (P <= 0 || PH <= 0)
        return zoomFactor_;
    // The zoom at which a length of `page` pixels at 100 % fills `room` with its margins.
    auto fit = [this](double room, double page, double borderSize, double width100) {
        if (MarginMethod == mmFixed) {
            const double m = std::round(width100 * MarginPercent / 100);
            return (room - (borderSize + 2 * m)) / page;
        }
        return (room - borderSize) / (page * (MarginPercent / 50 + 1));
    };
    double zoom;
    if (wholePage) {
        zoom = std::min(fit(W - 4, P, border.cx, P), fit(H - 4, PH, border.cy, P));
    } else {
        zoom = fit(W, P, border.cx, P);
        const double m = MarginMethod == mmFixed ? std::round(P * MarginPercent / 100) : P * MarginPercent / 100 * zoom;
        if (PH * zoom + 2 * m > H - border.cy)
            zoom = fit(W - bars.cx, P, border.cx, P);
    }
    return zoom * 100;
}

double TFilePreview::ZoomPageWidthFactor()
{
    return std::clamp(fitZoom(false), kLowestZoom, kHighestZoom);
}

double TFilePreview::ZoomPageFactor()
{
    return std::clamp(fitZoom(true), kLowestZoom, kHighestZoom);
}

// ---- the document

void TFilePreview::BeginDoc()
{
    if (!ScrollBox)
        RaiseReportText("ScrollBox must be assigned for FilePreview component");
    if (previewing_)
        return;
    DoZoomChange();
    TDrawingContext* probe = ScrollBox->NewImage(1, 1, monochrome_);
    if (probe) {
        ppiX_ = probe->GetDeviceCaps(LOGPIXELSX);
        ppiY_ = probe->GetDeviceCaps(LOGPIXELSY);
    }
    if (ppiX_ <= 0 || ppiY_ <= 0)
        ppiX_ = ppiY_ = 96;
    pageCanvas_.SetHandle(probe);
    if (!OpenStream()) {
        pageCanvas_.SetHandle(nullptr);
        return;
    }
    try {
        PageCount();
        ResetPageLinks();
        ReadDeviceMetrics();
        SetPrinting(true);
        AttachFontChange();
        previewing_ = true;
        PrintPage(1);
    } catch (...) {
        EndDoc();
        throw;
    }
}

void TFilePreview::EndDoc()
{
    if (Printing())
        ReleaseDocument();
    SetPrinting(false);
    previewing_ = false;
    pageCanvas_.SetHandle(nullptr);
    if (ScrollBox)
        ScrollBox->FreeImage();
    if (StreamMode != smUser)
        CloseStream();
}

void TFilePreview::PrevPage()
{
    if (previewing_ && HasPreviousPage())
        PrintPage(CurrentPageNumber() - PageInc);
}

void TFilePreview::NextPage()
{
    if (previewing_ && HasNextPage())
        PrintPage(CurrentPageNumber() + PageInc);
}

void TFilePreview::RedrawPage()
{
    if (previewing_)
        PrintPage(CurrentPageNumber());
}

// ---- drawing a page

void TFilePreview::paintFrame(TDrawingContext& dc)
{
    const int shadow = monochrome_ ? 0 : shadowDepth_;
    auto fill = [&dc](TColor color, int x1, int y1, int x2, int y2) {
        if (x2 <= x1 || y2 <= y1)
            return;
        dc.SelectBrush({color, bsSolid, nullptr});
        dc.FillRect({x1, y1, x2, y2});
    };
    fill(ScrollBox->BoxColor(), 0, 0, imageSize_.cx, imageSize_.cy);
    const TPixelRect& p = pageRect_;
    fill(clBlack, p.Right, p.Top + shadow, p.Right + shadow, p.Bottom + shadow);
    fill(clBlack, p.Left + shadow, p.Bottom, p.Right + shadow, p.Bottom + shadow);
    if (rulerWidth() > 0 || rulerHeight() > 0) {
        fill(clSilver, 0, 0, rulerWidth(), rulerHeight());
        fill(clSilver, rulerWidth(), 0, imageSize_.cx, rulerHeight());
        fill(clSilver, 0, rulerHeight(), rulerWidth(), imageSize_.cy);
    }
    fill(clWhite, p.Left, p.Top, p.Right, p.Bottom);
}

void TFilePreview::paintGrid(TDrawingContext& dc)
{
    const TPixelRect& p = pageRect_;
    dc.SelectPen(GridPen);
    if (GridHoriz > 0) {
        const double step = ppiY_ * GridHoriz * zoomFactor_ / 100;
        for (int i = 1; step >= 1 && p.Top + i * step < p.Bottom; ++i) {
            const int y = p.Top + int(std::lround(i * step));
            dc.MoveTo(p.Left, y);
            dc.LineTo(p.Right, y);
        }
    }
    if (GridVert > 0) {
        const double step = ppiX_ * GridVert * zoomFactor_ / 100;
        for (int i = 1; step >= 1 && p.Left + i * step < p.Right; ++i) {
            const int x = p.Left + int(std::lround(i * step));
            dc.MoveTo(x, p.Top);
            dc.LineTo(x, p.Bottom);
        }
    }
}

void TFilePreview::paintRulers(TDrawingContext& dc)
{
    if (RulerType == rtNone)
        return;
    const bool cm = RulerType == rtHorizCm || RulerType == rtVertCm || RulerType == rtBothCm;
    const double unit = cm ? 1 / 2.54 : 1.0;  // inches per unit
    const int divisions = cm ? 10 : 8;
    TLogFont font;
    font.FaceName = "Arial";
    font.Height = -int(std::lround(7.0 * ppiY_ / 72));
    dc.SelectFont(font);
    dc.SetTextColor(clBlack);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectPen({clBlack, psSolid, 1, pmCopy});
    auto ruler = [&](bool horizontal) {
        const int origin = horizontal ? pageRect_.Left : pageRect_.Top;
        const int end = horizontal ? pageRect_.Right : pageRect_.Bottom;
        const double ppu = (horizontal ? ppiX_ : ppiY_) * unit * zoomFactor_ / 100;
        const double step = ppu / divisions;
        if (step < 1)
            return;
        for (int i = 0; origin + i * step <= end; ++i) {
            const int at = origin + int(std::lround(i * step));
            const bool whole = i % divisions == 0;
            const int length = whole ? kRulerSize / 2 : i % (divisions / 2) == 0 ? kRulerSize / 3 : kRulerSize / 5;
            if (horizontal) {
                dc.MoveTo(at, kRulerSize - length);
                dc.LineTo(at, kRulerSize);
            } else {
                dc.MoveTo(kRulerSize - length, at);
                dc.LineTo(kRulerSize, at);
            }
            if (whole && i > 0) {
                const std::string number = std::to_string(i / divisions);
                dc.SetTextAlign(TA_TOP | (horizontal ? TA_CENTER : TA_LEFT));
                if (horizontal)
                    dc.TextOut(at, 1, number);
                else
                    dc.TextOut(1, at + 1, number);
            }
        }
    };
    if (rulerHeight() > 0)
        ruler(true);
    if (rulerWidth() > 0)
        ruler(false);
}

void TFilePreview::PrintPage(int page)
{
    if (!previewing_ || !ScrollBox)
        return;
    if (monochrome_)
        shadowDepth_ = 0;
    ScrollBox->SetBusy(true);
    try {
        GotoPage(page);
        DoPageChange();
        ScrollBox->ScrollToOrigin();
        const double P = ppiX_ * PageWidthInches(), PH = ppiY_ * PageHeightInches();
        double margin = P * MarginPercent / 100;
        if (MarginMethod == mmScaled)
            margin *= zoomFactor_ / 100;
        const int m = int(std::lround(margin));
        const int pageW = int(std::lround(P * zoomFactor_ / 100)), pageH = int(std::lround(PH * zoomFactor_ / 100));
        const int left = rulerWidth() + m, top = rulerHeight() + m;
        pageRect_ = {left, top, left + pageW, top + pageH};
        imageSize_ = {left + pageW + shadowDepth_ + m, top + pageH + shadowDepth_ + m};
        TDrawingContext* dc = ScrollBox->NewImage(imageSize_.cx, imageSize_.cy, monochrome_);
        pageCanvas_.SetHandle(dc);
        if (dc) {
            paintFrame(*dc);
            paintGrid(*dc);
            paintRulers(*dc);
            DeviceOffsetX = left;
            DeviceOffsetY = top;
            SetZoom(zoomFactor_);
            AllOutput();
            TFilePrinter::PrintPage(page);
            ScrollBox->ShowImage();
        }
    } catch (...) {
        ScrollBox->SetBusy(false);
        throw;
    }
    ScrollBox->SetBusy(false);
}

} // namespace korval
