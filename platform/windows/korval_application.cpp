#include "platform/windows/korval_application.h"

#include <clocale>
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
    // QApplication has just set the C library's locale from the desktop. Numbers in files and on
    // the wire are written and read with a point by routines of our own whatever it says, but a
    // library loaded later (a callbook, the sound system) may still use printf or strtod: their
    // numbers must not change with the desktop either. Windows show numbers through the program's
    // own international settings, not through the C library.
    std::setlocale(LC_NUMERIC, "C");
}

bool TKorvalApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    RunShowingExceptions([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace korval
