#pragma once
// TRPPreviewForm: the report preview window. A tool row (zoom, pages, print, done) above a
// scroll box showing the page image that its TFilePreview draws; a TFilePrinter prints the
// same stream from the preview.
#include <QDialog>
#include <QImage>
#include <memory>

#include "reporting/file_preview.h"

class QLabel;
class QLineEdit;
class QScrollArea;
class QToolButton;

namespace korval {

class TReportSystem;
class TPageImageContext;

// The preview's page image in a scroll area.
class TQtPreviewHost : public TPreviewHost {
public:
    explicit TQtPreviewHost(QScrollArea* box);
    ~TQtPreviewHost() override;

    TPixelSize BoxSize() override;
    TPixelSize BorderSize() override;
    TPixelSize ScrollBarSize() override;
    TColor BoxColor() override;
    TDrawingContext* NewImage(int width, int height, bool monochrome) override;
    void ShowImage() override;
    void FreeImage() override;
    void ScrollToOrigin() override;
    void SetBusy(bool busy) override;
    const QImage& Image() const { return image_; }

private:
    QScrollArea* box_;
    QLabel* view_;
    QImage image_;
    std::unique_ptr<TPageImageContext> context_;
};

class TRPPreviewForm : public QDialog {
    Q_OBJECT
public:
    // runner: the run that opened the form (its options, setup form and copies), or nullptr.
    explicit TRPPreviewForm(TReportSystem* runner, QWidget* parent = nullptr);
    ~TRPPreviewForm() override;

    TFilePreview FilePreview1;
    TFilePrinter FilePrinter1;

    QToolButton *SBZoomIn, *SBZoomOut, *SBPrevPage, *SBNextPage, *SBDone, *SBPrint, *SBZoomPageWidth, *SBZoomPage;
    QLineEdit *ZoomEdit, *PageEdit;
    QLabel* PageLabel;
    QScrollArea* ScrollBox1;
    TQtPreviewHost& Host() { return *host_; }
    // Set once the form was closed.
    bool Done() const { return done_; }

    // Starts the preview (also done when the form is shown).
    void StartPreview();
    void PrintFromPreview();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs one of the engine's operations; its error is shown, and the preview goes on.
    void guarded(const std::function<void()>& action);
    void zoomChanged();
    void pageChanged();
    void zoomEdited();
    void pageEdited();
    bool scrollKey(QKeyEvent* event);
    void finish();

    TReportSystem* runner_;
    std::unique_ptr<TQtPreviewHost> host_;
    bool done_ = false;
};

} // namespace korval
