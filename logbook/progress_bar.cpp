#include "logbook/progress_bar.h"

#include <QPainter>
#include <QVBoxLayout>

namespace korval {

namespace {
TProgressbar* g_progress = nullptr;
}

TProgressbar* ProgressWindow()
{
    return g_progress;
}

void SetProgressWindow(TProgressbar* window)
{
    g_progress = window;
}

TProgressMeter::TProgressMeter(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("bar"));
    setMinimumSize(200, 20);
}

void TProgressMeter::SetPercent(int percent)
{
    percent = percent < 0 ? 0 : (percent > 100 ? 100 : percent);
    if (percent == percent_)
        return;
    percent_ = percent;
    update();
}

void TProgressMeter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(r, palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(r);
    int used = (r.width() - 3) * percent_ / 100;
    if (used > 0)
        p.fillRect(QRect(r.left() + 2, r.top() + 2, used, r.height() - 3), palette().color(QPalette::Highlight));
    p.setPen(palette().color(QPalette::Text));
    p.drawText(r, Qt::AlignCenter, QStringLiteral("%1%").arg(percent_));
}

TProgressbar::TProgressbar(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Progressbar"));
    auto* lay = new QVBoxLayout(this);
    bar_ = new TProgressMeter(this);
    lay->addWidget(bar_);
    resize(340, 60);
}

void TProgressbar::SetUp(const QString& caption, std::int32_t maximum)
{
    setWindowTitle(caption);
    counter_.SetUp(maximum);
    updates_ = 0;
    bar_->SetPercent(0);
    show();
    bar_->repaint();
}

void TProgressbar::showPercent()
{
    ++updates_;
    bar_->SetPercent(counter_.percent());
    // The operation runs without returning to the event loop: paint now.
    bar_->repaint();
}

void TProgressbar::ShowProgress()
{
    if (counter_.ShowProgress())
        showPercent();
}

void TProgressbar::NewProgress(std::int32_t position)
{
    if (counter_.NewProgress(position))
        showPercent();
}

void TProgressbar::Finished()
{
    counter_.Finished();
    bar_->SetPercent(100);
    bar_->repaint();
    hide();
}

} // namespace korval
