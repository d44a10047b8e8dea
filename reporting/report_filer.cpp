#include "reporting/report_filer.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "reporting/inline_codes.h"
#include "reporting/report_strings.h"

namespace korval {

namespace {

constexpr int kGraphicSlots = 10;

// A file written whole next to its final name and renamed over it.
bool saveFile(const std::string& path, const std::string& data)
{
    const std::string temp = path + ".~new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(data.data(), std::streamsize(data.size()));
        out.flush();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// A new, empty file from a mkstemp template; the template becomes its name.
bool makeUniqueFile(std::string& path)
{
    const int fd = mkstemp(path.data());
    if (fd < 0)
        return false;
    close(fd);
    return true;
}

} // namespace

TReportFiler::TReportFiler(TRPDevice& device) : TBaseReport(device) {}

TReportFiler::~TReportFiler()
{
    detachCanvas();
    if (Printing())
        DetachFontChange();
    file_.reset();
    if (!tempPath_.empty())
        std::remove(tempPath_.c_str());
}

TReportCanvas* TReportFiler::ActiveCanvas()
{
    if (device_.HasPrinters())
        return &device_.GetCanvas();
    return OwnerCanvas;
}

void TReportFiler::ReadDeviceMetrics()
{
    TBaseReport::ReadDeviceMetrics();
    if (device_.HasPrinters() || !OwnerCanvas)
        return;
    if (TDrawingContext* dc = OwnerCanvas->Handle()) {
        SetDpi(dc->GetDeviceCaps(LOGPIXELSX), dc->GetDeviceCaps(LOGPIXELSY));
        ApplyMargins();
    }
}

std::string TReportFiler::DeviceNameText() const
{
    if (!device_.HasPrinters())
        return "Preview Only";
    return TBaseReport::DeviceNameText();
}

// ---- writing primitives

bool TReportFiler::writing()
{
    return Printing() && pageOpen_ && !Aborted() && ownMeasuring_ == 0 && !Measuring() && !ShouldSkip();
}

void TReportFiler::begin(std::uint8_t op)
{
    out_.Byte(op);
}

void TReportFiler::done()
{
    ProcessReportMessages();
}

void TReportFiler::point(double x, double y)
{
    out_.Point((UnitsToInchesX(x) + OriginXInch()) * GetScaleX() / 100,
               (UnitsToInchesY(y) + OriginYInch()) * GetScaleY() / 100);
}

void TReportFiler::pixelPoint(const TPixelPoint& p)
{
    out_.Point((PixelsToInchesX(p.X) + OriginXInch()) * GetScaleX() / 100,
               (PixelsToInchesY(p.Y) + OriginYInch()) * GetScaleY() / 100);
}

void TReportFiler::fourPoints(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                              double y4)
{
    point(x1, y1);
    point(x2, y2);
    point(x3, y3);
    point(x4, y4);
}

void TReportFiler::pointList(const std::vector<TPixelPoint>& points)
{
    out_.Word(std::uint16_t(points.size() - 1));
    for (const TPixelPoint& p : points)
        pixelPoint(p);
}

void TReportFiler::pixelRect(const TPixelRect& rect)
{
    pixelPoint({rect.Left, rect.Top});
    pixelPoint({rect.Right, rect.Bottom});
}

void TReportFiler::graphic(const TReportGraphic& g)
{
    const std::int64_t reference = reuse_ > 0 && graphics_[size_t(reuse_)] > 0 ? graphics_[size_t(reuse_)] : -1;
    lastGraphic_ = out_.Graphic(g, reference);
    reuse_ = 0;
}

std::string TReportFiler::readRest(std::istream& in, std::int64_t count)
{
    std::string data;
    char block[4096];
    while (count <= 0 || std::int64_t(data.size()) < count) {
        std::streamsize want = sizeof block;
        if (count > 0)
            want = std::min<std::streamsize>(want, std::streamsize(count - std::int64_t(data.size())));
        in.read(block, want);
        const std::streamsize got = in.gcount();
        data.append(block, size_t(got));
        if (got < want)
            break;
    }
    in.clear(in.rdstate() & ~(std::ios::failbit | std::ios::eofbit));
    return data;
}

// ---- state

float TReportFiler::fontHeightField() const
{
    // The stream holds what the player draws: the font at the report's vertical scale.
    return float(BaseFont().Height * GetScaleY() / 100);
}

float TReportFiler::sampleWidthField()
{
    ++ownMeasuring_;
    const int pixels = GetTextExtent(kFontSample).cx;
    --ownMeasuring_;
    return float(double(pixels) / DpiX() * 100 / GetZoom());
}

template <class Value, class Write>
void TReportFiler::emitChanged(bool all, std::uint8_t op, const Value& value, const Value& last, Write write)
{
    if (all || value != last) {
        begin(op);
        write();
    }
}

void TReportFiler::emitBrush(bool all)
{
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas)
        return;
    const TBrushData& b = canvas->Brush();
    TBrushData& w = written_.Brush;
    emitChanged(all, opBrushColor, b.Color, w.Color, [&] { out_.Integer(std::int32_t(b.Color)); });
    emitChanged(all, opBrushStyle, b.Style, w.Style, [&] { out_.Byte(b.Style); });
    // A new picture is a change even when there was one before.
    if (all || b.Bitmap != w.Bitmap) {
        const bool has = b.Bitmap && !b.Bitmap->Empty();
        begin(opBrushBitmap);
        out_.Byte(has ? 1 : 0);
        if (has)
            graphic(*b.Bitmap);
    }
    w = b;
}

void TReportFiler::emitFont(bool all)
{
    const TFontRecord& f = BaseFont();
    TFontRecord& w = written_.Font;
    emitChanged(all, opFontName, f.Name, w.Name, [&] { out_.String(f.Name); });
    emitChanged(all, opFontColor, f.Color, w.Color, [&] { out_.Integer(std::int32_t(f.Color)); });
    auto flag = [this, all](std::uint8_t op, std::uint8_t value, std::uint8_t last) {
        emitChanged(all, op, value, last, [&] { out_.Byte(value); });
    };
    flag(opFontPitch, f.Pitch, w.Pitch);
    flag(opFontCharset, f.CharSet, w.CharSet);
    flag(opBold, f.Bold, w.Bold);
    flag(opItalic, f.Italic, w.Italic);
    flag(opUnderline, f.Underline, w.Underline);
    flag(opStrikeOut, f.StrikeOut, w.StrikeOut);
    flag(opSuperscript, f.Superscript, w.Superscript);
    flag(opSubscript, f.Subscript, w.Subscript);
    emitChanged(all, opFontRotation, f.Rotation, w.Rotation, [&] { out_.Word(std::uint16_t(f.Rotation)); });
    flag(opFontAlign, f.Align, w.Align);
    const float height = fontHeightField();
    if (all || height != written_.FontHeight) {
        begin(opFontHeight);
        out_.Float(height);
        out_.Float(sampleWidthField());
    }
    w = f;
    written_.FontHeight = height;
}

void TReportFiler::emitPen(bool all)
{
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas)
        return;
    const TPenData& p = canvas->Pen();
    TPenData& w = written_.Pen;
    emitChanged(all, opPenColor, p.Color, w.Color, [&] { out_.Integer(std::int32_t(p.Color)); });
    emitChanged(all, opPenMode, p.Mode, w.Mode, [&] { out_.Byte(p.Mode); });
    emitChanged(all, opPenStyle, p.Style, w.Style, [&] { out_.Byte(p.Style); });
    emitChanged(all, opPenWidth, p.Width, w.Width, [&] { out_.Float(double(p.Width) / DpiX()); });
    w = p;
}

