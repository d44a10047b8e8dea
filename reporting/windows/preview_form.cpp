#include "reporting/windows/preview_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "platform/windows/win1252.h"
#include "reporting/report_system.h"
#include "reporting/windows/qt_paint_context.h"
#include "reporting/windows/setup_form.h"

namespace korval {

// A page image's context whose painting can be ended before the image is shown.
class TPageImageContext : public TQtPaintContext {
public:
    using TQtPaintContext::TQtPaintContext;
    ~TPageImageContext() override { EndPainting(); }
    void Finish() { EndPainting(); }
};

// ---- the scroll box

TQtPreviewHost::TQtPreviewHost(QScrollArea* box) : box_(box), view_(new QLabel)
{
    view_->setObjectName("PageImage");
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box_->setWidget(view_);
    box_->setWidgetResizable(false);
}

TQtPreviewHost::~TQtPreviewHost() = default;

TPixelSize TQtPreviewHost::BoxSize()
{
    return {box_->width(), box_->height()};
}

TPixelSize TQtPreviewHost::BorderSize()
{
    const int frame = 2 * box_->frameWidth();
    return {frame, frame};
}

TPixelSize TQtPreviewHost::ScrollBarSize()
{
    const int extent = box_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return {extent, extent};
}

TColor TQtPreviewHost::BoxColor()
{
    const QColor c = box_->palette().color(QPalette::Dark);
    return RGB(c.red(), c.green(), c.blue());
}

TDrawingContext* TQtPreviewHost::NewImage(int width, int height, bool monochrome)
{
    context_.reset();
    image_ = QImage(std::max(1, width), std::max(1, height),
                    monochrome ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    image_.fill(Qt::white);
    double dpi = 96;
    if (const QScreen* screen = box_->screen())
        dpi = screen->logicalDotsPerInch();
    const int dotsPerMeter = int(std::lround(dpi / 0.0254));
    image_.setDotsPerMeterX(dotsPerMeter);
    image_.setDotsPerMeterY(dotsPerMeter);
    context_ = std::make_unique<TPageImageContext>(&image_);
    return context_.get();
}

void TQtPreviewHost::ShowImage()
{
    if (context_)
        context_->Finish();
    view_->setPixmap(QPixmap::fromImage(image_));
    view_->resize(image_.size());
}

void TQtPreviewHost::FreeImage()
{
    context_.reset();
    image_ = QImage();
    view_->clear();
}

void TQtPreviewHost::ScrollToOrigin()
{
    box_->horizontalScrollBar()->setValue(0);
    box_->verticalScrollBar()->setValue(0);
}

void TQtPreviewHost::SetBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

// ---- the form

namespace {

QToolButton* toolButton(QWidget* parent, QLayout* row, const char* name, const char* text)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(QString::fromLatin1(text));
    b->setToolTip(QString::fromLatin1(text));
    b->setFocusPolicy(Qt::NoFocus);
    row->addWidget(b);
    return b;
}

} // namespace

TRPPreviewForm::TRPPreviewForm(TReportSystem* runner, QWidget* parent)
    : QDialog(parent), FilePreview1(runner ? runner->Device() : ReportDevice()),
      FilePrinter1(runner ? runner->Device() : ReportDevice()), runner_(runner)
{
    setObjectName("RPPreviewForm");
    setWindowTitle(FromWin1252(ReportText("Report Preview")));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* tools = new QHBoxLayout;
    layout->addLayout(tools);
    SBZoomIn = toolButton(this, tools, "SBZoomIn", "Zoom In");
    SBZoomOut = toolButton(this, tools, "SBZoomOut", "Zoom Out");
    SBZoomPageWidth = toolButton(this, tools, "SBZoomPageWidth", "Zoom Page Width");
    SBZoomPage = toolButton(this, tools, "SBZoomPage", "Zoom Whole Page");
    tools->addWidget(new QLabel("Zoom %", this));
    ZoomEdit = new QLineEdit(this);
    ZoomEdit->setObjectName("ZoomEdit");
    ZoomEdit->setMinimumWidth(ZoomEdit->fontMetrics().horizontalAdvance("200.0") + 16);
    ZoomEdit->setMaximumWidth(ZoomEdit->minimumWidth());
    tools->addWidget(ZoomEdit);
    SBPrevPage = toolButton(this, tools, "SBPrevPage", "Prev Page");
    SBNextPage = toolButton(this, tools, "SBNextPage", "Next Page");
    tools->addWidget(new QLabel("Page #", this));
    PageEdit = new QLineEdit(this);
    PageEdit->setObjectName("PageEdit");
    PageEdit->setMaximumWidth(50);
    tools->addWidget(PageEdit);
    PageLabel = new QLabel("Page 1 of 1", this);
    PageLabel->setObjectName("PageLabel");
    tools->addWidget(PageLabel);
    tools->addStretch();
    SBPrint = toolButton(this, tools, "SBPrint", "Print");
    SBDone = toolButton(this, tools, "SBDone", "Done");
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    layout->addWidget(ScrollBox1, 1);
    host_ = std::make_unique<TQtPreviewHost>(ScrollBox1);
    FilePreview1.ScrollBox = host_.get();
    FilePreview1.OnZoomChange = [this](TFilePreview&) { zoomChanged(); };
    FilePreview1.OnPageChange = [this](TFilePreview&) { pageChanged(); };
    SBPrint->setEnabled(!runner_ || runner_->Has(soAllowPrintFromPreview));
    resize(615, 450);

    connect(SBZoomIn, &QToolButton::clicked, this, [this] { guarded([this] { FilePreview1.ZoomIn(); }); });
    connect(SBZoomOut, &QToolButton::clicked, this, [this] { guarded([this] { FilePreview1.ZoomOut(); }); });
    connect(SBZoomPageWidth, &QToolButton::clicked, this, [this] {
        guarded([this] { FilePreview1.SetZoomFactor(FilePreview1.ZoomPageWidthFactor()); });
    });
    connect(SBZoomPage, &QToolButton::clicked, this, [this] {
        guarded([this] { FilePreview1.SetZoomFactor(FilePreview1.ZoomPageFactor()); });
    });
    connect(SBPrevPage, &QToolButton::clicked, this, [this] { guarded([this] { FilePreview1.PrevPage(); }); });
    connect(SBNextPage, &QToolButton::clicked, this, [this] { guarded([this] { FilePreview1.NextPage(); }); });
    connect(SBPrint, &QToolButton::clicked, this, &TRPPreviewForm::PrintFromPreview);
    connect(SBDone, &QToolButton::clicked, this, &QDialog::close);
    connect(ZoomEdit, &QLineEdit::editingFinished, this, &TRPPreviewForm::zoomEdited);
    connect(PageEdit, &QLineEdit::editingFinished, this, &TRPPreviewForm::pageEdited);
    ZoomEdit->installEventFilter(this);
    PageEdit->installEventFilter(this);
}

TRPPreviewForm::~TRPPreviewForm()
{
    FilePreview1.OnZoomChange = nullptr;
    FilePreview1.OnPageChange = nullptr;
    if (FilePreview1.Previewing())
        FilePreview1.EndDoc();
    // The page image goes before the preview does.
    FilePreview1.ScrollBox = nullptr;
}

void TRPPreviewForm::guarded(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EReportError& e) {
        ShowReportError(e.what());
    }
}

