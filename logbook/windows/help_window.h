#pragma once
// The program's help: the README shown in a window of its own, so help works on every desktop
// whether or not it has a program for Markdown files.
#include <QDialog>
#include <string>

class QTextBrowser;

namespace korval {

class THelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    // Loads a Markdown file; a missing file shows a line that says so.
    void LoadFile(const std::string& path);
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// The help file the program shows (the README); set once at start-up.
void SetHelpFile(const std::string& path);
const std::string& HelpFile();
// Opens the one help window of the program over parent, or brings it to the front.
THelpWindow* ShowHelp(QWidget* parent);

} // namespace korval
