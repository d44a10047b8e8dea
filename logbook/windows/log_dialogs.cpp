#include "logbook/windows/log_dialogs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "grids/windows/ovc_check_list.h"
#include "logbook/config_record.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/qso_form.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

// OK and Cancel at the bottom right.
QHBoxLayout* Buttons(QDialog* dlg, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), dlg);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(false);
    ok->setAutoDefault(false);
    cancel = new QPushButton(QStringLiteral("Cancel"), dlg);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

} // namespace

TMemoDialog::TMemoDialog(QWidget* parent, const std::string& caption) : QDialog(parent)
{
    setWindowTitle(FromWin1252(caption));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(Memo1);
    lay->addLayout(Buttons(this, BtnOk, BtnCancel));
    connect(BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    resize(380, 280);
}

void TMemoDialog::SetLines(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& l : lines)
        list << FromWin1252(l);
    Memo1->setPlainText(list.join(QLatin1Char('\n')));
    Memo1->document()->setModified(false);
}

std::vector<std::string> TMemoDialog::Lines() const
{
    std::vector<std::string> lines;
    for (const QString& l : Memo1->toPlainText().split(QLatin1Char('\n')))
        lines.push_back(ToWin1252(l));
    return lines;
}

bool TMemoDialog::Modified() const { return Memo1->document()->isModified(); }

void TMemoDialog::SetModifiedAtEnd()
{
    Memo1->moveCursor(QTextCursor::End);
    Memo1->document()->setModified(true);
}

void TMemoDialog::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    QDialog::showEvent(e);
    Memo1->setFocus(Qt::OtherFocusReason);
}

TEditNote::TEditNote(QWidget* parent, const std::string& caption) : TMemoDialog(parent, caption)
{
    Memo1->setToolTip(QStringLiteral("Ctrl+D Date, Ctrl+R Frequency"));
    Memo1->installEventFilter(this);
}

bool TEditNote::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->modifiers() == Qt::ControlModifier && (k->key() == Qt::Key_D || k->key() == Qt::Key_R)) {
            const auto& source = k->key() == Qt::Key_D ? DateText : FrequencyText;
            const std::string text = source ? source() : std::string();
            if (!text.empty())
                Memo1->insertPlainText(FromWin1252(text));
            return true;
        }
    }
    return TMemoDialog::eventFilter(watched, event);
}

TDisabledFields::TDisabledFields(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Tab Disabled Fields"));
    CL = new TOvcCheckList(this);
    CL->setObjectName(QStringLiteral("CL"));
    for (int f = 1; f <= kFieldCount; ++f)
        CL->Items().Add(TQSOForm::FieldCaption(f));
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(CL);
    lay->addLayout(Buttons(this, BtnOk, BtnCancel));
    connect(BtnOk, &QPushButton::clicked, this, &TDisabledFields::OkClick);
    resize(300, 460);
}

void TDisabledFields::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    for (int f = 1; f <= kFieldCount; ++f)
        CL->SetStates(f - 1, Config.FieldDisabled(f) ? cbChecked : cbUnchecked);
    CL->SetItemIndex(0);
    QDialog::showEvent(e);
    CL->setFocus(Qt::OtherFocusReason);
}

void TDisabledFields::OkClick()
{
    for (int f = 1; f <= kFieldCount; ++f)
        Config.SetFieldDisabled(f, CL->GetStates(f - 1) == cbChecked);
    accept();
}

} // namespace korval
