// The surface's geometry, fonts and text; tabs and columns are in base_report_tabs.cpp, the run
// and its pages in base_report_run.cpp.
#include "reporting/base_report.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "reporting/inline_codes.h"

namespace korval {

namespace {

constexpr double kDefaultPageWidth = 8.5;
constexpr double kDefaultPageHeight = 11.0;
constexpr size_t kMaxFontName = 60;

} // namespace

TBaseReport::TBaseReport(TRPDevice& device) : device_(device)
{
    StatusFormat = ReportText("Printing page %p");
    fontSlots_.fill(TFontRecord{});
    printerIndex_ = device_.HasPrinters() ? device_.GetPrinterIndex() : -1;
    ReadDeviceMetrics();
    AddHook(hkAfterPage, [this] { FlushLineBuffer(); });
}

TBaseReport::~TBaseReport()
{
    if (fontChangeAttached_)
        DetachFontChange();
    if (printing_ && device_.HasPrinters() && device_.Printing()) {
        try {
            device_.AbortDoc();
        } catch (const EReportError&) {
        }
    }
}

void TBaseReport::CheckPrinting() const
{
    if (!printing_)
        RaiseReportText("Invalid method call.  Report is not printing.");
}

void TBaseReport::CheckNotPrinting() const
{
    if (printing_)
        RaiseReportText("Invalid method call.  Report already printing.");
}

// ---- properties

void TBaseReport::SetLinesPerInch(int value)
{
    if (value <= 0)
        return;
    linesPerInch_ = value;
    UpdateLineHeight();
}

void TBaseReport::SetMarginLeft(double value)
{
    marginLeft_ = value;
    leftMarginLine_ = UnitsToInchesX(value);
    sectionLeft_ = leftMarginLine_;
}

void TBaseReport::SetMarginTop(double value)
{
    marginTop_ = value;
    topMarginLine_ = UnitsToInchesY(value);
    sectionTop_ = topMarginLine_;
}

void TBaseReport::SetMarginRight(double value)
{
    marginRight_ = value;
    rightMarginLine_ = UnitsToInchesX(GetPageWidth() - value);
    sectionRight_ = rightMarginLine_;
}

void TBaseReport::SetMarginBottom(double value)
{
    marginBottom_ = value;
    bottomMarginLine_ = UnitsToInchesY(GetPageHeight() - value);
    sectionBottom_ = bottomMarginLine_;
}

void TBaseReport::ApplyMargins()
{
    SetMarginLeft(marginLeft_);
    SetMarginRight(marginRight_);
    SetMarginTop(marginTop_);
    SetMarginBottom(marginBottom_);
}

void TBaseReport::SetTabShade(int value)
{
    tabShade_ = std::clamp(value, 0, 100);
}

void TBaseReport::SetTextBKMode(TBKMode mode)
{
    textBKMode_ = mode;
}

void TBaseReport::SetCopies(int copies)
{
    CheckNotPrinting();
    if (copies <= 0)
        return;
    copies_ = copies;
    device_.SetCopies(copies);
}

void TBaseReport::SetOrientation(TOrientation orientation)
{
    if (device_.HasPrinters() && orientation != poDefault) {
        device_.SetOrientation(orientation);
        ReadDeviceMetrics();
    }
    orientation_ = orientation;
}

void TBaseReport::SetScaleX(double percent)
{
    scaleX_ = percent;
}

void TBaseReport::SetScaleY(double percent)
{
    scaleY_ = percent;
}

void TBaseReport::SetPrinterIndex(int index)
{
    CheckNotPrinting();
    device_.SetPrinterIndex(index);
    printerIndex_ = device_.HasPrinters() ? device_.GetPrinterIndex() : -1;
    ReadDeviceMetrics();
}

void TBaseReport::SetOutputFile(const std::string& name)
{
    CheckNotPrinting();
    if (!device_.HasPrinters())
        return;
    outputFile_ = name;
    device_.SetOutputFile(name);
}

bool TBaseReport::SelectBin(const std::string& name)
{
    return device_.SelectBin(name, false);
}

// ---- conversions and geometry

int TBaseReport::InchesToPixelsX(double x) const
{
    return int(std::lround(((x + originX_) * (scaleX_ * zoom_ / 10000) - unprintableLeft_) * dpiX_)) +
           DeviceOffsetX;
}

int TBaseReport::InchesToPixelsY(double y) const
{
    return int(std::lround(((y + originY_) * (scaleY_ * zoom_ / 10000) - unprintableTop_) * dpiY_)) +
           DeviceOffsetY;
}

double TBaseReport::PixelsToInchesX(int p) const
{
    return ((double(p) - DeviceOffsetX) / dpiX_ + unprintableLeft_) * (10000 / (scaleX_ * zoom_)) - originX_;
}

double TBaseReport::PixelsToInchesY(int p) const
{
    return ((double(p) - DeviceOffsetY) / dpiY_ + unprintableTop_) * (10000 / (scaleY_ * zoom_)) - originY_;
}

double TBaseReport::GetPageWidth()
{
    if (!device_.HasPrinters())
        return InchesToUnitsX(kDefaultPageWidth);
    return InchesToUnitsX(double(device_.GetHorzRes()) / dpiX_ + unprintableLeft_ + unprintableRight_);
}

double TBaseReport::GetPageHeight()
{
    if (!device_.HasPrinters())
        return InchesToUnitsY(kDefaultPageHeight);
    return InchesToUnitsY(double(device_.GetVertRes()) / dpiY_ + unprintableTop_ + unprintableBottom_);
}

void TBaseReport::ReadDeviceMetrics()
{
    TDrawingContext* dc = device_.HasPrinters() ? device_.GetDC() : nullptr;
    if (!dc) {
        dpiX_ = dpiY_ = 96;
        unprintableLeft_ = unprintableRight_ = unprintableTop_ = unprintableBottom_ = 0;
    } else {
        const int kind = Destination();
        if (kind == dkPrinter || kind == dkFile || kind == 4) {
            device_.ApplyDevMode(false);
            dpiX_ = dc->GetDeviceCaps(LOGPIXELSX);
            dpiY_ = dc->GetDeviceCaps(LOGPIXELSY);
            const double offX = dc->GetDeviceCaps(PHYSICALOFFSETX), offY = dc->GetDeviceCaps(PHYSICALOFFSETY);
            unprintableLeft_ = offX / dpiX_;
            unprintableRight_ =
                double(dc->GetDeviceCaps(PHYSICALWIDTH) - dc->GetDeviceCaps(HORZRES) - offX) / dpiX_;
            unprintableTop_ = offY / dpiY_;
            unprintableBottom_ =
                double(dc->GetDeviceCaps(PHYSICALHEIGHT) - dc->GetDeviceCaps(VERTRES) - offY) / dpiY_;
        }
    }
    ApplyMargins();
}

void TBaseReport::SetSectionLeft(double v)
{
    sectionLeft_ = UnitsToInchesX(v);
    cursorX_ = std::max(cursorX_, sectionLeft_);
}

void TBaseReport::SetSectionRight(double v)
{
    sectionRight_ = UnitsToInchesX(v);
    cursorX_ = std::min(cursorX_, sectionRight_);
}

void TBaseReport::SetSectionTop(double v)
{
    sectionTop_ = UnitsToInchesY(v);
    cursorY_ = std::max(cursorY_, sectionTop_);
}

void TBaseReport::SetSectionBottom(double v)
{
    sectionBottom_ = UnitsToInchesY(v);
    cursorY_ = std::min(cursorY_, sectionBottom_);
}

void TBaseReport::SetCursorY(double v)
{
    UpdateLineHeight();
    cursorY_ = UnitsToInchesY(v);
}

void TBaseReport::SetLineBottom(double v)
{
    UpdateLineHeight();
    cursorY_ = UnitsToInchesY(v) - descentPart_;
}

void TBaseReport::SetLine(int n)
{
    lineNum_ = n;
    UpdateLineHeight();
    ResetTabCursor();
    cursorX_ = ColumnStartX();
    cursorY_ = n * lineHeight_ + sectionTop_ - descentPart_;
}

void TBaseReport::PushPos()
{
    posStack_.emplace_back(cursorX_, cursorY_);
}

bool TBaseReport::PopPos()
{
    if (posStack_.empty())
        return false;
    std::tie(cursorX_, cursorY_) = posStack_.back();
    posStack_.pop_back();
    return true;
}

void TBaseReport::SetLineMetrics(double ascent, double descent, double height)
{
    ascentPart_ = ascent;
    descentPart_ = descent;
    lineHeight_ = height;
}

void TBaseReport::UpdateLineHeight()
{
    if (!printing_)
        return;
    RealizeFont();
    ascentPart_ = font_.Ascent;
    descentPart_ = font_.Descent;
    switch (LineHeightMethod) {
    case lhmLinesPerInch: lineHeight_ = 1.0 / linesPerInch_; break;
    // 120 % of the point size, in the report's own inches: the device scale is applied once,
    // when positions become pixels.
    case lhmFont: lineHeight_ = font_.Size / 60; break;
    case lhmUser: break;
    }
}

// ---- fonts

TReportCanvas* TBaseReport::ActiveCanvas()
{
    return device_.Printing() ? &device_.GetCanvas() : nullptr;
}

TReportCanvas& TBaseReport::GetCanvas()
{
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas)
        RaiseReportText("Error!  Canvas not yet active.");
    return *canvas;
}

