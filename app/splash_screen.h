#pragma once
// The splash window shown while the program loads; a second instance is the About box.
#include <QDialog>

class QLabel;
class QPushButton;

namespace korval {

class TSplashScreen : public QDialog {
    Q_OBJECT
public:
    explicit TSplashScreen(QWidget* parent = nullptr);

    QLabel* VersionLabel;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Image1;
    QLabel* Label_1;
    QLabel* Label_2;
    QLabel* Label_3;
    QLabel* Label_4;
    QLabel* Label_5;
    QPushButton* OkBtn;

    // The first double-click on the image does nothing visible; later ones show the credits.
    void Image1DblClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool clickedOnce_ = false;
};

// The splash window of the start-up (null when none is shown).
TSplashScreen* StartupSplash();
// Creates and shows the start-up splash without its OK button, painted at once.
void ShowStartupSplash();
// Frees the start-up splash (when the main window is first shown).
void FreeStartupSplash();

} // namespace korval
