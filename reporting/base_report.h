#pragma once
// TBaseReport: the abstract surface every report of the program is drawn on. It holds all
// geometry in inches and converts to and from the caller's units at its boundary; it keeps the
// margins, the section, the cursor and line height, the font with its stack, slots and cache,
// the tab lists, newspaper columns and the line buffer, and drives the run page by page. The
// output operations are virtual: the canvas surfaces draw them, the stream writer records them.
#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "reporting/line_buffer.h"
#include "reporting/report_basics.h"
#include "reporting/report_canvas.h"
#include "reporting/rp_device.h"

namespace korval {

class TBaseReport;

using TNotifyEvent = std::function<void(TBaseReport& sender)>;
using TPrintPageEvent = std::function<bool(TBaseReport& sender, int& pageNum)>;
using TDecodeImageEvent = std::function<void(TBaseReport& sender, std::istream& imageStream,
                                             const std::string& imageType, TReportGraphic& bitmap)>;

// Where the status text goes (the status form's label).
class TReportStatusLabel {
public:
    virtual ~TReportStatusLabel() = default;
    virtual void SetCaption(const std::string& caption) = 0;
};

// An object that prints itself on a surface (PrintWith).
class TRPPrintable {
public:
    virtual ~TRPPrintable() = default;
    virtual void SetReport(TBaseReport* report) = 0;
    virtual void Print(double a, double b) = 0;
};

struct TFontRecord {
    std::string Name = "Arial";  // at most 60 characters
    TColor Color = clBlack;
    std::uint8_t Pitch = 0;  // 0 default, 1 variable, 2 fixed
    double Size = 10;        // points
    double Height = 10.0 / 72;  // inches
    double Width = 0;        // inches, 0 natural
    double Ascent = 0, Descent = 0, InternalLeading = 0;  // inches, from the realised font
    bool Bold = false, Underline = false, Italic = false, StrikeOut = false;
    bool Subscript = false, Superscript = false;
    std::int16_t Rotation = 0;  // degrees, counter-clockwise
    std::uint8_t Align = 0;
    std::int16_t CacheIndex = 0;
    std::uint8_t CharSet = DEFAULT_CHARSET;
};

struct TTabStopRec {
    double X = 0;  // inches, left edge in the first column
    TTextJustify Justify = pjLeft;
    double Width = 0;   // inches; 0 = a plain tab position
    double Margin = 0;  // inches, inside the cell on both sides
    bool Left = false, Right = false, Top = false, Bottom = false;
    std::uint8_t Shade = 0;
};
using TTabList = std::vector<TTabStopRec>;

// Box-line bits of SetTab's Lines argument.
inline constexpr int BOXLINELEFT = 1, BOXLINERIGHT = 2, BOXLINETOP = 4, BOXLINEBOTTOM = 8;
inline constexpr int BOXLINEALL = 15, BOXLINENONE = 0;
// "Not given" for the arguments of Tab.
inline constexpr int kNotGiven = -32768;

// Destination kinds a surface answers with.
enum TDestinationKind : std::uint8_t { dkPrinter = 0, dkPreview = 1, dkFile = 2 };

// True when the text holds a macro or named-string token (0xFD "$RPC").
bool HasMacroToken(const std::string& text);

// The output operations every report surface implements, declared once for the base (pure) and
// for each surface (overrides): KORVAL_REPORT_OUTPUT_OPERATIONS(virtual, = 0) or (, override).
// Text X and widths in inches; the shapes in units; the rectangles in pixels. PrintDataStream
// with count 0 reads from the stream's position to its end.
#define KORVAL_REPORT_OUTPUT_OPERATIONS(Virtual, Tail) \
    Virtual void PrintCenterInch(const std::string& text, double x) Tail; \
    Virtual void PrintLeftInch(const std::string& text, double x) Tail; \
    Virtual void PrintRightInch(const std::string& text, double x) Tail; \
    Virtual void PrintBlockInch(const std::string& text, double x, double width) Tail; \
    Virtual void TabRectangle(double x1, double y1, double x2, double y2) Tail; \
    Virtual void Arc(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) Tail; \
    Virtual void BrushCopy(const TPixelRect& dest, const TReportGraphic& bitmap, const TPixelRect& source, \
                           TColor color) Tail; \
    Virtual void Chord(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) Tail; \
    Virtual void CopyRect(const TPixelRect& dest, TReportCanvas& canvas, const TPixelRect& source) Tail; \
    Virtual void Draw(double x, double y, const TReportGraphic& graphic) Tail; \
    Virtual void DrawFocusRect(const TPixelRect& rect) Tail; \
    Virtual void Ellipse(double x1, double y1, double x2, double y2) Tail; \
    Virtual void FillRect(const TPixelRect& rect) Tail; \
    Virtual void FloodFill(double x, double y, TColor color, TFillStyle style) Tail; \
    Virtual void FrameRect(const TPixelRect& rect) Tail; \
    Virtual void LineTo(double x, double y) Tail; \
    Virtual void MoveTo(double x, double y) Tail; \
    Virtual void Pie(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4) Tail; \
    Virtual void Polygon(const std::vector<TPixelPoint>& points) Tail; \
    Virtual void Polyline(const std::vector<TPixelPoint>& points) Tail; \
    Virtual void PrintBitmap(double x, double y, double scaleX, double scaleY, const TReportGraphic& bitmap) Tail; \
    Virtual void PrintBitmapRect(double x1, double y1, double x2, double y2, const TReportGraphic& bitmap) Tail; \
    Virtual void PrintImageRect(double x1, double y1, double x2, double y2, std::istream& imageStream, \
                                const std::string& imageType) Tail; \
    Virtual void Rectangle(double x1, double y1, double x2, double y2) Tail; \
    Virtual void RoundRect(double x1, double y1, double x2, double y2, double x3, double y3) Tail; \
    Virtual void StretchDraw(const TPixelRect& rect, const TReportGraphic& graphic) Tail; \
    Virtual void TextRect(const TPixelRect& rect, double x, double y, const std::string& text) Tail; \
    Virtual void PrintData(const std::string& text) Tail; \
    Virtual void PrintDataStream(std::istream& stream, std::int64_t count) Tail;

class TBaseReport : public TRPBaseComponent {
public:
    explicit TBaseReport(TRPDevice& device = ReportDevice());
    ~TBaseReport() override;
    TBaseReport(const TBaseReport&) = delete;
    TBaseReport& operator=(const TBaseReport&) = delete;

