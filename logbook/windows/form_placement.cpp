#include "logbook/windows/form_placement.h"

#include "platform/windows/win1252.h"

#include <QFont>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace korval {

namespace {

QPointer<QWidget> mainWindow;

TFormRect RectOf(const QWidget* w) { return {w->x(), w->y(), w->width(), w->height()}; }

void ApplyRect(QWidget* w, const TFormRect& r)
{
    if (r.Width != w->width() || r.Height != w->height())
        w->resize(r.Width, r.Height);
    if (r.Left != w->x() || r.Top != w->y())
        w->move(r.Left, r.Top);
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