int TBaseReport::FontPixelHeight(const TFontRecord& font) const
{
    return int(std::lround(dpiY_ * font.Height * scaleY_ * zoom_ / 10000));
}

void TBaseReport::syncCanvasFont()
{
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas)
        return;
    TCanvasFont f;
    f.Name = font_.Name;
    f.Color = font_.Color;
    f.Height = FontPixelHeight(font_);
    f.Pitch = font_.Pitch;
    f.CharSet = font_.CharSet;
    f.Bold = font_.Bold;
    f.Italic = font_.Italic;
    f.Underline = font_.Underline;
    f.StrikeOut = font_.StrikeOut;
    const bool batch = fontBatch_;
    fontBatch_ = true;
    canvas->SetFont(f);
    fontBatch_ = batch;
}

void TBaseReport::FontChanged() {}

void TBaseReport::fontSetterDone()
{
    fontDirty_ = true;
    syncCanvasFont();
    FontChanged();
}

void TBaseReport::canvasFontChanged()
{
    if (previousFontChange_)
        previousFontChange_();
    if (fontBatch_)
        return;
    const TCanvasFont& f = attachedCanvas_->Font();
    bool changed = false;
    auto take = [&changed](auto& field, const auto& value) {
        if (field != value) {
            field = value;
            changed = true;
        }
    };
    take(font_.Name, f.Name.substr(0, kMaxFontName));
    take(font_.Color, f.Color);
    take(font_.CharSet, f.CharSet);
    take(font_.Pitch, f.Pitch);
    if (FontPixelHeight(font_) != std::abs(f.Height)) {
        font_.Height = std::abs(f.Height) * 10000.0 / (dpiY_ * scaleY_ * zoom_);
        font_.Size = font_.Height * 72;
        changed = true;
    }
    take(font_.Bold, f.Bold);
    take(font_.Italic, f.Italic);
    take(font_.Underline, f.Underline);
    take(font_.StrikeOut, f.StrikeOut);
    if (changed)
        fontDirty_ = true;
    FontChanged();
}