    // ---- published properties
    int FirstPage = 1;
    int LastPage = 9999;
    std::weak_ptr<TReportStatusLabel> StatusLabel;
    std::string StatusFormat = "Printing page %p";
    std::vector<std::string> StatusText;
    std::string Title = "Report";
    // Page selection text ("1-3,5", "even", "4-", ...); empty: FirstPage..LastPage.
    std::string SelectionText;
    // Lines %16..%35 of the macros.
    std::vector<std::string> MacroLines;
    TLineHeightMethod LineHeightMethod = lhmLinesPerInch;
    int GetLinesPerInch() const { return linesPerInch_; }
    void SetLinesPerInch(int value);
    TPrintUnits GetUnits() const { return units_.Units; }
    void SetUnits(TPrintUnits units) { units_.SetUnits(units); }
    double GetUnitsFactor() const { return units_.Factor; }
    void SetUnitsFactor(double factor) { units_.SetFactor(factor); }
    double GetMarginLeft() const { return marginLeft_; }
    double GetMarginRight() const { return marginRight_; }
    double GetMarginTop() const { return marginTop_; }
    double GetMarginBottom() const { return marginBottom_; }
    void SetMarginLeft(double value);
    void SetMarginRight(double value);
    void SetMarginTop(double value);
    void SetMarginBottom(double value);
    int GetTabShade() const { return tabShade_; }
    void SetTabShade(int value);
    TBKMode GetTextBKMode() const { return textBKMode_; }
    virtual void SetTextBKMode(TBKMode mode);
    int GetCopies() const { return copies_; }
    void SetCopies(int copies);
    TOrientation GetOrientation() const { return orientation_; }
    virtual void SetOrientation(TOrientation orientation);
    double GetScaleX() const { return scaleX_; }
    double GetScaleY() const { return scaleY_; }
    virtual void SetScaleX(double percent);
    virtual void SetScaleY(double percent);