void TReportFiler::emitDestination(std::uint8_t op)
{
    currentDest_ = op;
    if (!writing() || op == written_.Destination)
        return;
    begin(op);
    written_.Destination = op;
    done();
}

void TReportFiler::FontChanged()
{
    if (writing())
        emitFont(false);
}

void TReportFiler::attachCanvas()
{
    TReportCanvas* canvas = ActiveCanvas();
    if (!canvas || hooked_)
        return;
    hooked_ = canvas;
    previousPen_ = canvas->OnPenChange;
    previousBrush_ = canvas->OnBrushChange;
    canvas->OnPenChange = [this] {
        if (previousPen_)
            previousPen_();
        if (writing())
            emitPen(false);
    };
    canvas->OnBrushChange = [this] {
        if (previousBrush_)
            previousBrush_();
        if (writing())
            emitBrush(false);
    };
}

void TReportFiler::detachCanvas()
{
    if (!hooked_)
        return;
    hooked_->OnPenChange = previousPen_;
    hooked_->OnBrushChange = previousBrush_;
    previousPen_ = previousBrush_ = nullptr;
    hooked_ = nullptr;
}

// ---- document and pages

bool TReportFiler::openStream()
{
    inMemory_ = false;
    file_.reset();
    tempPath_.clear();
    length_ = 0;
    switch (StreamMode) {
    case smMemory:
        inMemory_ = true;
        out_.Attach(&memory_);
        return true;
    case smUser:
        Stream->clear();
        out_.Attach(Stream);
        return true;
    case smFile:
    case smTempFile: {
        std::string path;
        if (StreamMode == smFile) {
            // Written beside the file and renamed over it when complete.
            path = FileName + ".XXXXXX";
        } else {
            path = (std::filesystem::temp_directory_path() / "RPXXXXXX").string();
        }
        if (!makeUniqueFile(path)) {
            ShowReportError(ReportText("Error initializing stream ") + "\"" +
                            (StreamMode == smFile ? FileName : path) + "\"");
            return false;
        }
        file_ = std::make_unique<std::fstream>(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
        if (!*file_) {
            file_.reset();
            std::remove(path.c_str());
            ShowReportError(ReportText("Error initializing stream ") + "\"" + FileName + "\"");
            return false;
        }
        if (StreamMode == smTempFile)
            FileName = path;
        else
            tempPath_ = path;
        out_.Attach(file_.get());
        return true;
    }
    }
    return false;
}

void TReportFiler::writeHeader()
{
    begin(kStreamHeaderCode);
    out_.Word(kStreamVersion);
    out_.String(Title);
    pageCountPos_ = out_.Position();
    out_.Word(0);
    out_.Word(std::uint16_t(FirstPage));
    out_.Word(std::uint16_t(LastPage));
    out_.Float(UnitsToInchesX(GetPageWidth()));
    out_.Float(UnitsToInchesY(GetPageHeight()));
    out_.Float(UnitsToInchesX(GetUnprintableLeft()));
    out_.Float(UnitsToInchesX(GetUnprintableRight()));
    out_.Float(UnitsToInchesY(GetUnprintableTop()));
    out_.Float(UnitsToInchesY(GetUnprintableBottom()));
    const TDevMode* dm = device_.HasPrinters() ? device_.GetDevMode() : nullptr;
    out_.Byte(std::uint8_t(dm ? device_.GetOrientation() : 0));
    if (dm) {
        out_.Word(std::uint16_t(dm->dmDefaultSource));
        out_.Byte(device_.GetCollate() ? 1 : 0);
        out_.Byte(std::uint8_t(device_.GetDuplex()));
        out_.Word(std::uint16_t(dm->dmCopies));
        out_.Word(std::uint16_t(dm->dmPaperSize));
        out_.Word(std::uint16_t(dm->dmPaperWidth));
        out_.Word(std::uint16_t(dm->dmPaperLength));
    } else {
        out_.Word(265);
        out_.Byte(0);
        out_.Byte(0);
        out_.Word(1);
        out_.Word(1);
        out_.Word(0);
        out_.Word(0);
    }
    out_.String(OutputFile());
}

void TReportFiler::BeginDoc()
{
    CheckNotPrinting();
    if (!device_.HasPrinters() && !OwnerCanvas)
        RaiseReportText("TReportFiler.Owner must be a TForm if no printers are defined.");
    if (StreamMode == smUser && !Stream)
        RaiseReportText("StreamMode is smUser but Stream is nil");
    if (!openStream())
        return;
    OpenDocument(nullptr);
    attachCanvas();
    writeHeader();
    pagesWritten_ = 0;
    pagePos_ = lastPagePos_ = previousOfOpen_ = 0;
    pageOpen_ = false;
    graphics_.fill(0);
    lastGraphic_ = -1;
    reuse_ = 0;
    named_.clear();
    written_ = {};
    currentDest_ = opAllOutput;
    written_.Destination = opAllOutput;
    BeginFirstPage();
}

void TReportFiler::StartPageOutput()
{
    pageOpen_ = false;
    if (!Printing() || Aborted() || ShouldSkip())
        return;
    out_.Flush();
    const std::int64_t at = out_.Position();
    if (lastPagePos_ > 0)
        out_.PatchInteger(lastPagePos_ + 5, std::int32_t(at));
    begin(kStreamPageCode);
    out_.Integer(std::int32_t(lastPagePos_));
    out_.Integer(0);
    out_.Word(std::uint16_t(++pagesWritten_));
    out_.Float(UnitsToInchesX(GetPageWidth()));
    out_.Float(UnitsToInchesY(GetPageHeight()));
    previousOfOpen_ = lastPagePos_;
    pagePos_ = lastPagePos_ = at;
    pageOpen_ = true;

    emitBrush(true);
    emitFont(true);
    emitPen(true);
    begin(opScaleX);
    out_.Float(GetScaleX());
    begin(opScaleY);
    out_.Float(GetScaleY());
    begin(opTextBKMode);
    out_.Byte(GetTextBKMode());
    begin(opBkColor);
    out_.Integer(std::int32_t(ActiveCanvas() ? ActiveCanvas()->BkColor() : clWhite));
    for (const TNamedEntry& entry : named_) {
        begin(opNamedString);
        out_.String(entry.Name);
        out_.Byte(4);
        out_.Byte(kNamedReference);
        out_.Integer(std::int32_t(entry.Position));
    }
    // An output choice made while pages were skipped still holds for this one.
    if (currentDest_ != written_.Destination)
        emitDestination(currentDest_);
}

void TReportFiler::EndPageOutput()
{
    if (!pageOpen_)
        return;
    begin(opEndPage);
    pageOpen_ = false;
}

void TReportFiler::AbortPage()
{
    const bool discard = pageOpen_ && !SkipOutput();
    TBaseReport::AbortPage();
    if (!discard)
        return;
    out_.Flush();
    // Nothing may point into the page that is written over.
    for (auto& position : graphics_)
        if (position >= pagePos_)
            position = 0;
    if (lastGraphic_ >= pagePos_)
        lastGraphic_ = -1;
    std::erase_if(named_, [this](const TNamedEntry& e) { return std::abs(e.Position) >= pagePos_; });
    if (previousOfOpen_ > 0)
        out_.PatchInteger(previousOfOpen_ + 5, 0);
    out_.Rewind(pagePos_);
    --pagesWritten_;
    lastPagePos_ = previousOfOpen_;
    pageOpen_ = false;
}

void TReportFiler::closeStream()
{
    out_.Flush();
    const std::int64_t high = out_.HighWater();
    out_.Detach();
    if (file_) {
        file_->flush();
        const bool ok = bool(*file_);
        file_.reset();
        const std::string path = StreamMode == smFile ? tempPath_ : FileName;
        std::error_code ec;
        if (ok && high > length_)
            std::filesystem::resize_file(path, std::uintmax_t(length_), ec);
        if (!ok || ec) {
            if (StreamMode == smFile)
                std::remove(tempPath_.c_str());
            tempPath_.clear();
            ShowReportError("Error writing stream \"" + FileName + "\"");
            return;
        }
        if (StreamMode == smFile) {
            if (std::rename(tempPath_.c_str(), FileName.c_str()) != 0) {
                std::remove(tempPath_.c_str());
                ShowReportError("Error writing stream \"" + FileName + "\"");
            }
            tempPath_.clear();
        }
    } else if (inMemory_ && !FileName.empty()) {
        if (!saveFile(FileName, MemoryData()))
            ShowReportError("Error writing stream \"" + FileName + "\"");
    }
}

void TReportFiler::EndDoc()
{
    CheckPrinting();
    FinishLastPage();
    // The last page is closed even after an abort, so that the stream stays whole.
    EndPageOutput();
    out_.PatchWord(pageCountPos_, std::uint16_t(pagesWritten_));
    out_.Flush();
    length_ = out_.Position();
    detachCanvas();
    ReleaseDocument();
    closeStream();
    SetPrinting(false);
    DoAfterPrint();
}

// ---- text

void TReportFiler::text(std::uint8_t op, const std::string& value, double x, double width)
{
    begin(op);
    out_.Float((CursorYInch() + OriginYInch()) * GetScaleY() / 100);
    out_.String(value);
    out_.Float((x + OriginXInch()) * GetScaleX() / 100);
    if (op == opTextBlock)
        out_.Float(width * GetScaleX() / 100);
}

void TReportFiler::alignedText(unsigned align, const std::string& value, double x)
{
    CheckPrinting();
    if (!writing())
        return;
    const bool coded = value.find(kCodeOpen) != std::string::npos;
    if (AccuracyMethod == amPositioning && value.find(' ') != std::string::npos && !coded &&
        !HasMacroToken(value) && BaseFont().Rotation == 0) {
        const double width = UnitsToInchesX(TextWidth(value));
        const double left = align == TA_CENTER ? x - width / 2 : align == TA_RIGHT ? x - width : x;
        text(opTextBlock, value, left, width);
    } else {
        text(align == TA_CENTER ? opCenterText : align == TA_RIGHT ? opRightText : opLeftText, value, x, 0);
    }
    AdvanceCursor(align, x, value);
    // The player leaves the text's font changes in force; so does the writer.
    if (coded) {
        size_t pos = 0;
        std::string piece;
        while (pos < value.size())
            NextPieceApply(*this, value, pos, piece);
    }
    done();
}

void TReportFiler::PrintCenterInch(const std::string& value, double x)
{
    alignedText(TA_CENTER, value, x);
}

void TReportFiler::PrintLeftInch(const std::string& value, double x)
{
    alignedText(TA_LEFT, value, x);
}

void TReportFiler::PrintRightInch(const std::string& value, double x)
{
    alignedText(TA_RIGHT, value, x);
}

void TReportFiler::PrintBlockInch(const std::string& value, double x, double width)
{
    CheckPrinting();
    if (!writing())
        return;
    text(opTextBlock, value, x, width);
    done();
}

void TReportFiler::TextRect(const TPixelRect& rect, double x, double y, const std::string& value)
{
    CheckPrinting();
    if (!writing())
        return;
    begin(opTextRect);
    pixelRect(rect);
    point(x, y);
    out_.String(value);
    done();
}

// ---- settings

template <class Write>
void TReportFiler::writeIfWriting(std::uint8_t op, Write write)
{
    if (!writing())
        return;
    begin(op);
    write();
    done();
}

void TReportFiler::SetDrawMode(std::uint8_t mode)
{
    TBaseReport::SetDrawMode(mode);
    writeIfWriting(opDrawMode, [&] { out_.Byte(mode); });
}

void TReportFiler::SetBkColor(TColor color)
{
    TBaseReport::SetBkColor(color);
    writeIfWriting(opBkColor, [&] { out_.Integer(std::int32_t(color)); });
}

void TReportFiler::SetScaleX(double percent)
{
    TBaseReport::SetScaleX(percent);
    writeIfWriting(opScaleX, [&] { out_.Float(percent); });
}

void TReportFiler::SetScaleY(double percent)
{
    TBaseReport::SetScaleY(percent);
    writeIfWriting(opScaleY, [&] { out_.Float(percent); });
}

void TReportFiler::SetTextBKMode(TBKMode mode)
{
    TBaseReport::SetTextBKMode(mode);
    writeIfWriting(opTextBKMode, [&] { out_.Byte(mode); });
}

void TReportFiler::SetOrientation(TOrientation orientation)
{
    if (orientation != poDefault && writing()) {
        begin(opOrientation);
        out_.Byte(orientation);
    }
    TBaseReport::SetOrientation(orientation);
}

void TReportFiler::UpdateLineHeight()
{
    TBaseReport::UpdateLineHeight();
    if (!writing())
        return;
    // Vertical lengths, scaled like every position of the stream.
    const double scale = GetScaleY() / 100;
    begin(opLineMetrics);
    out_.Float(AscentPart() * scale);
    out_.Float(DescentPart() * scale);
    out_.Float(LineHeightInch() * scale);
}

void TReportFiler::PreviewOutputOnly()
{
    TBaseReport::PreviewOutputOnly();
    emitDestination(opPreviewOnly);
}

void TReportFiler::PrinterOutputOnly()
{
    TBaseReport::PrinterOutputOnly();
    emitDestination(opPrinterOnly);
}

void TReportFiler::AllOutput()
{
    TBaseReport::AllOutput();
    emitDestination(opAllOutput);
}

// ---- shapes

void TReportFiler::TabRectangle(double x1, double y1, double x2, double y2)
{
    record(opTabRectangle, [&] {
        point(x1, y1);
        point(x2, y2);
    });
}

void TReportFiler::Arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    record(opArc, [&] { fourPoints(x1, y1, x2, y2, x3, y3, x4, y4); });
}