void TRPPreviewForm::StartPreview()
{
    if (FilePreview1.Previewing())
        return;
    guarded([this] { FilePreview1.BeginDoc(); });
}

void TRPPreviewForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    StartPreview();
    if (runner_ && runner_->OnPreviewShow)
        runner_->OnPreviewShow(*runner_);
}

void TRPPreviewForm::finish()
{
    if (FilePreview1.Previewing())
        FilePreview1.EndDoc();
    done_ = true;
}

void TRPPreviewForm::closeEvent(QCloseEvent* event)
{
    finish();
    QDialog::closeEvent(event);
}

void TRPPreviewForm::zoomChanged()
{
    ZoomEdit->setText(QString::number(FilePreview1.ZoomFactor(), 'f', 1));
    FilePreview1.RedrawPage();
}

void TRPPreviewForm::pageChanged()
{
    const QString page = QString::number(FilePreview1.CurrentPageNumber());
    PageEdit->setText(page);
    PageLabel->setText("Page " + page + " of " + QString::number(FilePreview1.PageCount()));
}

void TRPPreviewForm::zoomEdited()
{
    bool ok = false;
    const double zoom = ZoomEdit->text().trimmed().toDouble(&ok);
    if (ok && zoom != FilePreview1.ZoomFactor())
        guarded([this, zoom] { FilePreview1.SetZoomFactor(zoom); });
}