    TNotifyEvent OnPrint, OnBeforePrint, OnAfterPrint, OnNewPage, OnNewColumn, OnPrintHeader,
        OnPrintFooter, OnEndOfSection;
    TPrintPageEvent OnPrintPage;
    TDecodeImageEvent OnDecodeImage;

    // Shade colours of tab cells: the base colour mixed by the shade and the outline pen colour.
    TColor ShadeColor = clBlack;
    TColor ShadeOutlineColor = clBlack;
    // Justification for every tab cell instead of the cell's own; 4 = none.
    std::uint8_t JustifyOverride = 4;
    // Total pages for the page-count macro.
    int TotalPages = 9999;
    // The time the document began; the clock is replaceable for tests.
    std::function<std::time_t()> Clock = [] { return std::time(nullptr); };
    std::time_t ReportDateTime() const { return reportDateTime_; }
    int CurrentCopy = 1;
    int TotalCopies = 1;

    // ---- units and geometry
    double InchesToUnitsX(double v) const { return v * units_.Factor; }
    double InchesToUnitsY(double v) const { return v * units_.Factor; }
    double UnitsToInchesX(double v) const { return v / units_.Factor; }
    double UnitsToInchesY(double v) const { return v / units_.Factor; }
    int InchesToPixelsX(double x) const;
    int InchesToPixelsY(double y) const;
    int UnitsToPixelsX(double x) const { return InchesToPixelsX(UnitsToInchesX(x)); }
    int UnitsToPixelsY(double y) const { return InchesToPixelsY(UnitsToInchesY(y)); }
    double PixelsToInchesX(int p) const;
    double PixelsToInchesY(int p) const;
    double PixelsToUnitsX(int p) const { return InchesToUnitsX(PixelsToInchesX(p)); }
    double PixelsToUnitsY(int p) const { return InchesToUnitsY(PixelsToInchesY(p)); }

    double GetPageWidth();
    double GetPageHeight();
    double GetUnprintableLeft() const { return InchesToUnitsX(unprintableLeft_); }
    double GetUnprintableRight() const { return InchesToUnitsX(unprintableRight_); }
    double GetUnprintableTop() const { return InchesToUnitsY(unprintableTop_); }
    double GetUnprintableBottom() const { return InchesToUnitsY(unprintableBottom_); }
    double GetSectionLeft() const { return InchesToUnitsX(sectionLeft_); }
    double GetSectionTop() const { return InchesToUnitsY(sectionTop_); }
    double GetSectionRight() const { return InchesToUnitsX(sectionRight_); }
    double GetSectionBottom() const { return InchesToUnitsY(sectionBottom_); }
    void SetSectionLeft(double v);
    void SetSectionRight(double v);
    void SetSectionTop(double v);
    void SetSectionBottom(double v);
    double GetOriginX() const { return InchesToUnitsX(originX_); }
    double GetOriginY() const { return InchesToUnitsY(originY_); }
    void SetOriginX(double v) { originX_ = UnitsToInchesX(v); }
    void SetOriginY(double v) { originY_ = UnitsToInchesY(v); }
    // Margin lines, in units from the page's top-left corner.
    double MarginLineLeft() const { return InchesToUnitsX(leftMarginLine_); }
    double MarginLineRight() const { return InchesToUnitsX(rightMarginLine_); }
    double MarginLineTop() const { return InchesToUnitsY(topMarginLine_); }
    double MarginLineBottom() const { return InchesToUnitsY(bottomMarginLine_); }