void TBaseReport::ReleaseDocument()
{
    DetachFontChange();
    releaseFontCache();
    lineBuffer_.Clear();
}

void TBaseReport::FinishPrintJob()
{
    ReleaseDocument();
    if (device_.Printing()) {
        if (Aborted())
            device_.AbortDoc();
        else
            device_.EndDoc();
    }
    SetPrinting(false);
    DoAfterPrint();
}

void TBaseReport::AttachFontChange()
{
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas || fontChangeAttached_)
        return;
    attachedCanvas_ = canvas;
    previousFontChange_ = canvas->OnFontChange;
    canvas->OnFontChange = [this] { canvasFontChanged(); };
    fontChangeAttached_ = true;
    syncCanvasFont();
}

void TBaseReport::DetachFontChange()
{
    if (!fontChangeAttached_)
        return;
    attachedCanvas_->OnFontChange = previousFontChange_;
    previousFontChange_ = nullptr;
    attachedCanvas_ = nullptr;
    fontChangeAttached_ = false;
}

void TBaseReport::SetFont(const std::string& name, double size)
{
    if (size <= 0)
        return;
    const TFontRecord keep = font_;
    font_ = TFontRecord{};
    font_.Name = name.substr(0, kMaxFontName);
    font_.Size = size;
    font_.Height = size / 72;
    font_.Ascent = keep.Ascent;
    font_.Descent = keep.Descent;
    font_.InternalLeading = keep.InternalLeading;
    font_.CacheIndex = keep.CacheIndex;
    fontSetterDone();
}

void TBaseReport::SetFontSize(double points)
{
    if (points <= 0)
        return;
    font_.Size = points;
    font_.Height = points / 72;
    fontSetterDone();
}

