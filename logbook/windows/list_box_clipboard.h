#pragma once
// A list box's lines to the clipboard.
class QListWidget;

namespace korval {

// The selected lines of the list, or all of them, to the clipboard with CR LF after each.
void CopyListBoxToClipboard(QListWidget* list);

} // namespace korval