    double GetCursorX() const { return InchesToUnitsX(cursorX_); }
    void SetCursorX(double v) { cursorX_ = UnitsToInchesX(v); }
    double GetCursorY() const { return InchesToUnitsY(cursorY_); }
    void SetCursorY(double v);
    double GetLineTop() const { return InchesToUnitsY(lineBottomInch() - lineHeight_); }
    double GetLineBottom() const { return InchesToUnitsY(lineBottomInch()); }
    void SetLineBottom(double v);
    double GetLineHeight() const { return InchesToUnitsY(lineHeight_); }
    // The line height kept by lhmUser.
    void SetLineHeight(double v) { lineHeight_ = UnitsToInchesY(v); }
    double GetTextTop() const { return InchesToUnitsY(cursorY_ - ascentPart_); }
    int LineNum() const { return lineNum_; }
    void SetLine(int n);
    // Saves and restores the cursor.
    void PushPos();
    bool PopPos();

    // ---- device
    TRPDevice& Device() { return device_; }
    int PrinterIndex() const { return printerIndex_; }
    void SetPrinterIndex(int index);
    TDevMode* GetDevMode() { return device_.GetDevMode(); }
    int GetMaxCopies() { return device_.GetMaxCopies(); }
    int GetDuplex() { return device_.GetDuplex(); }
    void SetDuplex(int duplex) { device_.SetDuplex(duplex); }
    bool GetCollate() { return device_.GetCollate(); }
    void SetCollate(bool collate) { device_.SetCollate(collate); }
    const std::string& OutputFile() const { return outputFile_; }
    void SetOutputFile(const std::string& name);
    virtual bool SelectBin(const std::string& name);
    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }
    double GetZoom() const { return zoom_; }
    void SetZoom(double percent) { zoom_ = percent; }
    int DeviceOffsetX = 0, DeviceOffsetY = 0;

    // ---- fonts
    const TFontRecord& BaseFont() const { return font_; }
    virtual void SetFont(const std::string& name, double size);
    void SetFontSize(double points);
    void SetFontHeight(double units);
    void SetFontName(const std::string& name);
    void SetFontColor(TColor color);
    void SetFontPitch(std::uint8_t pitch);
    void SetFontCharset(std::uint8_t charset);
    void SetBold(bool on);
    void SetUnderline(bool on);
    void SetItalic(bool on);
    void SetStrikeOut(bool on);
    void SetSuperscript(bool on);
    void SetSubscript(bool on);
    void SetFontRotation(int degrees);
    void SetFontAlign(std::uint8_t align);
    bool PushFont();
    bool PopFont();
    bool SaveFont(int slot);
    bool RestoreFont(int slot);
    // Makes a whole font record current in one step (pop, restore, inline codes).
    void ApplyFontRecord(const TFontRecord& record);

    // ---- text
    void PrintJustify(const std::string& text, TTextJustify justify, double width, double margin, double x);
    void Print(const std::string& text);
    void PrintLn(const std::string& text);
    void PrintLeft(const std::string& text, double x);
    void PrintCenter(const std::string& text, double x);
    void PrintRight(const std::string& text, double x);
    void PrintHeaderLine(const std::string& text, TTextJustify justify);
    void PrintFooterLine(const std::string& text, TTextJustify justify);
    virtual double TextWidth(const std::string& text);
    virtual void PrintTruncated(const std::string& text);
    // Pixel extent of the text in the current font (0, 0 for an empty text).
    virtual TPixelSize GetTextExtent(const std::string& text);
    void SetPen(TColor color, TPenStyle style, int width, TPenMode mode);
    void SetBrush(TColor color, TBrushStyle style, std::shared_ptr<const TReportGraphic> bitmap);
    virtual void SetBkColor(TColor color);
    TColor GetBkColor();
    // Default tab width of tabbed texts, in units.
    double GetDefaultTabWidth() const { return InchesToUnitsX(defaultTabWidth_); }
    void SetDefaultTabWidth(double v) { defaultTabWidth_ = UnitsToInchesX(v); }