void TBaseReport::SetFontHeight(double units)
{
    // At least one device pixel.
    const double onePixel = 10000.0 / (dpiY_ * scaleY_ * zoom_);
    font_.Height = std::max(UnitsToInchesY(units), onePixel);
    font_.Size = font_.Height * 72;
    fontSetterDone();
}

void TBaseReport::SetFontName(const std::string& name)
{
    font_.Name = name.substr(0, kMaxFontName);
    fontSetterDone();
}

void TBaseReport::SetFontColor(TColor color)
{
    font_.Color = color;
    fontSetterDone();
}

void TBaseReport::SetFontPitch(std::uint8_t pitch)
{
    font_.Pitch = pitch;
    fontSetterDone();
}

void TBaseReport::SetFontCharset(std::uint8_t charset)
{
    font_.CharSet = charset;
    fontSetterDone();
}

void TBaseReport::SetBold(bool on)
{
    font_.Bold = on;
    fontSetterDone();
}

void TBaseReport::SetUnderline(bool on)
{
    font_.Underline = on;
    fontSetterDone();
}

void TBaseReport::SetItalic(bool on)
{
    font_.Italic = on;
    fontSetterDone();
}

void TBaseReport::SetStrikeOut(bool on)
{
    font_.StrikeOut = on;
    fontSetterDone();
}

void TBaseReport::SetSuperscript(bool on)
{
    font_.Superscript = on;
    if (on)
        font_.Subscript = false;
    fontSetterDone();
}

void TBaseReport::SetSubscript(bool on)
{
    font_.Subscript = on;
    if (on)
        font_.Superscript = false;
    fontSetterDone();
}

void TBaseReport::SetFontRotation(int degrees)
{
    font_.Rotation = std::int16_t(degrees % 360);
    fontSetterDone();
}

void TBaseReport::SetFontAlign(std::uint8_t align)
{
    font_.Align = align;
    fontSetterDone();
}

void TBaseReport::ApplyFontRecord(const TFontRecord& record)
{
    font_.Name = record.Name.substr(0, kMaxFontName);
    font_.Color = record.Color;
    font_.Pitch = record.Pitch;
    font_.CharSet = record.CharSet;
    font_.Height = record.Height;
    font_.Size = record.Size;
    font_.Bold = record.Bold;
    font_.Underline = record.Underline;
    font_.Italic = record.Italic;
    font_.StrikeOut = record.StrikeOut;
    font_.Subscript = record.Subscript;
    font_.Superscript = record.Superscript;
    font_.Rotation = record.Rotation;
    font_.Align = record.Align;
    fontSetterDone();
}

bool TBaseReport::PushFont()
{
    if (inTabText_)
        return true;
    fontStack_.push_back(font_);
    return true;
}

bool TBaseReport::PopFont()
{
    if (inTabText_)
        return true;
    if (fontStack_.empty())
        return false;
    const TFontRecord record = fontStack_.back();
    fontStack_.pop_back();
    ApplyFontRecord(record);
    return true;
}

bool TBaseReport::SaveFont(int slot)
{
    if (slot < 1 || slot > 10)
        return false;
    fontSlots_[size_t(slot - 1)] = font_;
    return true;
}

bool TBaseReport::RestoreFont(int slot)
{
    if (slot < 1 || slot > 10)
        return false;
    ApplyFontRecord(fontSlots_[size_t(slot - 1)]);
    return true;
}

