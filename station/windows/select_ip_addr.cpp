#include "station/windows/select_ip_addr.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/windows/win1252.h"

namespace korval {

TSelectIPAddr::TSelectIPAddr(const std::vector<std::string>& entries, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SelectIPAddr"));
    setWindowTitle(QStringLiteral("Select Internet address"));
    LB = new QListWidget(this);
    LB->setObjectName(QStringLiteral("LB"));
    for (const std::string& e : entries)
        LB->addItem(FromWin1252(e));
    if (LB->count() > 0)
        LB->setCurrentRow(0);
    BtnOK = new QPushButton(QStringLiteral("OK"), this);
    BtnOK->setObjectName(QStringLiteral("BtnOK"));
    BtnOK->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Close"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button3 = new QPushButton(QStringLiteral("Cancel"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    connect(BtnOK, &QPushButton::clicked, this, [this] { done(siConnect); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(siClose); });
    connect(Button3, &QPushButton::clicked, this, [this] { done(siCancel); });
    connect(LB, &QListWidget::itemDoubleClicked, this, [this] { done(siConnect); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(LB);
    lay->addLayout(buttons);
    resize(420, 300);
}

std::string TSelectIPAddr::Selected() const
{
    const QListWidgetItem* item = LB->currentItem();
    return item ? ToWin1252(item->text()) : std::string();
}

int SelectInternetAddress(const std::string& fileName, TInternetAddress& address, QWidget* parent)
{
    TSelectIPAddr dialog(LoadAddressList(fileName), parent);
    const int result = dialog.exec();
    if (result != siConnect)
        return result == siClose ? siClose : siCancel;
    const std::string entry = dialog.Selected();
    if (entry.empty())
        return siCancel;
    address = ParseInternetAddress(entry);
    return address.host.empty() ? siCancel : siConnect;
}

} // namespace korval
