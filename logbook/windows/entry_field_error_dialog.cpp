#include "logbook/windows/entry_field_error_dialog.h"

#include <QObject>
#include <QVariant>

#include "logbook/entry_field_errors.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

namespace korval {

void ShowEntryFieldError(QObject* sender, int errorCode, const std::string& message)
{
    std::string lo, hi;
    if (sender) {
        lo = ToWin1252(sender->property("RangeLo").toString());
        hi = ToWin1252(sender->property("RangeHi").toString());
    }
    MessageDlg(EntryFieldErrorText(errorCode, message, lo, hi), TMsgDlgType::mtError, mbOK);
}

} // namespace korval
