#pragma once
// The CW keyboard: typed characters go to the CW sender, the function keys send the CW macros,
// and a panel shows the text still to be sent. One window at a time.
//
// What the QSO window uses: Open (its CW Keyboard command: creates the single window or brings
// it up, builds its function-key bar and opens the keying port), Instance (null while closed),
// SendFunctionKey (F1..F8 with special keys on), CloseWindow (when the QSO window goes).
#include <QWidget>

#include <functional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace korval {

class TButtonFrame;
class TQSOForm;

class TMorseKb : public QWidget {
    Q_OBJECT
public:
    // The window, or null while none is open.
    static TMorseKb* Instance();
    // Opens the one window over owner (created when missing, its function-key bar built),
    // opens the keying port (telling the operator when it cannot), and brings it up.
    static TMorseKb* Open(QWidget* owner);
    static void CloseWindow();
    // How the window finds the QSO window (Enter QSO, Switch to QSO Window, the macros).
    static void SetQsoWindowProvider(std::function<TQSOForm*()> provider);

    // Binds the function-key bar to the CW macros and shows it as configured.
    void BuildFunctionKeys();
    // Expands CW macro index (1..16), upper-cases it, adds a blank and queues it.
    void SendFunctionKey(int index);

    // Pop-up menu commands.
    void Settings1Click();
    void StopSending1Click();
    void EnterQSO1Click();
    void Slower1Click();
    void Faster1Click();
    void SwitchToQSO1Click();
    void ShowFunctionKeys1Click();
    void Help1Click();

    QLabel* KbInp = nullptr;
    TButtonFrame* ButtonFrame = nullptr;
    QMenu* FormPopUp = nullptr;
    QAction *Help1 = nullptr, *Settings1 = nullptr, *StopSending1 = nullptr, *EnterQSO1 = nullptr,
            *Slower1 = nullptr, *Faster1 = nullptr, *SwitchToQSO1 = nullptr, *ShowFunctionKeys1 = nullptr,
            *EditFunctionKeys1 = nullptr;
    // "CW Keyboard 20 WPM".
    QString CaptionText() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    explicit TMorseKb(QWidget* owner);
    ~TMorseKb() override;
    void UpdateCaption();
    void ShowMarquee();
    void ChangeSpeeds(int step);

    QTimer* marquee_ = nullptr;
};

} // namespace korval
