#pragma once
// The master callsign window: the known calls that match the call being typed, in columns.
#include <QWidget>

#include <functional>
#include <string>

#include "reference/master_file.h"

class QAction;
class QListWidget;

namespace korval {

class TMasterLookup : public QWidget {
    Q_OBJECT
public:
    // fileName: KORVAL.MAS in the program directory.
    explicit TMasterLookup(std::string fileName, QWidget* parent = nullptr);
    ~TMasterLookup() override;

    // Frees what was loaded and loads the file again (reporting a missing or foreign one).
    void LoadFile();
    // The main window's idle handler calls it with the QSO window's call.
    void Search(const std::string& partial);
    // "Convert": a text list of calls into the master file, then loaded.
    void Convert1Click();
    // "Sub string": toggles the mode and searches the last call again.
    void Leftmatch1Click();

    const TMasterLookupEngine& Engine() const { return engine_; }
    QListWidget* LB = nullptr;
    QAction* Convert1 = nullptr;
    QAction* Leftmatch1 = nullptr;
    // Asks for the list to convert; empty cancels. Tests answer here.
    std::function<std::string()> AskSourceFile;
    // Told when the window goes (the main window forgets it).
    std::function<void()> OnClosed;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void LayoutColumns();
    void ShowMatches();

    std::string fileName_;
    TMasterLookupEngine engine_;
    bool shown_ = false;
};

} // namespace korval
