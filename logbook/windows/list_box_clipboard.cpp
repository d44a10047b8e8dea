#include "logbook/windows/list_box_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>

#include "logbook/list_clipboard_text.h"
#include "platform/windows/win1252.h"

namespace korval {

void CopyListBoxToClipboard(QListWidget* list)
{
    std::vector<std::string> lines;
    std::vector<bool> selected;
    for (int i = 0; i < list->count(); ++i) {
        lines.push_back(ToWin1252(list->item(i)->text()));
        selected.push_back(list->item(i)->isSelected());
    }
    QGuiApplication::clipboard()->setText(FromWin1252(ListLinesToClipboardText(lines, selected)));
}

} // namespace korval
