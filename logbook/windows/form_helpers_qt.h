#pragma once
// The window side of the shared form helpers: configured fonts on a form, the entry-field error
// display, list boxes to the clipboard.
#include <QString>
#include <string>
#include <vector>

class QObject;
class QWidget;
class QListWidget;

namespace korval {

// Font classes of controls: 0 combo boxes; 1 choice boxes and entry fields; 2 tables; 3 list
// boxes; 4 check lists, virtual list boxes and memos; 5 virtual-data grids; 6 anything else.
int FontClassOf(const QWidget* control);
// The configured font (0..2) a font class takes.
int FontIndexOfClass(int fontClass);

// Gives every control of the form its configured font and height, scales the form by the
// configured form scale and fits labels to their captions.
void SetFormFont(QWidget* form);

// The entry fields' error handler: a range error names the field's limits (its "RangeLo" and
// "RangeHi" properties), anything else shows the message; error, OK.
void ShowEntryFieldError(QObject* sender, int errorCode, const std::string& message);

// The selected lines of the list, or all of them, to the clipboard with CR LF after each.
void CopyListBoxToClipboard(QListWidget* list);

// A modal choice among the entries, `first` selected; the chosen index, -1 when cancelled.
int ShowPicklistDialog(QWidget* parent, const std::string& caption, const std::vector<std::string>& entries, int first);

// A new list of the texts in order.
std::vector<std::string> MakeStringList(std::initializer_list<const char*> texts);

} // namespace korval
