#pragma once
// The operator's messages and questions as Qt message boxes: the message handler of the windows.
#include "platform/message_dlg.h"

namespace korval {

// Shows the request modally and returns the answer (a TModalResult).
int ShowMessageBox(const TMessageRequest& req);

} // namespace korval
