#pragma once
// TReportFiler: the report surface whose output operations append records to a report stream
// instead of drawing, so that a report generated once plays back into the preview or onto the
// printer any number of times. The stream: a header, then the pages as a doubly linked list,
// each with its full drawing state first and an end-of-page code last.
#include <array>
#include <fstream>
#include <iosfwd>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "reporting/base_report.h"
#include "reporting/report_stream.h"

namespace korval {

class TReportFiler : public TBaseReport {
public:
    explicit TReportFiler(TRPDevice& device = ReportDevice());
    ~TReportFiler() override;

    std::string FileName;
    TStreamMode StreamMode = smMemory;
    TAccuracyMethod AccuracyMethod = amAppearance;
    // The caller's stream with smUser; it must be readable and seekable.
    std::iostream* Stream = nullptr;
    // The canvas of the form that owns the filer: measures texts when no printer is installed.
    TReportCanvas* OwnerCanvas = nullptr;

    // With smMemory: the bytes of the stream (also after EndDoc).
    std::string MemoryData() const { return memory_.substr(0, std::min(memory_.size(), size_t(length_))); }
    // The pages written so far.
    int PagesWritten() const { return pagesWritten_; }

    int Destination() const override { return dkFile; }
    void BeginDoc() override;
    void EndDoc() override;
    void AbortPage() override;

    KORVAL_REPORT_OUTPUT_OPERATIONS(, override)
    void SetDrawMode(std::uint8_t mode) override;
    void SetBkColor(TColor color) override;
    void SetScaleX(double percent) override;
    void SetScaleY(double percent) override;
    void SetTextBKMode(TBKMode mode) override;
    void SetOrientation(TOrientation orientation) override;
    void DeviceCommand(const std::string& command) override;
    void PreviewOutputOnly() override;
    void PrinterOutputOnly() override;
    void AllOutput() override;
    void RegisterGraphic(int index) override;
    void ReuseGraphic(int index) override;
    void UnregisterGraphic(int index) override;
    void UpdateLineHeight() override;
    std::string NamedStringPlaceholder(const std::string& name) override;
    void SetNamedString(const std::string& name, const std::string& value) override;
    std::string DeviceNameText() const override;

protected:
    void FontChanged() override;
    TReportCanvas* ActiveCanvas() override;
    void ReadDeviceMetrics() override;
    void StartPageOutput() override;
    void EndPageOutput() override;

private:
    struct TNamedEntry {
        std::string Name;
        std::int64_t Position;  // of the value record; negated once a pending slot got its value
        bool Pending;
    };
    struct TWrittenState {
        TBrushData Brush;
        TFontRecord Font;
        float FontHeight = 0;
        TPenData Pen;
        std::uint8_t Destination = opAllOutput;
    };

    bool writing();
    void begin(std::uint8_t op);
    void done();
    // A drawing operation: its opcode and operands, when the page is written.
    template <class Operands>
    void record(std::uint8_t op, Operands&& operands)
    {
        CheckPrinting();
        if (!writing())
            return;
        begin(op);
        operands();
        done();
    }
    void point(double x, double y);
    void pixelRect(const TPixelRect& rect);
    void graphic(const TReportGraphic& g);
    void text(std::uint8_t op, const std::string& text, double x, double width);
    void alignedText(unsigned align, const std::string& text, double x);
    // Writes op and its operand (write) when the value differs from the one the stream holds, or
    // always with all.
    // While a document is written: op and its operand (write) as one record.
    template <class Write>
    void writeIfWriting(std::uint8_t op, Write write);
    template <class Value, class Write>
    void emitChanged(bool all, std::uint8_t op, const Value& value, const Value& last, Write write);
    void emitBrush(bool all);
    void emitFont(bool all);
    void emitPen(bool all);
    void emitDestination(std::uint8_t op);
    float fontHeightField() const;
    float sampleWidthField();
    std::string readRest(std::istream& in, std::int64_t count);
    void checkGraphicIndex(int index, const char* what) const;
    void attachCanvas();
    void detachCanvas();
    bool openStream();
    void writeHeader();
    void closeStream();
    void pixelPoint(const TPixelPoint& p);
    void fourPoints(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4);
    void pointList(const std::vector<TPixelPoint>& points);
    TNamedEntry* findNamed(const std::string& name);

    TStreamWriter out_;
    std::string memory_;
    bool inMemory_ = false;
    std::unique_ptr<std::fstream> file_;
    std::string tempPath_;
    std::int64_t length_ = 0;
    std::int64_t pageCountPos_ = 0;
    std::int64_t pagePos_ = 0;      // the open page's record
    std::int64_t lastPagePos_ = 0;  // the previous written page's record
    std::int64_t previousOfOpen_ = 0;
    int pagesWritten_ = 0;
    bool pageOpen_ = false;
    int ownMeasuring_ = 0;
    std::uint8_t currentDest_ = opAllOutput;
    TWrittenState written_;
    std::array<std::int64_t, 11> graphics_{};  // 1..10; 0 = none
    std::int64_t lastGraphic_ = -1;
    int reuse_ = 0;
    std::vector<TNamedEntry> named_;
    TReportCanvas* hooked_ = nullptr;
    std::function<void()> previousPen_, previousBrush_;
};

} // namespace korval