void TBaseReport::RealizeFont()
{
    TReportCanvas* canvas = ActiveCanvas();
    TDrawingContext* dc = canvas ? canvas->Handle() : nullptr;
    if (!dc)
        return;
    TLogFont key;
    double height = font_.Height;
    if (font_.Superscript || font_.Subscript)
        height /= 1.667;
    key.Height = -int(std::lround(dpiY_ * height * scaleY_ * zoom_ / 10000));
    key.Width = int(std::lround(dpiX_ * font_.Width * scaleX_ * zoom_ / 10000));
    key.Escapement = font_.Rotation * 10;
    key.Weight = font_.Bold ? 700 : 400;
    key.Italic = font_.Italic;
    key.Underline = font_.Underline;
    key.StrikeOut = font_.StrikeOut;
    key.CharSet = font_.CharSet;
    key.PitchAndFamily = font_.Pitch == 1 ? VARIABLE_PITCH : font_.Pitch == 2 ? FIXED_PITCH : 0;
    key.FaceName = font_.Name;

    if (fontDirty_ || !haveRealised_ || fontCache_.empty() || !(fontCache_.front().Key == key)) {
        fontDirty_ = false;
        auto hit = std::find_if(fontCache_.begin(), fontCache_.end(),
                                [&key](const TFontCacheEntry& e) { return e.Key == key; });
        if (hit != fontCache_.end()) {
            font_.CacheIndex = std::int16_t(hit - fontCache_.begin());
            std::rotate(fontCache_.begin(), hit, hit + 1);
        } else {
            TFontCacheEntry entry;
            entry.Key = key;
            entry.Realised = key;
            if (key.CharSet == DEFAULT_CHARSET) {
                const std::vector<std::uint8_t> sets = dc->FaceCharsets(key.FaceName);
                if (!sets.empty() && std::all_of(sets.begin(), sets.end(), [&](auto c) { return c == sets[0]; }))
                    entry.Realised.CharSet = sets[0];
            }
            dc->SelectFont(entry.Realised);
            entry.Metric = dc->GetTextMetrics();
            font_.CacheIndex = std::int16_t(fontCache_.size());
            fontCache_.insert(fontCache_.begin(), entry);
        }
        realised_ = fontCache_.front().Realised;
        const TTextMetric& m = fontCache_.front().Metric;
        const double toInches = 10000.0 / (dpiY_ * scaleY_ * zoom_);
        const double part = font_.Superscript || font_.Subscript ? 0.5 : 1.0;
        font_.Ascent = m.Ascent * toInches * part;
        font_.Descent = m.Descent * toInches * part;
        font_.InternalLeading = m.InternalLeading * toInches * part;
        haveRealised_ = true;
    }
    dc->SelectFont(realised_);
    // A two-colour printer prints every colour but white in black.
    TColor color = ColorToRGB(font_.Color);
    if (Destination() == dkPrinter && dc->GetDeviceCaps(NUMCOLORS) == 2 && color != clWhite)
        color = clBlack;
    dc->SetTextColor(color);
}

TPixelSize TBaseReport::GetTextExtent(const std::string& text)
{
    if (text.empty())
        return {};
    RealizeFont();
    TReportCanvas* canvas = ActiveCanvas();
    TDrawingContext* dc = canvas ? canvas->Handle() : nullptr;
    return dc ? dc->GetTextExtent(text) : TPixelSize{};
}

// ---- text

double TBaseReport::TextWidth(const std::string& text)
{
    CheckPrinting();
    int pixels;
    if (text.find('\x01') != std::string::npos) {
        ++measuring_;
        try {
            pixels = FormattedWidth(*this, text);
        } catch (...) {
            --measuring_;
            throw;
        }
        --measuring_;
    } else {
        pixels = std::max(1, GetTextExtent(text).cx);
    }
    return InchesToUnitsX(pixels * 10000.0 / (dpiX_ * scaleX_ * zoom_));
}

void TBaseReport::AdvanceCursor(unsigned align, double x, const std::string& text)
{
    cursorX_ = x;
    if (align == TA_RIGHT)
        return;
    double w = UnitsToInchesX(TextWidth(text));
    if (align == TA_CENTER)
        w /= 2;
    if (font_.Rotation == 0) {
        cursorX_ += w;
        return;
    }
    const double r = font_.Rotation * std::numbers::pi / 180;
    cursorX_ += std::cos(r) * w;
    cursorY_ -= std::sin(r) * w * scaleX_ / scaleY_;
}

void TBaseReport::PrintJustify(const std::string& text, TTextJustify justify, double width, double margin, double x)
{
    CheckPrinting();
    switch (justify) {
    case pjCenter: PrintCenterInch(text, x + width / 2); break;
    case pjRight: PrintRightInch(text, x + width - margin); break;
    case pjBlock: PrintBlockInch(text, x + margin, width - 2 * margin); break;
    case pjLeft:
    default: {
        if (text.find('\t') == std::string::npos) {
            PrintLeftInch(text, x + margin);
            break;
        }
        inTabText_ = true;
        double pos = x + margin;
        size_t start = 0;
        try {
            for (size_t tab = text.find('\t'); tab != std::string::npos; tab = text.find('\t', start)) {
                PrintLeftInch(text.substr(start, tab - start), pos);
                start = tab + 1;
                pos = cursorX_;
                if (defaultTabWidth_ > 0) {
                    const double n = std::trunc((pos - x + 0.001) / defaultTabWidth_) + 1;
                    pos = x + n * defaultTabWidth_;
                }
            }
            PrintLeftInch(text.substr(start), pos);
        } catch (...) {
            inTabText_ = false;
            throw;
        }
        inTabText_ = false;
    }
    }
}