void TRPPreviewForm::pageEdited()
{
    bool ok = false;
    const int page = PageEdit->text().trimmed().toInt(&ok);
    if (ok && page != FilePreview1.CurrentPageNumber())
        guarded([this, page] { FilePreview1.PrintPage(page); });
}

void TRPPreviewForm::PrintFromPreview()
{
    if (runner_ && !runner_->Has(soAllowPrintFromPreview))
        return;
    FilePrinter1.FileName = FilePreview1.FileName;
    FilePrinter1.StreamMode = FilePreview1.StreamMode;
    FilePrinter1.Stream = FilePreview1.Stream;
    FilePrinter1.OnDecodeImage = FilePreview1.OnDecodeImage;
    if (runner_ && runner_->Has(ssAllowSetup)) {
        TRPSetupForm setup(*runner_, &FilePrinter1, this);
        if (setup.exec() != QDialog::Accepted)
            return;
        FilePrinter1.KeepDeviceSettings = true;
    }
    guarded([this] {
        if (runner_) {
            runner_->PrintStream(FilePrinter1);
        } else {
            FilePrinter1.CurrentCopy = FilePrinter1.TotalCopies = 1;
            FilePrinter1.Execute();
        }
    });
}

bool TRPPreviewForm::scrollKey(QKeyEvent* event)
{
    QScrollBar* v = ScrollBox1->verticalScrollBar();
    QScrollBar* h = ScrollBox1->horizontalScrollBar();
    const Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    auto setV = [v](int value) { v->setValue(std::clamp(value, 0, std::max(0, v->maximum()))); };
    switch (event->key()) {
    case Qt::Key_PageUp:
        if (mods != Qt::NoModifier)
            return false;
        setV(v->value() - ScrollBox1->height());
        return true;
    case Qt::Key_PageDown:
        if (mods != Qt::NoModifier)
            return false;
        setV(v->value() + ScrollBox1->height());
        return true;
    case Qt::Key_Home:
        if (mods != Qt::NoModifier)
            return false;
        setV(0);
        return true;
    case Qt::Key_End:
        if (mods != Qt::NoModifier)
            return false;
        setV(v->maximum());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (mods != Qt::NoModifier)
            return false;
        setV(v->value() + (event->key() == Qt::Key_Up ? -v->singleStep() : v->singleStep()));
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int sign = event->key() == Qt::Key_Left ? -1 : 1;
        if (mods == Qt::ControlModifier)
            h->setValue(h->value() + sign * h->singleStep());
        else if (mods == (Qt::ControlModifier | Qt::ShiftModifier))
            h->setValue(h->value() + sign * ScrollBox1->width());
        else
            return false;
        return true;
    }
    default: return false;
    }
}

void TRPPreviewForm::keyPressEvent(QKeyEvent* event)
{
    if (scrollKey(event))
        event->accept();
    else
        QDialog::keyPressEvent(event);
}

bool TRPPreviewForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == ZoomEdit || watched == PageEdit) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Left and Right without Ctrl stay with the edit.
        if (scrollKey(key))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace korval
