#pragma once
// The program's help: the README shown in a window of its own, so help works on every desktop
// whether or not it has a program for Markdown files. A search line finds a word in it, and a
// short page tells how the window is used.
#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace korval {

class THelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    // Loads a Markdown file; a missing file shows a line that says so.
    void LoadFile(const std::string& path);
    QTextBrowser* Browser() const { return browser_; }
    QLineEdit* SearchText() const { return search_; }

    // Puts the cursor into the search line ("Search for Help On...").
    void StartSearch();
    // Selects the next place of the search text, from the top again after the last one; false
    // (and says so under the line) when the text is nowhere.
    bool FindNext();
    // Shows how the help window is used ("How to Use Help"); Contents shows the guide again.
    void ShowHowToUse();
    void ShowContents();

private:
    QTextBrowser* browser_;
    QLineEdit* search_;
    QLabel* found_;
    std::string path_;
};

// The help file the program shows (the README); set once at start-up.
void SetHelpFile(const std::string& path);
const std::string& HelpFile();
// Opens the one help window of the program over parent, or brings it to the front.
THelpWindow* ShowHelp(QWidget* parent);

} // namespace korval
