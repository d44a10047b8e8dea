#include "logbook/windows/progress_bar.h"

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

TProgressbar::TProgressbar(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Progressbar"));
    auto* lay = new QVBoxLayout(this);
    bar_ = new TOvcMeter(this);
    bar_->setObjectName(QStringLiteral("bar"));
    bar_->setMinimumSize(300, 22);
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
