#include "reporting/windows/status_form.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/windows/win1252.h"
#include "reporting/report_system.h"

namespace korval {

namespace {

class TLabelCaption : public TReportStatusLabel {
public:
    explicit TLabelCaption(QLabel* label) : label_(label) {}
    void SetCaption(const std::string& caption) override
    {
        // "\r" of a status format is a line break.
        QString text = FromWin1252(caption);
        text.replace('\r', '\n');
        label_->setText(text);
    }

private:
    QLabel* label_;
};

} // namespace

TRPStatusForm::TRPStatusForm(TReportSystem& runner, QWidget* parent) : QDialog(parent), runner_(runner)
{
    setObjectName("RPStatusForm");
    setWindowTitle(FromWin1252(ReportText(runner.TitleStatus)));
    auto* layout = new QVBoxLayout(this);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName("StatusLabel");
    StatusLabel->setMinimumWidth(240);
    StatusLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(StatusLabel);
    auto* row = new QHBoxLayout;
    row->addStretch();
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    row->addWidget(CancelButton);
    row->addStretch();
    layout->addLayout(row);
    label_ = std::make_shared<TLabelCaption>(StatusLabel);
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        if (waiting_) {
            waiting_ = false;
            return;
        }
        if (TBaseReport* surface = runner_.ReportSurface())
            surface->Abort();
        runner_.SetAborted(true);
    });
}

void TRPStatusForm::WaitForOK()
{
    CancelButton->setText("OK");
    waiting_ = true;
    while (waiting_ && isVisible())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    waiting_ = false;
}

} // namespace korval