void TReportFiler::Chord(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    record(opChord, [&] { fourPoints(x1, y1, x2, y2, x3, y3, x4, y4); });
}

void TReportFiler::Pie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4)
{
    record(opPie, [&] { fourPoints(x1, y1, x2, y2, x3, y3, x4, y4); });
}

void TReportFiler::Ellipse(double x1, double y1, double x2, double y2)
{
    record(opEllipse, [&] {
        point(x1, y1);
        point(x2, y2);
    });
}

void TReportFiler::Rectangle(double x1, double y1, double x2, double y2)
{
    record(opRectangle, [&] {
        point(x1, y1);
        point(x2, y2);
    });
}

void TReportFiler::RoundRect(double x1, double y1, double x2, double y2, double x3, double y3)
{
    record(opRoundRect, [&] {
        point(x1, y1);
        point(x2, y2);
        out_.Float(UnitsToInchesX(x3));
        out_.Float(UnitsToInchesY(y3));
    });
}

void TReportFiler::BrushCopy(const TPixelRect& dest, const TReportGraphic& bitmap, const TPixelRect& source,
                             TColor color)
{
    record(opBrushCopy, [&] {
        graphic(bitmap);
        pixelRect(dest);
        pixelRect(source);
        out_.Integer(std::int32_t(color));
    });
}