    // ---- tabs and columns
    void SetTab(double x, TTextJustify justify, double width, double margin, int lines, int shade);
    void ClearTabs();
    void ClearAllTabs();
    bool PushTabs();
    bool PopTabs();
    bool SaveTabs(int slot);
    bool RestoreTabs(int slot);
    void ResetTabCursor();
    // The n-th stop (1-based), the current cell for 0; nullptr past the end.
    const TTabStopRec* GetTab(int n) const;
    double TabInnerWidth(int n) const;
    virtual void Tab(int leftWidth = kNotGiven, int rightWidth = kNotGiven, int topWidth = kNotGiven,
                     int bottomWidth = kNotGiven, int shadeOverride = kNotGiven);
    void SetColumns(int count, double between);
    void SetColumn(int n);
    void ResetColumns();
    int ColumnNum() const { return columnNum_; }
    int Columns() const { return columnCount_; }
    double ColumnWidth() const { return InchesToUnitsX(columnPitch_ - columnGap_); }
    double ColumnStartX() const { return sectionLeft_ + (columnNum_ - 1) * columnPitch_; }
    void CarriageReturn();
    void LineFeed();
    void NewLine();
    void GotoFirstLine();
    int LinesLeftInColumn();
    int LinesLeft();
    TLineBuffer& LineBuffer() { return lineBuffer_; }

    // ---- run and pages
    virtual void Execute();
    virtual void BeginDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void NewPage();
    virtual void AbortPage();
    void Abort();
    bool Aborted() const { return aborted_; }
    bool Printing() const { return printing_; }
    int CurrentPage() const { return currentPage_; }
    bool ShouldSkip();
    bool SkipOutput() const { return skipOutput_; }
    virtual void PreviewOutputOnly();
    virtual void PrinterOutputOnly();
    virtual void AllOutput();
    std::uint8_t OutputDestinations() const { return outputSet_; }
    enum THookKind { hkBeforePage = 0, hkAfterPage = 1 };
    void AddHook(int kind, std::function<void()> hook);
    bool PageSelected(int page) const;
    void UpdateStatus();
    std::string FormatStatus(const std::string& format) const;
    void ExpandMacros(std::string& text);
    std::string GetMacro(int id) const;
    // The texts of %D, %R and %T.
    virtual std::string DeviceNameText() const;
    virtual std::string DriverNameText() const;
    virtual std::string PortNameText() const;
    virtual void AssignTo(TBaseReport& dest) const;

    // ---- output operations (X and widths of the text operations in inches, the rest as noted)
    virtual int Destination() const { return dkPrinter; }
    // The canvas drawn and measured on; raises "Error!  Canvas not yet active." when there is none.
    TReportCanvas& GetCanvas();
    virtual void SetDrawMode(std::uint8_t mode) { drawMode_ = mode; }
    std::uint8_t DrawMode() const { return drawMode_; }
    std::uint8_t BitmapMethod = 0;
    KORVAL_REPORT_OUTPUT_OPERATIONS(virtual, = 0)
    // A command for the device itself; the drawing surfaces have none.
    virtual void DeviceCommand(const std::string&) {}
    virtual void UnregisterGraphic(int) {}
    virtual void RegisterGraphic(int) {}
    virtual void ReuseGraphic(int) {}
    virtual void LineHook() {}
    virtual void UpdateLineHeight();
    void PrintWith(TRPPrintable& printable, double a, double b);
    virtual std::string NamedStringPlaceholder(const std::string&) { return {}; }
    virtual void SetNamedString(const std::string&, const std::string&) {}
    virtual std::string GetNamedString(const std::string& name) { return name; }

