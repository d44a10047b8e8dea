#include "station/windows/talk_window.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "logbook/config_record.h"
#include "logbook/windows/form_placement.h"
#include "platform/windows/win1252.h"

namespace korval {

TFTalkMessages::TFTalkMessages(QWidget* parent) : QWidget(parent)
{
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose, true);
    setObjectName(QStringLiteral("FTalkMessages"));
    setWindowTitle(QStringLiteral("Talk messages and announcements"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont f = Memo1->font();
    ApplyConfiguredFont(f, 2);
    Memo1->setFont(f);
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(Memo1);
    resize(520, 220);
}

TFTalkMessages::~TFTalkMessages()
{
    if (placed_)
        SaveFormPlacement(this, psTalk);
}

void TFTalkMessages::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (placed_)
        return;
    placed_ = true;
    RestoreFormPlacement(this, psTalk);
}

void TFTalkMessages::ShowLines(const std::string& lines)
{
    Memo1->setPlainText(FromWin1252(lines));
    Memo1->moveCursor(QTextCursor::End);
}

} // namespace korval