void TReportFiler::CopyRect(const TPixelRect&, TReportCanvas&, const TPixelRect&)
{
    RaiseReportText("CopyRect() not supported in file mode.");
}

void TReportFiler::Draw(double x, double y, const TReportGraphic& g)
{
    record(opDraw, [&] {
        graphic(g);
        point(x, y);
    });
}

void TReportFiler::DrawFocusRect(const TPixelRect& rect)
{
    record(opDrawFocusRect, [&] { pixelRect(rect); });
}

void TReportFiler::FillRect(const TPixelRect& rect)
{
    record(opFillRect, [&] { pixelRect(rect); });
}

void TReportFiler::FrameRect(const TPixelRect& rect)
{
    record(opFrameRect, [&] { pixelRect(rect); });
}

void TReportFiler::FloodFill(double x, double y, TColor color, TFillStyle style)
{
    record(opFloodFill, [&] {
        point(x, y);
        out_.Integer(std::int32_t(color));
        out_.Integer(style);
    });
}

void TReportFiler::StretchDraw(const TPixelRect& rect, const TReportGraphic& g)
{
    record(opStretchDraw, [&] {
        graphic(g);
        pixelRect(rect);
    });
}

void TReportFiler::Polygon(const std::vector<TPixelPoint>& points)
{
    if (!points.empty())
        record(opPolygon, [&] { pointList(points); });
}

