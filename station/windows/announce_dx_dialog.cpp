#include "station/windows/announce_dx_dialog.h"

#include <QFormLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "logbook/base/string_utils.h"
#include "platform/message_dlg.h"

namespace korval {

namespace {
TOvcNumericField* FrequencyField(QWidget* parent, const char* name)
{
    auto* f = new TOvcNumericField(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->SetDataType(nftDouble);
    f->SetPictureMask("#######.##");
    f->SetRangeLo("0");
    f->SetRangeHi("9999999");
    return f;
}
} // namespace

TAnnounceDXDialog::TAnnounceDXDialog(const TAnnouncement& prefill, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AnnounceDXDialog"));
    setWindowTitle(QStringLiteral("Announce DX"));
    new TOvcController(this);
    F_call = new TOvcSimpleField(this);
    F_call->setObjectName(QStringLiteral("F_call"));
    F_call->SetMaxLength(12);
    F_call->SetAsString(prefill.call);
    F_AVFO = FrequencyField(this, "F_AVFO");
    F_AVFO->SetAsFloat(prefill.kHz);
    F_BVFO = FrequencyField(this, "F_BVFO");
    F_BVFO->SetAsFloat(prefill.qsxKHz);
    F_Remarks = new TOvcSimpleField(this);
    F_Remarks->setObjectName(QStringLiteral("F_Remarks"));
    F_Remarks->SetMaxLength(30);
    F_Remarks->SetAsString(prefill.remarks);
    // Ctrl+A selects a field's whole text, so that what is typed next replaces it.
    for (QWidget* f : std::initializer_list<QWidget*>{F_call, F_AVFO, F_BVFO, F_Remarks})
        f->installEventFilter(this);
    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Callsign"), F_call);
    form->addRow(QStringLiteral("Frequency"), F_AVFO);
    form->addRow(QStringLiteral("QSX frequency"), F_BVFO);
    form->addRow(QStringLiteral("Remarks"), F_Remarks);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(BtnCancel);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(form);
    lay->addLayout(buttons);
}

TAnnouncement TAnnounceDXDialog::Result()
{
    return {UpperAscii(TrimSpaces(F_call->GetAsString())), F_AVFO->GetAsFloat(), F_BVFO->GetAsFloat(),
            TrimSpaces(F_Remarks->GetAsString())};
}

bool TAnnounceDXDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_A && k->modifiers() == Qt::ControlModifier)
            if (auto* field = dynamic_cast<TOvcBaseEntryField*>(watched)) {
                field->SelectAll();
                return true;
            }
    }
    return QDialog::eventFilter(watched, event);
}

void TAnnounceDXDialog::accept()
{
    const TAnnouncement a = Result();
    if (a.call.empty()) {
        MessageDlg("A spot needs the call of the DX station", TMsgDlgType::mtWarning, mbOK);
        F_call->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (!(a.kHz > 0)) {
        MessageDlg("A spot needs the frequency of the DX station in kHz (14023.5 for 14.0235 MHz)",
                   TMsgDlgType::mtWarning, mbOK);
        F_AVFO->setFocus(Qt::OtherFocusReason);
        return;
    }
    QDialog::accept();
}

} // namespace korval
