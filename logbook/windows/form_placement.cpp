#include "logbook/windows/form_placement.h"

#include "platform/windows/win1252.h"

#include <memory>

#include <QFont>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace korval {

namespace {

QPointer<QWidget> mainWindow;

TFormRect RectOf(const QWidget* w) { return {w->x(), w->y(), w->width(), w->height()}; }

// A window placed or sized while it is being shown has no frame yet: Qt then puts its client
// area at the place, the window manager adds the frame above it, and each session would find the
// window a title bar higher than it was left. Once the frame is known the place is given again.
void MoveFrameWhenKnown(QWidget* w, QPoint framePos)
{
    auto* timer = w->findChild<QTimer*>(QStringLiteral("PlacementFrameWait"), Qt::FindDirectChildrenOnly);
    if (!timer) {
        timer = new QTimer(w);
        timer->setObjectName(QStringLiteral("PlacementFrameWait"));
        timer->setInterval(20);
    }
    timer->disconnect();
    auto tries = std::make_shared<int>(100);
    QObject::connect(timer, &QTimer::timeout, w, [w, timer, framePos, tries] {
        if (w->frameGeometry().topLeft() != w->geometry().topLeft()) {
            // Only the slip itself is mended: the client area where the frame belongs.
            if (w->geometry().topLeft() == framePos)
                w->move(framePos);
            timer->stop();
        } else if (--*tries <= 0) {
            timer->stop();
        }
    });
    timer->start();
}

void ApplyRect(QWidget* w, const TFormRect& r)
{
    if (r.Width != w->width() || r.Height != w->height())
        w->resize(r.Width, r.Height);
    const bool window = w->isWindow();
    // A window not made yet takes the place as its frame's only from a move, even to where it is.
    if (r.Left != w->x() || r.Top != w->y() || (window && !w->testAttribute(Qt::WA_WState_Created)))
        w->move(r.Left, r.Top);
    // Qt loses that meaning when the window is placed or sized again while it is being shown.
    if (window && w->frameGeometry().topLeft() == w->geometry().topLeft())
        MoveFrameWhenKnown(w, QPoint(r.Left, r.Top));
}

int MainWidth() { return mainWindow ? mainWindow->width() : 0; }
int MainHeight() { return mainWindow ? mainWindow->height() : 0; }

} // namespace

void NoteScreenMetrics()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    TScreenMetrics m;
    m.PixelsPerInch = static_cast<int>(screen->logicalDotsPerInch() + 0.5);
    m.Width = screen->geometry().width();
    m.Height = screen->geometry().height();
    SetScreenMetrics(m);
}

void SetPlacementMainWindow(QWidget* w) { mainWindow = w; }
QWidget* PlacementMainWindow() { return mainWindow; }

void SaveFormPlacement(QWidget* form, int slot)
{
    if (form->isMaximized() || form->isMinimized())
        form->showNormal();
    TFormPlacement p = Config.Placement(slot);
    p.Top = form->y();
    p.Left = form->x();
    p.Height = form->height();
    p.Width = form->width();
    Config.SetPlacement(slot, p);
}

bool RestoreFormPlacement(QWidget* form, int slot)
{
    TFormRect r = RectOf(form);
    bool restored = RestoreRectFromSlot(Config, slot, r, MainHeight());
    ApplyRect(form, r);
    form->setProperty("Tag", slot + 1);
    KeepFormOnScreen(form);
    return restored;
}

void KeepFormOnScreen(QWidget* form)
{
    TFormRect r = RectOf(form);
    KeepRectOnScreen(r, ScreenMetrics(), MainWidth(), MainHeight());
    ApplyRect(form, r);
}

void ApplyConfiguredFont(QFont& font, int index)
{
    TConfigFont f = Config.Font(index);
    font.setFamily(FromWin1252(f.Name));
    if (f.Size > 0)
        font.setPointSize(f.Size);
    font.setBold(f.Bold);
    // Fixed-pitch names of the other platform seldom exist here: ask for any fixed-pitch font.
    if (f.Name == "Fixedsys" || f.Name == "Courier New" || f.Name == "Courier")
        font.setStyleHint(QFont::TypeWriter);
    else
        font.setStyleHint(QFont::AnyStyle);
}

} // namespace korval
