#pragma once
// A child window of the QSO window that is built in a library above the logbook: the program
// hands in how to create it (with the QSO window as owner) and how the main window's idle
// handler refreshes it. Without a create function its command stays disabled.
#include <functional>

class QWidget;

namespace korval {

struct TChildWindowHooks {
    std::function<QWidget*(QWidget* owner)> create;
    std::function<void(QWidget* window)> refresh;
};

} // namespace korval
