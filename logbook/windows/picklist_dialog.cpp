#include "logbook/windows/picklist_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "platform/windows/win1252.h"

namespace korval {

int ShowPicklistDialog(QWidget* parent, const std::string& caption, const std::vector<std::string>& entries, int first)
{
    QDialog dlg(parent);
    dlg.setWindowTitle(FromWin1252(caption));
    auto* list = new QListWidget(&dlg);
    for (const auto& e : entries)
        list->addItem(FromWin1252(e));
    if (first >= 0 && first < list->count())
        list->setCurrentRow(first);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dlg, &QDialog::accept);
    auto* lay = new QVBoxLayout(&dlg);
    lay->addWidget(list);
    lay->addWidget(buttons);
    return dlg.exec() == QDialog::Accepted ? list->currentRow() : -1;
}

} // namespace korval