    // The line metrics exactly as a stream recorded them (inches).
    void SetLineMetrics(double ascent, double descent, double height);
    double AscentPart() const { return ascentPart_; }
    double DescentPart() const { return descentPart_; }

    // Selects the current font into the canvas's context, realising it when needed.
    void RealizeFont();

protected:
    virtual void DoPrint();
    virtual bool DoPrintPage();
    virtual void DoBeforePrint();
    virtual void DoAfterPrint();
    virtual void DoNewPage();
    virtual void DoNewColumn();
    virtual void DoPrintHeader();
    virtual void DoPrintFooter();
    virtual void DoEndOfSection();
    // Called whenever the font record changed (a setter, a restore, a change on the canvas).
    virtual void FontChanged();
    virtual void AttachFontChange();
    virtual void DetachFontChange();
    // The canvas, or nullptr when none is active.
    virtual TReportCanvas* ActiveCanvas();
    // DPI and unprintable strips from the device, then the margins again.
    virtual void ReadDeviceMetrics();
    void ApplyMargins();
    // Raises "Invalid method call.  Report is not printing." outside a job.
    void CheckPrinting() const;
    void CheckNotPrinting() const;
    // Begins a document: the abort flag and page number cleared, OnBeforePrint, the device's job
    // started (startJob, when given, answers whether it started), the font notification hooked,
    // the device's metrics read, printing. False when the job did not start.
    bool OpenDocument(const std::function<bool()>& startJob);
    // The first page of a document: layout reset, page 1, skip flag, page start, first line,
    // status, then the before-page hooks, OnNewPage and OnPrintHeader.
    void BeginFirstPage();
    // A page's output ends (after its footer and the after-page hooks) and the next one begins
    // (after its number and skip flag are set, before its first line).
    virtual void EndPageOutput() {}
    virtual void StartPageOutput() {}
    // The end of the last page: its footer and the after-page hooks, unless the run was aborted.
    void FinishLastPage();
    void RunHooks(int kind);
    void FlushLineBuffer();
    void SetPrinting(bool printing) { printing_ = printing; }
    // A page played back from a stream is output or skipped as a whole.
    void SetSkipOutput(bool skip) { skipOutput_ = skip; }
    void SetAborted(bool aborted) { aborted_ = aborted; }
    // Moves the cursor past a text drawn at x (inches) with the given horizontal alignment.
    void AdvanceCursor(unsigned align, double x, const std::string& text);
    double lineBottomInch() const { return cursorY_ + descentPart_; }
    double CursorXInch() const { return cursorX_; }
    double CursorYInch() const { return cursorY_; }
    void SetCursorXInch(double x) { cursorX_ = x; }
    void SetCursorYInch(double y) { cursorY_ = y; }
    double OriginXInch() const { return originX_; }
    double OriginYInch() const { return originY_; }
    double LineHeightInch() const { return lineHeight_; }
    void SetDpi(int x, int y) { dpiX_ = x; dpiY_ = y; }
    // A surface that is no printer's page (a page image) has no unprintable strips.
    void ClearUnprintable() { unprintableLeft_ = unprintableRight_ = unprintableTop_ = unprintableBottom_ = 0; }
    // The font's size in device pixels.
    int FontPixelHeight(const TFontRecord& font) const;
    bool InTabText() const { return inTabText_; }
    // True while a width is measured by applying a text's inline codes to the font.
    bool Measuring() const { return measuring_ > 0; }
    // At the end of a document: the canvas's font notification, the font cache and the buffered
    // lines are let go.
    void ReleaseDocument();
    // The end of a printed document: ReleaseDocument, the device's job ended (or aborted when the
    // report was), printing over, then the after-print event.
    void FinishPrintJob();
    std::uint8_t& OutputSet() { return outputSet_; }

