#include "logbook/windows/form_fonts.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTableView>

#include <algorithm>
#include <QTextEdit>

#include "logbook/config_record.h"
#include "logbook/windows/form_placement.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {
bool Is(const QWidget* w, const char* className)
{
    return w->inherits(className);
}

int EvenUp(int h)
{
    return (h % 2) ? h + 1 : h;
}
} // namespace

int FontClassOf(const QWidget* w)
{
    // The program's own controls first (they may derive from Qt's), then Qt's stand-ins.
    if (Is(w, "korval::TMyGrid"))
        return 5;
    if (Is(w, "korval::TOvcCheckList") || Is(w, "korval::TOvcVirtualListBox"))
        return 4;
    if (Is(w, "korval::TCustomPopupBox") || Is(w, "korval::TOvcBaseEntryField"))
        return 1;
    if (Is(w, "korval::TOvcTable"))
        return 2;
    if (qobject_cast<const QComboBox*>(w))
        return 0;
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w))
        return 1;
    if (qobject_cast<const QTableView*>(w))
        return 2;
    if (qobject_cast<const QListView*>(w))
        return 3;
    if (qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w))
        return 4;
    return 6;
}

int FontIndexOfClass(int fontClass)
{
    if (fontClass >= 0 && fontClass <= 2)
        return 1;
    if (fontClass >= 3 && fontClass <= 5)
        return 2;
    return 0;
}

void SetFormFont(QWidget* form)
{
    if (!form)
        return;
    const QList<QWidget*> controls = form->findChildren<QWidget*>();
    for (QWidget* w : controls) {
        if (w->objectName().isEmpty() || Is(w, "korval::TGlobe"))
            continue;
        // Parts of composite Qt widgets (viewports, scroll bars) follow their owner.
        if (!w->parentWidget() || (w->parentWidget() != form && !w->parentWidget()->objectName().size()))
            continue;
        int cls = FontClassOf(w);
        TConfigFont cf = Config.Font(FontIndexOfClass(cls));
        QFont f = w->font();
        if (!cf.Name.empty())
            f.setFamily(FromWin1252(cf.Name));
        if (cf.Size > 0)
            f.setPointSize(cf.Size);
        f.setBold(cf.Bold);
        w->setFont(f);
        int textHeight = QFontMetrics(f).height();
        if (cls == 0)
            w->setFixedHeight(EvenUp(textHeight));
        else if (cls == 1)
            // A quarter more than the text, but never less than a line inside a two-pixel border:
            // some font sizes' rounding leave a quarter short of it.
            w->setFixedHeight(EvenUp(std::max(textHeight * 126 / 100, textHeight + 4)));
        else if (cls == 2)
            if (auto* table = qobject_cast<QTableView*>(w))
                table->verticalHeader()->setDefaultSectionSize(textHeight * 150 / 100);
    }
    int scale = Config.FormScale();
    if (scale > 0 && scale != 100)
        form->resize(form->width() * scale / 100, form->height() * scale / 100);
    for (QLabel* l : form->findChildren<QLabel*>())
        l->adjustSize();
    for (QWidget* w : controls)
        if (Is(w, "korval::TMyGrid"))
            QMetaObject::invokeMethod(w, "LayoutColumns");
}

void ScaleAllForms(int oldScale, QWidget* mainWindow)
{
    if (oldScale <= 0)
        return;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w == mainWindow || !w->isVisible() || (type != Qt::Window && type != Qt::Dialog))
            continue;
        w->resize(w->width() * 100 / oldScale, w->height() * 100 / oldScale);
        SetFormFont(w);
        KeepFormOnScreen(w);
    }
}

void FitComboBoxes(QWidget* form)
{
    for (QComboBox* c : form->findChildren<QComboBox*>())
        c->setFixedHeight(std::max(c->height(), c->sizeHint().height()));
}

} // namespace korval