void TReportFiler::Polyline(const std::vector<TPixelPoint>& points)
{
    if (!points.empty())
        record(opPolyline, [&] { pointList(points); });
}

void TReportFiler::PrintBitmap(double x, double y, double scaleX, double scaleY, const TReportGraphic& bitmap)
{
    record(opBitmapMethod, [&] {
        out_.Byte(BitmapMethod);
        begin(opPrintBitmap);
        graphic(bitmap);
        point(x, y);
        out_.Float(scaleX);
        out_.Float(scaleY);
    });
}

void TReportFiler::PrintBitmapRect(double x1, double y1, double x2, double y2, const TReportGraphic& bitmap)
{
    record(opBitmapMethod, [&] {
        out_.Byte(BitmapMethod);
        begin(opPrintBitmapRect);
        graphic(bitmap);
        point(x1, y1);
        point(x2, y2);
    });
}

void TReportFiler::PrintImageRect(double x1, double y1, double x2, double y2, std::istream& imageStream,
                                  const std::string& imageType)
{
    record(opBitmapMethod, [&] {
        const std::string data = readRest(imageStream, 0);
        out_.Byte(BitmapMethod);
        begin(opImageRect);
        out_.Integer(std::int32_t(data.size()));
        out_.Bytes(data);
        out_.String(imageType);
        point(x1, y1);
        point(x2, y2);
    });
}

