#include "logbook/windows/prog_status.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <QFile>

namespace korval {

TProgStatus::TProgStatus(const TLogStatusInfo& info, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgStatus"));
    setWindowTitle(QStringLiteral("Current Status"));
    auto* lay = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto field = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };
    F_fpn = field("F_fpn");
    F_nrq = field("F_nrq");
    F_nrNotes = field("F_nrNotes");
    F_NrSWL = field("F_NrSWL");
    form->addRow(QStringLiteral("LogFile"), F_fpn);
    form->addRow(QStringLiteral("Nr QSOs"), F_nrq);
    form->addRow(QStringLiteral("Nr Notes"), F_nrNotes);
    form->addRow(QStringLiteral("SWL Records"), F_NrSWL);
    lay->addLayout(form);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    lay->addWidget(Button1, 0, Qt::AlignHCenter);

    if (info.open) {
        F_fpn->setText(QFile::decodeName(QByteArray::fromStdString(info.fileName)));
        F_nrq->setNum(static_cast<double>(info.qsos));
        F_nrNotes->setNum(static_cast<double>(info.notes));
        F_NrSWL->setNum(static_cast<double>(info.swl));
    } else {
        F_fpn->setText(QStringLiteral("No logfile open"));
    }
    setMinimumWidth(360);
}

} // namespace korval
