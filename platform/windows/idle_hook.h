#pragma once
// The application's idle handler: called whenever the event loop has nothing left to do and is
// about to wait. Nested event loops (modal dialogs) idle too; a handler that opens one is not
// re-entered while it runs.
#include <QObject>
#include <functional>

namespace korval {

class TIdleHook : public QObject {
    Q_OBJECT
public:
    using THandler = std::function<void()>;
    explicit TIdleHook(QObject* parent = nullptr);
    ~TIdleHook() override;

    // Installs the handler (replacing any earlier one); an empty handler removes it.
    void Install(THandler handler);
    void Remove() { Install(nullptr); }
    bool installed() const { return static_cast<bool>(handler_); }

    // Runs the handler once now (what the event loop does before it waits).
    void RunIdle();

private:
    THandler handler_;
    QMetaObject::Connection conn_;
    bool running_ = false;
};

} // namespace korval
