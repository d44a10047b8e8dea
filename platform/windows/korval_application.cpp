#include "platform/windows/korval_application.h"

#include <exception>

#include "platform/message_dlg.h"
#include "platform/windows/message_box.h"

namespace korval {

std::string AppExceptionText(const std::string& message)
{
    return "An exception occured!\r" + message;
}

bool RunShowingExceptions(const std::function<void()>& fn)
{
    std::string message;
    try {
        fn();
        return true;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "Unknown error";
    }
    // Shown outside the catch block so that a nested event loop runs with no exception active.
    MessageDlg(AppExceptionText(message), TMsgDlgType::mtError, mbOK);
    return false;
}

TKorvalApplication::TKorvalApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // From here on the engines' messages and questions are message boxes.
    SetMessageHandler(ShowMessageBox);
}

bool TKorvalApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    RunShowingExceptions([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace korval