void TReportFiler::PrintData(const std::string& value)
{
    record(opPrintData, [&] { out_.String(value); });
}

void TReportFiler::PrintDataStream(std::istream& stream, std::int64_t count)
{
    record(opPrintDataStream, [&] {
        const std::string data = readRest(stream, count);
        out_.Integer(std::int32_t(data.size()));
        out_.Bytes(data);
    });
}

void TReportFiler::DeviceCommand(const std::string& command)
{
    record(opDeviceCommand, [&] { out_.String(command); });
}

void TReportFiler::MoveTo(double x, double y)
{
    CheckPrinting();
    if (!writing())
        return;
    const double xi = UnitsToInchesX(x) + OriginXInch(), yi = UnitsToInchesY(y) + OriginYInch();
    LineBuffer().MoveTo(xi, yi);
    if (!LineBuffer().Enabled()) {
        begin(opMoveTo);
        out_.Point(xi * GetScaleX() / 100, yi * GetScaleY() / 100);
    }
    done();
}

void TReportFiler::LineTo(double x, double y)
{
    CheckPrinting();
    if (!writing())
        return;
    const double xi = UnitsToInchesX(x) + OriginXInch(), yi = UnitsToInchesY(y) + OriginYInch();
    const double fromX = LineBuffer().PenX(), fromY = LineBuffer().PenY();
    const bool buffered = LineBuffer().Enabled();
    if (!LineBuffer().LineTo(xi, yi, GetCanvas().Pen())) {
        if (buffered) {
            begin(opMoveTo);
            out_.Point(fromX * GetScaleX() / 100, fromY * GetScaleY() / 100);
        }
        begin(opLineTo);
        out_.Point(xi * GetScaleX() / 100, yi * GetScaleY() / 100);
    }
    done();
}

