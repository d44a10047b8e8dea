#pragma once
// The program's start-up and shut-down order, run inside an existing QApplication.
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace korval {

struct TStartupOptions {
    std::vector<std::string> params;  // command-line parameters without the program name
    std::string shippedDataDir;       // where the shipped default files are
    bool showSplash = true;
    std::string helpFile;             // the README
};

// Single-instance guard, first-start copy of the shipped files, splash, main window and progress
// window, the event loop, then the clean-up after it. Returns the exit code: 0 for a normal end
// and for a second start that woke the first one, non-zero when the start-up failed.
int RunKorval(const TStartupOptions& options);

} // namespace korval