void TBaseReport::printPiece(const std::string& piece)
{
    if (tabPending_ && currentTab_ >= 0) {
        const TTabStopRec cell = (*tabs_)[size_t(currentTab_)];
        tabPending_ = false;
        if (piece.empty())
            return;
        const TTextJustify justify = JustifyOverride < 4 ? TTextJustify(JustifyOverride) : cell.Justify;
        PrintJustify(piece, justify, cell.Width, cell.Margin, cell.X + (columnNum_ - 1) * columnPitch_);
    } else if (!piece.empty()) {
        PrintJustify(piece, pjLeft, 0, 0, cursorX_);
    }
}

void TBaseReport::Print(const std::string& text)
{
    CheckPrinting();
    size_t start = 0;
    for (size_t tab = text.find('\t'); tab != std::string::npos; tab = text.find('\t', start)) {
        printPiece(text.substr(start, tab - start));
        Tab();
        start = tab + 1;
    }
    printPiece(text.substr(start));
}

void TBaseReport::PrintLn(const std::string& text)
{
    Print(text);
    NewLine();
}

void TBaseReport::PrintLeft(const std::string& text, double x)
{
    PrintJustify(text, pjLeft, 0, 0, UnitsToInchesX(x));
}

void TBaseReport::PrintCenter(const std::string& text, double x)
{
    PrintJustify(text, pjCenter, 0, 0, UnitsToInchesX(x));
}

void TBaseReport::PrintRight(const std::string& text, double x)
{
    PrintJustify(text, pjRight, 0, 0, UnitsToInchesX(x));
}

void TBaseReport::PrintHeaderLine(const std::string& text, TTextJustify justify)
{
    CheckPrinting();
    UpdateLineHeight();
    cursorX_ = ColumnStartX();
    cursorY_ = sectionTop_ + lineHeight_ - descentPart_;
    PrintJustify(text, justify, sectionRight_ - sectionLeft_, 0, sectionLeft_);
}

void TBaseReport::PrintFooterLine(const std::string& text, TTextJustify justify)
{
    CheckPrinting();
    UpdateLineHeight();
    cursorX_ = ColumnStartX();
    cursorY_ = sectionBottom_ - descentPart_;
    PrintJustify(text, justify, sectionRight_ - sectionLeft_, 0, sectionLeft_);
}

bool HasMacroToken(const std::string& text)
{
    return text.find("\xFD$RPC") != std::string::npos;
}

void TBaseReport::PrintTruncated(const std::string& text)
{
    CheckPrinting();
    Tab();
    std::string shown = text;
    const TTabStopRec* cell = GetTab(0);
    if (cell && cell->Width > 0 && !HasMacroToken(text)) {
        const double inner = InchesToUnitsX(cell->Width - 2 * cell->Margin);
        while (!shown.empty() && TextWidth(shown) > inner)
            shown.pop_back();
    }
    printPiece(shown);
}

void TBaseReport::SetPen(TColor color, TPenStyle style, int width, TPenMode mode)
{
    int pixels = width;
    if (width < 0) {
        const double inches = width >= -10000 ? -width / 100.0 : -(width + 10000) / 10000.0;
        pixels = std::max(1, int(std::lround(inches * dpiX_ * scaleX_ * zoom_ / 10000)));
    }
    GetCanvas().SetPen({color, style, pixels, mode});
}

void TBaseReport::SetBrush(TColor color, TBrushStyle style, std::shared_ptr<const TReportGraphic> bitmap)
{
    TReportCanvas& canvas = GetCanvas();
    TBrushData brush = canvas.Brush();
    brush.Color = color;
    brush.Style = style;
    if (bitmap)
        brush.Bitmap = std::move(bitmap);
    canvas.SetBrush(brush);
}

void TBaseReport::SetBkColor(TColor color)
{
    if (printing_)
        GetCanvas().SetBkColor(color);
}

TColor TBaseReport::GetBkColor()
{
    return printing_ ? GetCanvas().BkColor() : clWhite;
}

void TBaseReport::PrintWith(TRPPrintable& printable, double a, double b)
{
    printable.SetReport(this);
    printable.Print(a, b);
}

} // namespace korval