// ---- graphics registry

void TReportFiler::checkGraphicIndex(int index, const char* what) const
{
    if (index < 1 || index > kGraphicSlots)
        RaiseReportError(ReportText(std::string(what) + ": Index must be between 1 and ") +
                         std::to_string(kGraphicSlots));
}

void TReportFiler::RegisterGraphic(int index)
{
    checkGraphicIndex(index, "RegisterGraphic");
    graphics_[size_t(index)] = lastGraphic_ > 0 ? lastGraphic_ : 0;
}

void TReportFiler::ReuseGraphic(int index)
{
    checkGraphicIndex(index, "ReuseGraphic");
    reuse_ = index;
}

void TReportFiler::UnregisterGraphic(int index)
{
    checkGraphicIndex(index, "UnregisterGraphic");
    graphics_[size_t(index)] = 0;
    if (reuse_ == index)
        reuse_ = 0;
}

// ---- named strings

TReportFiler::TNamedEntry* TReportFiler::findNamed(const std::string& name)
{
    for (TNamedEntry& entry : named_)
        if (SameText(entry.Name, name))
            return &entry;
    return nullptr;
}

std::string TReportFiler::NamedStringPlaceholder(const std::string& name)
{
    CheckPrinting();
    const std::string token = "\xFD$RPCV\xFC" + name + "\xFB";
    if (!writing())
        return token;
    TNamedEntry* entry = findNamed(name);
    begin(opNamedString);
    out_.String(name);
    const std::int64_t at = out_.Position();
    out_.Byte(kNamedSlotSize);
    out_.Byte(kNamedOpen);
    std::string slot(kNamedSlotSize, '\0');
    slot.replace(0, 4, TStreamWriter::IntegerBytes(std::int32_t(entry ? entry->Position : 0)));
    out_.Bytes(slot);
    if (entry)
        *entry = {entry->Name, at, true};
    else
        named_.push_back({name, at, true});
    done();
    return token;
}

void TReportFiler::SetNamedString(const std::string& name, const std::string& value)
{
    CheckPrinting();
    TNamedEntry* entry = findNamed(name);
    if (entry && entry->Pending) {
        const std::string text = value.substr(0, kNamedSlotSize);
        std::string record;
        record += char(kNamedSlotSize);
        record += char(text.size());
        record += text;
        out_.Patch(entry->Position, record);
        entry->Position = -entry->Position;
        entry->Pending = false;
        return;
    }
    if (!writing())
        return;
    std::string text = value;
    // A length of 254 or 255 would read as a reference or an open slot.
    if (text.size() > kMaxNamedValue) {
        ReportTrace("the value of the named string \"" + name + "\" was cut to " +
                    std::to_string(kMaxNamedValue) + " bytes for the report stream");
        text.resize(kMaxNamedValue);
    }
    begin(opNamedString);
    out_.String(name);
    const std::int64_t at = out_.Position();
    out_.Byte(std::uint8_t(text.size()));
    out_.Byte(std::uint8_t(text.size()));
    out_.Bytes(text);
    if (entry)
        *entry = {entry->Name, at, false};
    else
        named_.push_back({name, at, false});
    done();
}

} // namespace korval
