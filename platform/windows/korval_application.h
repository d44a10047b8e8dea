#pragma once
// The program's application object: it shows the engines' messages as message boxes, and an
// exception that escapes an event handler is shown to the operator ("An exception occured!" and
// its message) and the program goes on.
#include <QApplication>
#include <functional>
#include <string>

namespace korval {

// The text shown for an escaped exception.
std::string AppExceptionText(const std::string& message);

// Runs fn; an exception it throws is shown through MessageDlg (error, OK) and false is returned.
bool RunShowingExceptions(const std::function<void()>& fn);

class TKorvalApplication : public QApplication {
public:
    TKorvalApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace korval