    TRPDevice& device_;
    int currentPage_ = 0;

private:
    void fontSetterDone();
    void syncCanvasFont();
    void canvasFontChanged();
    void printPiece(const std::string& piece);
    void drawBoxLine(int width, bool flag, double x1, double y1, double x2, double y2);
    void releaseFontCache() { fontCache_.clear(); haveRealised_ = false; }

    struct TFontCacheEntry {
        TLogFont Key;       // as built from the record
        TLogFont Realised;  // with the character set the face offers
        TTextMetric Metric;
    };

    // Tabs.
    std::shared_ptr<TTabList> tabs_;
    std::array<std::shared_ptr<TTabList>, 10> savedTabs_;
    std::vector<std::shared_ptr<TTabList>> tabStack_;
    int currentTab_ = -1;  // index into *tabs_, -1 none
    bool tabPending_ = false;
    bool tabsDefined_ = false;

    // Fonts.
    TFontRecord font_;
    std::array<TFontRecord, 10> fontSlots_;
    std::vector<TFontRecord> fontStack_;
    std::vector<TFontCacheEntry> fontCache_;  // most recently used first
    bool haveRealised_ = false;
    TLogFont realised_;
    bool fontDirty_ = true;
    bool fontBatch_ = false;
    bool inTabText_ = false;
    int measuring_ = 0;
    std::function<void()> previousFontChange_;
    bool fontChangeAttached_ = false;
    TReportCanvas* attachedCanvas_ = nullptr;

    std::vector<std::pair<double, double>> posStack_;
    std::uint8_t outputSet_ = 0x1F;
    double defaultTabWidth_ = 0.5;
    std::uint8_t drawMode_ = 0;
    std::vector<std::function<void()>> beforeHooks_, afterHooks_;
    TLineBuffer lineBuffer_;

    double unprintableLeft_ = 0, unprintableRight_ = 0, unprintableTop_ = 0, unprintableBottom_ = 0;
    double ascentPart_ = 0, descentPart_ = 0, lineHeight_ = 1.0 / 6;
    std::string outputFile_;
    int printerIndex_ = -1;
    double leftMarginLine_ = 0, rightMarginLine_ = 0, topMarginLine_ = 0, bottomMarginLine_ = 0;
    double sectionLeft_ = 0, sectionRight_ = 0, sectionTop_ = 0, sectionBottom_ = 0;
    double cursorX_ = 0, cursorY_ = 0;
    double columnPitch_ = 0, columnGap_ = 0;
    std::time_t reportDateTime_ = 0;
    bool skipOutput_ = false;
    int dpiX_ = 300, dpiY_ = 300;
    int lineNum_ = 0, columnNum_ = 1, columnCount_ = 1;
    bool aborted_ = false, printing_ = false;
    double originX_ = 0, originY_ = 0;

    int linesPerInch_ = 6;
    TUnitsScale units_;
    double marginLeft_ = 0, marginRight_ = 0, marginTop_ = 0, marginBottom_ = 0;
    int tabShade_ = 0;
    TBKMode textBKMode_ = bkTransparent;
    int copies_ = 1;
    TOrientation orientation_ = poPortrait;
    double scaleX_ = 100, scaleY_ = 100;
    double zoom_ = 100;
};

// The events of the page flow, from a report or its runner onto a report (the end-of-section and
// image events are not among them).
template <class From>
void CopyPageEvents(const From& from, TBaseReport& to)
{
    to.OnPrint = from.OnPrint;
    to.OnPrintPage = from.OnPrintPage;
    to.OnBeforePrint = from.OnBeforePrint;
    to.OnAfterPrint = from.OnAfterPrint;
    to.OnNewPage = from.OnNewPage;
    to.OnNewColumn = from.OnNewColumn;
    to.OnPrintHeader = from.OnPrintHeader;
    to.OnPrintFooter = from.OnPrintFooter;
}

} // namespace korval
