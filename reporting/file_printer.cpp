#include "reporting/file_printer.h"

#include <cmath>
#include <fstream>
#include <istream>
#include <iterator>
#include <sstream>

#include "reporting/printer_report.h"
#include "reporting/report_stream.h"
#include "reporting/report_strings.h"

namespace korval {

namespace {

// A named string's value may point at another; a chain longer than this is damage.
constexpr int kMaxNamedChain = 16;
// A font beyond this height (inches) or a pen beyond this width cannot come from a report.
constexpr double kLargestFont = 100;
constexpr double kLargestPen = 10;
// Lowering a font to fit its sample width never takes more steps than this.
constexpr int kMaxFitSteps = 1000;

bool readAll(std::istream& in, std::string& out)
{
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

} // namespace

TFilePrinter::TFilePrinter(TRPDevice& device) : TCanvasReport(device)
{
    SetUnits(unInch);
    // Every line of the stream is drawn as it was stored.
    LineBuffer().SetEnabled(false);
}

TFilePrinter::~TFilePrinter() = default;

// ---- the stream

bool TFilePrinter::OpenStream()
{
    if (opened_)
        return true;
    if (StreamMode == smUser) {
        if (!Stream)
            RaiseReportText("StreamMode is smUser but Stream is nil");
        Stream->clear();
        Stream->seekg(0);
        if (!readAll(*Stream, bytes_))
            RaiseReportText(kUnexpectedCode);
        Stream->clear();
    } else {
        std::ifstream file(FileName, std::ios::binary);
        if (!file || !readAll(file, bytes_)) {
            ShowReportError(ReportText("Error initializing input stream ") + "\"" + FileName + "\"");
            return false;
        }
    }
    in_ = TStreamReader(bytes_);
    opened_ = true;
    headerRead_ = false;
    ResetPageLinks();
    return true;
}

void TFilePrinter::CloseStream()
{
    opened_ = false;
    headerRead_ = false;
    bytes_.clear();
    in_ = TStreamReader();
    ResetPageLinks();
}

void TFilePrinter::ResetPageLinks()
{
    pagePos_ = previousPos_ = nextPos_ = bodyPos_ = 0;
    pageNumber_ = 0;
}

int TFilePrinter::PageCount()
{
    if (!OpenStream())
        return 0;
    readHeader();
    return pageCount_;
}

void TFilePrinter::readHeader()
{
    if (headerRead_)
        return;
    const std::int64_t back = in_.Position();
    in_.Seek(0);
    in_.SetVersion(2017);
    switch (in_.Byte()) {
    case 'Q': version_ = 1101; break;
    case 'Y': version_ = 2009; break;
    case 'Z': version_ = in_.Word(); break;
    default: RaiseReportText(kUnexpectedHeader);
    }
    in_.SetVersion(version_);
    title_ = version_ >= 2010 ? in_.String() : std::string();
    pageCount_ = in_.Word();
    in_.Word();  // first and last page of the run that wrote it
    in_.Word();
    pageWidth_ = in_.Float();
    pageHeight_ = in_.Float();
    for (int i = 0; i < 4; ++i)
        in_.Float();  // unprintable strips
    const std::uint8_t orientation = in_.Byte();
    int bin = 0, collate = 0, duplex = 0;
    if (version_ >= 2000) {
        bin = in_.Word();
        collate = in_.Byte();
        duplex = in_.Byte();
    }
    const int copies = in_.Word();
    const int paper = in_.Word();
    const int paperWidth = in_.Word();
    const int paperLength = in_.Word();
    const std::string outputFile = in_.String();
    firstPagePos_ = in_.Position();
    if (orientation > poLandScape)
        TStreamReader::Damaged();
    TotalPages = pageCount_;
    if (AppliesDeviceSettings() && !Printing()) {
        SetOrientation(TOrientation(orientation));
        if (!KeepDeviceSettings && version_ >= 2000) {
            if (TDevMode* dm = device_.GetDevMode(); dm && dm->dmDefaultSource != bin) {
                dm->dmDefaultSource = std::int16_t(bin);
                dm->dmFields |= DM_DEFAULTSOURCE;
                device_.DevModeChanged();
            }
            device_.SetCollate(collate != 0);
            if (duplex <= 2)
                device_.SetDuplex(duplex);
        }
        if (!KeepDeviceSettings && copies > 0)
            device_.SetCopies(copies);
        if (TDevMode* dm = device_.GetDevMode();
            dm && (dm->dmPaperSize != paper || dm->dmPaperWidth != paperWidth || dm->dmPaperLength != paperLength)) {
            dm->dmPaperSize = std::int16_t(paper);
            dm->dmPaperWidth = std::int16_t(paperWidth);
            dm->dmPaperLength = std::int16_t(paperLength);
            dm->dmFields |= DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH;
            device_.DevModeChanged();
        }
        if (!outputFile.empty())
            SetOutputFile(outputFile);
    }
    headerRead_ = true;
    in_.Seek(back);
}

// ---- pages

void TFilePrinter::readPageRecord(std::int64_t at)
{
    in_.Seek(at);
    in_.Expect(kStreamPageCode);
    const std::int32_t previous = in_.Integer();
    const std::int32_t next = in_.Integer();
    const int number = in_.Smallint();
    // Pages follow one another in the stream: a link that does not lead away from this page
    // in its direction is damage (and would let a walk go round for ever).
    if (previous < 0 || previous >= at || (next != 0 && next <= at))
        TStreamReader::Damaged();
    if (version_ >= 2000) {
        pageWidth_ = in_.Float();
        pageHeight_ = in_.Float();
    } else {
        in_.Byte();
    }
    pagePos_ = at;
    previousPos_ = previous;
    nextPos_ = next;
    pageNumber_ = number;
    bodyPos_ = in_.Position();
}

void TFilePrinter::GotoPage(int page)
{
    if (!OpenStream())
        return;
    readHeader();
    if (pagePos_ == 0)
        readPageRecord(firstPagePos_);
    else if (page == pageNumber_)
        readPageRecord(pagePos_);
    while (page < pageNumber_) {
        if (previousPos_ < 1) {
            readPageRecord(pagePos_);
            break;
        }
        readPageRecord(previousPos_);
    }
    while (page > pageNumber_) {
        if (nextPos_ < 1) {
            readPageRecord(pagePos_);
            break;
        }
        readPageRecord(nextPos_);
    }
}

void TFilePrinter::PrintPage(int page)
{
    GotoPage(page);
    if (!opened_)
        return;
    UpdateStatus();
    in_.Seek(bodyPos_);
    while (true) {
        const std::uint8_t op = in_.Byte();
        if (op == opEndPage)
            break;
        play(op);
    }
    if (pendingOrientation_ != 2) {
        SetOrientation(TOrientation(pendingOrientation_));
        pendingOrientation_ = 2;
    }
}

// ---- operands

double TFilePrinter::point(double& y)
{
    const double x = in_.Float();
    y = in_.Float();
    return x;
}

TPixelRect TFilePrinter::rect()
{
    double y1, y2;
    const double x1 = point(y1);
    const double x2 = point(y2);
    return {InchesToPixelsX(x1), InchesToPixelsY(y1), InchesToPixelsX(x2), InchesToPixelsY(y2)};
}

std::vector<TPixelPoint> TFilePrinter::points()
{
    const int n = in_.Word();
    // Each point takes 8 bytes: a count the stream cannot hold is refused before anything is made.
    if (std::int64_t(n + 1) * 8 > in_.Left())
        TStreamReader::Damaged();
    std::vector<TPixelPoint> out;
    out.reserve(size_t(n) + 1);
    for (int i = 0; i <= n; ++i) {
        double y;
        const double x = point(y);
        out.push_back({InchesToPixelsX(x), InchesToPixelsY(y)});
    }
    return out;
}

std::string TFilePrinter::namedValue(int depth)
{
    if (depth > kMaxNamedChain)
        TStreamReader::Damaged();
    const int capacity = in_.Byte();
    const int length = in_.Byte();
    const std::string_view data = in_.Bytes(capacity);
    auto follow = [&](std::int32_t at) -> std::string {
        if (at == 0)
            return {};
        // A slot whose value was set in place is named by its negated position.
        const std::int64_t target = std::llabs(std::int64_t(at));
        const std::int64_t back = in_.Position();
        in_.Seek(target);
        std::string value = namedValue(depth + 1);
        in_.Seek(back);
        return value;
    };
    auto position = [&] {
        if (data.size() < 4)
            TStreamReader::Damaged();
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | std::uint8_t(data[size_t(i)]);
        return std::int32_t(v);
    };
    if (length == kNamedOpen)
        return follow(position());
    if (length == kNamedReference)
        return follow(position());
    if (length > capacity)
        TStreamReader::Damaged();
    return std::string(data.substr(0, size_t(length)));
}

void TFilePrinter::fontHeight(double height, double sample)
{
    if (height < 0 || height > kLargestFont)
        TStreamReader::Damaged();
    SetFontHeight(height);
    if (sample <= 0 || !ActiveCanvas() || !ActiveCanvas()->Handle())
        return;
    auto measure = [this] { return GetTextExtent(kFontSample).cx * 100.0 / (DpiX() * GetZoom()); };
    double width = measure();
    const double step = 1.1 * 10000 / (DpiY() * GetScaleY() * GetZoom());
    double lowered = BaseFont().Height;
    for (int i = 0; i < kMaxFitSteps && width > sample; ++i) {
        lowered -= step;
        if (lowered <= step) {
            SetFontHeight(height);
            return;
        }
        SetFontHeight(lowered);
        const double now = measure();
        if (now >= width) {
            SetFontHeight(height);
            return;
        }
        width = now;
    }
}

// ---- the operations

void TFilePrinter::play(std::uint8_t op)
{
    double y1, y2, y3, y4;
    switch (op) {
    case opArc:
    case opChord:
    case opPie: {
        const double x1 = point(y1), x2 = point(y2), x3 = point(y3), x4 = point(y4);
        if (op == opArc)
            Arc(x1, y1, x2, y2, x3, y3, x4, y4);
        else if (op == opChord)
            Chord(x1, y1, x2, y2, x3, y3, x4, y4);
        else
            Pie(x1, y1, x2, y2, x3, y3, x4, y4);
        break;
    }
    case opBrushCopy: {
        const TReportGraphic g = in_.Graphic();
        const TPixelRect dest = rect();
        const TPixelRect source = rect();
        BrushCopy(dest, g, source, TColor(in_.Integer()));
        break;
    }
    case opCopyRect:
        rect();
        in_.Integer();
        rect();
        break;
    case opDraw: {
        const TReportGraphic g = in_.Graphic();
        const double x = point(y1);
        Draw(x, y1, g);
        break;
    }
    case opDrawFocusRect: DrawFocusRect(rect()); break;
    case opEllipse:
    case opRectangle:
    case opTabRectangle: {
        const double x1 = point(y1), x2 = point(y2);
        if (op == opEllipse)
            Ellipse(x1, y1, x2, y2);
        else if (op == opRectangle)
            Rectangle(x1, y1, x2, y2);
        else
            TabRectangle(x1, y1, x2, y2);
        break;
    }
    case opFillRect: FillRect(rect()); break;
    case opFloodFill: {
        const double x = point(y1);
        const TColor color = TColor(in_.Integer());
        FloodFill(x, y1, color, in_.Integer() == 0 ? fsSurface : fsBorder);
        break;
    }
    case opFrameRect: FrameRect(rect()); break;
    case opLineTo: {
        const double x = point(y1);
        LineTo(x, y1);
        break;
    }
    case opMoveTo: {
        const double x = point(y1);
        MoveTo(x, y1);
        break;
    }
    case opPolygon: Polygon(points()); break;
    case opPolyline: Polyline(points()); break;
    case opPrintBitmap: {
        const TReportGraphic g = in_.Graphic();
        const double x = point(y1);
        const double sx = in_.Float(), sy = in_.Float();
        PrintBitmap(x, y1, sx, sy, g);
        break;
    }
    case opPrintBitmapRect: {
        const TReportGraphic g = in_.Graphic();
        const double x1 = point(y1), x2 = point(y2);
        PrintBitmapRect(x1, y1, x2, y2, g);
        break;
    }
    case opRoundRect: {
        const double x1 = point(y1), x2 = point(y2);
        const double w = in_.Float(), h = in_.Float();
        RoundRect(x1, y1, x2, y2, w, h);
        break;
    }
    case opStretchDraw: {
        const TReportGraphic g = in_.Graphic();
        StretchDraw(rect(), g);
        break;
    }
    case opTextRect: {
        const TPixelRect r = rect();
        const double x = point(y1);
        TextRect(r, x, y1, in_.String());
        break;
    }
    case opCenterText:
    case opLeftText:
    case opRightText: {
        const double y = in_.Float();
        const std::string text = in_.String();
        const double x = in_.Float();
        SetCursorYInch(y);
        if (op == opCenterText)
            PrintCenterInch(text, x);
        else if (op == opLeftText)
            PrintLeftInch(text, x);
        else
            PrintRightInch(text, x);
        break;
    }
    case opTextBlockOld:
    case opTextBlock: {
        const double y = in_.Float();
        const std::string text = in_.String();
        const double x = in_.Float();
        const double width = in_.Float();
        SetCursorYInch(y);
        PrintBlockInch(text, x, width);
        break;
    }
    case opTextBKMode: SetTextBKMode(in_.Byte() ? bkOpaque : bkTransparent); break;
    case opBkColor: SetBkColor(TColor(in_.Integer())); break;
    case opScaleX:
    case opScaleY: in_.Float(); break;
    case opPrintData: PrintData(in_.String()); break;
    case opPrintDataStream: {
        const std::string_view data = in_.Bytes(in_.Integer());
        std::istringstream stream{std::string(data)};
        PrintDataStream(stream, std::int64_t(data.size()));
        break;
    }
    case opBitmapMethod: BitmapMethod = in_.Byte(); break;
    case opDrawMode: SetDrawMode(in_.Byte()); break;
    case opImageRect: {
        std::istringstream image{std::string(in_.Bytes(in_.Integer()))};
        const std::string type = in_.String();
        const double x1 = point(y1), x2 = point(y2);
        PrintImageRect(x1, y1, x2, y2, image, type);
        break;
    }
    case opNamedString: {
        const std::string name = in_.String();
        SetNamedString(name, namedValue(0));
        break;
    }
    case opBrush:
    case opBrushColor:
    case opBrushStyle:
    case opBrushBitmap: {
        TBrushData brush = GetCanvas().Brush();
        if (op == opBrush || op == opBrushColor)
            brush.Color = TColor(in_.Integer());
        if (op == opBrush || op == opBrushStyle)
            brush.Style = TBrushStyle(in_.ByteUpTo(bsDiagCross));
        if (op == opBrush || op == opBrushBitmap) {
            if (in_.Byte())
                brush.Bitmap = std::make_shared<TReportGraphic>(in_.Graphic());
            else
                brush.Bitmap.reset();
        }
        GetCanvas().SetBrush(brush);
        break;
    }
    case opFont: {
        SetFontName(in_.String());
        SetFontColor(TColor(in_.Integer()));
        SetFontPitch(in_.Byte());
        SetFontCharset(version_ >= 2018 ? in_.Byte() : DEFAULT_CHARSET);
        const double height = in_.Float();
        SetBold(in_.Byte());
        SetItalic(in_.Byte());
        SetUnderline(in_.Byte());
        SetStrikeOut(in_.Byte());
        SetFontRotation(version_ >= 2000 ? in_.Word() : 0);
        fontHeight(height, 0);
        break;
    }
    case opFontName: SetFontName(in_.String()); break;
    case opFontColor: SetFontColor(TColor(in_.Integer())); break;
    case opFontPitch: SetFontPitch(in_.Byte()); break;
    case opFontHeight: {
        const double height = in_.Float();
        const double sample = version_ >= 2000 ? in_.Float() : 0;
        fontHeight(height, sample);
        break;
    }
    case opBold: SetBold(in_.Byte()); break;
    case opUnderline: SetUnderline(in_.Byte()); break;
    case opItalic: SetItalic(in_.Byte()); break;
    case opStrikeOut: SetStrikeOut(in_.Byte()); break;
    case opSuperscript: SetSuperscript(in_.Byte()); break;
    case opSubscript: SetSubscript(in_.Byte()); break;
    case opFontRotation: SetFontRotation(in_.Word() % 360); break;
    case opFontAlign: SetFontAlign(in_.Byte()); break;
    case opFontCharset: SetFontCharset(in_.Byte()); break;
    case opPen:
    case opPenColor:
    case opPenMode:
    case opPenStyle:
    case opPenWidth: {
        TPenData pen = GetCanvas().Pen();
        if (op == opPen || op == opPenColor)
            pen.Color = TColor(in_.Integer());
        if (op == opPen || op == opPenMode)
            pen.Mode = TPenMode(in_.ByteUpTo(pmNotXor));
        if (op == opPen || op == opPenStyle) {
            pen.Style = TPenStyle(in_.ByteUpTo(psInsideFrame));
        }
        if (op == opPen || op == opPenWidth) {
            const double width = in_.Float();
            if (width < 0 || width > kLargestPen)
                TStreamReader::Damaged();
            pen.Width = int(std::lround(width * DpiX() * GetScaleX() * GetZoom() / 10000));
        }
        GetCanvas().SetPen(pen);
        break;
    }
    case opLineMetrics: {
        const double ascent = in_.Float(), descent = in_.Float(), height = in_.Float();
        SetLineMetrics(ascent, descent, height);
        break;
    }
    case opPreviewOnly: PreviewOutputOnly(); break;
    case opPrinterOnly: PrinterOutputOnly(); break;
    case opAllOutput: AllOutput(); break;
    case opOrientation: {
        const std::uint8_t orientation = in_.Byte();
        if (orientation > poLandScape)
            TStreamReader::Damaged();
        pendingOrientation_ = orientation;
        break;
    }
    case opDeviceCommand: DeviceCommand(in_.String()); break;
    default: TStreamReader::Damaged();
    }
}

// ---- named strings

void TFilePrinter::SetNamedString(const std::string& name, const std::string& value)
{
    for (auto& [n, v] : named_)
        if (SameText(n, name)) {
            v = value;
            return;
        }
    named_.emplace_back(name, value);
}

std::string TFilePrinter::GetNamedString(const std::string& name)
{
    for (const auto& [n, v] : named_)
        if (SameText(n, name))
            return v;
    return {};
}

// ---- printing

void TFilePrinter::BeginDoc()
{
    PrintRange(0, 0, 0);
}

void TFilePrinter::Execute()
{
    PrintRange(0, 0, 0);
}

void TFilePrinter::abortJob()
{
    ReleaseDocument();
    if (device_.Printing())
        device_.AbortDoc();
    SetPrinting(false);
}

void TFilePrinter::PrintRange(int first, int last, int copies)
{
    if (!device_.HasPrinters()) {
        ShowReportError(ReportText(kNoPrinters));
        return;
    }
    CheckNotPrinting();
    if (!OpenStream())
        return;
    const bool ownStream = StreamMode != smUser;
    try {
        readHeader();
        if (copies > 0)
            SetCopies(copies);
        ResetPageLinks();
        pendingOrientation_ = 2;
        const bool started = OpenDocument([this] {
            device_.SetTitle(title_);
            device_.BeginDoc();
            return device_.Printing();
        });
        if (!started) {
            if (ownStream)
                CloseStream();
            return;
        }
        const int from = first > 0 ? first : 1;
        const int to = last > 0 && last < pageCount_ ? last : pageCount_;
        const bool reverse = UpperCase(SelectionText).find('R') != std::string::npos;
        for (int i = 0; i <= to - from && !Aborted(); ++i) {
            const int page = reverse ? to - i : from + i;
            currentPage_ = page;
            SetSkipOutput(!PageSelected(page) || Aborted());
            // A page count that the linked pages do not bear out is damage.
            GotoPage(page);
            if (CurrentPageNumber() != page)
                TStreamReader::Damaged();
            StartPageOutput();
            ProcessReportMessages();
            PrintPage(page);
            ProcessReportMessages();
        }
    } catch (...) {
        abortJob();
        if (ownStream)
            CloseStream();
        throw;
    }
    FinishPrintJob();
    if (ownStream)
        CloseStream();
}

} // namespace korval
