#pragma once
// TFilePrinter: plays a report stream back page by page on a canvas surface: onto the printer,
// or (TFilePreview) into a page image. A report generated once is printed or shown as often as
// wanted, in any page order. The whole stream is held in memory and read through checked
// fields, so a damaged or cut stream is refused with its message and never read past.
#include <iosfwd>
#include <string>
#include <vector>

#include "reporting/canvas_report.h"
#include "reporting/stream_reader.h"

namespace korval {

class TFilePrinter : public TCanvasReport {
public:
    explicit TFilePrinter(TRPDevice& device = ReportDevice());
    ~TFilePrinter() override;

    std::string FileName;
    TStreamMode StreamMode = smMemory;
    // The caller's stream with smUser, read from position 0 and never freed.
    std::istream* Stream = nullptr;
    // Set by whoever showed the setup form: the stream's bin, collation, duplex and copies do
    // not replace the operator's choice.
    bool KeepDeviceSettings = false;

    // Prints the whole stream.
    void BeginDoc() override;
    void EndDoc() override {}
    void Execute() override;
    // Prints pages first..last (0: from the first, to the last) with copies (0: as they are).
    void PrintRange(int first, int last, int copies);

    void SetNamedString(const std::string& name, const std::string& value) override;
    std::string GetNamedString(const std::string& name) override;

    // Positions on a page record by following the page links; beyond the ends it stays on the
    // first or last page.
    virtual void GotoPage(int page);
    // Plays the page's operations on the surface.
    virtual void PrintPage(int page);

    // Opens the stream and reads its header on first use.
    int PageCount();
    int StreamVersion() const { return version_; }
    const std::string& StreamTitle() const { return title_; }
    // Inches, from the header and then from each page record.
    double PageWidthInches() const { return pageWidth_; }
    double PageHeightInches() const { return pageHeight_; }
    int CurrentPageNumber() const { return pageNumber_; }
    bool HasPreviousPage() const { return previousPos_ > 0; }
    bool HasNextPage() const { return nextPos_ > 0; }
    // Back to "no page read yet".
    void ResetPageLinks();
    // Opens the stream; false (the operator told) when it cannot be read.
    bool OpenStream();
    void CloseStream();
    bool StreamOpened() const { return opened_; }

protected:
    // The device block of the header is applied to a printer; a preview has none.
    virtual bool AppliesDeviceSettings() { return device_.HasPrinters(); }

private:
    void readHeader();
    void readPageRecord(std::int64_t at);
    void play(std::uint8_t op);
    double point(double& y);
    TPixelRect rect();
    std::vector<TPixelPoint> points();
    std::string namedValue(int depth);
    void fontHeight(double height, double sample);
    void abortJob();

    std::string bytes_;
    TStreamReader in_;
    bool opened_ = false;
    bool headerRead_ = false;
    int version_ = 0;
    std::string title_;
    int pageCount_ = 0;
    double pageWidth_ = 8.5, pageHeight_ = 11;
    std::int64_t firstPagePos_ = 0;
    std::int64_t pagePos_ = 0, previousPos_ = 0, nextPos_ = 0, bodyPos_ = 0;
    int pageNumber_ = 0;
    int pendingOrientation_ = 2;
    std::vector<std::pair<std::string, std::string>> named_;
};

} // namespace korval
