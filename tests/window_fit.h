#pragma once
// Checks that a window opens at a size that shows all its controls: every visible control lies
// inside the window and is at least as large as its size hint. Shared by the test executables;
// each folder's test opens its own dialogs and windows and hands them to ExpectControlsFit.
#include <QApplication>
#include <QLayout>
#include <QMenuBar>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace korval::test {

inline std::string WidgetName(const QWidget* w)
{
    std::string name = w->metaObject()->className();
    if (!w->objectName().isEmpty())
        name += " " + w->objectName().toStdString();
    return name;
}

// Shows the window (as the program opens it: its own size, no resize by the test), then checks
// each visible control. Controls inside scroll areas or other controls' internals are left to
// their owner: only the window's direct layout tree and its own custom controls are checked.
// With controlsApart, also no two controls under one parent may overlap (not yet asked of every window).
inline void ExpectControlsFit(QWidget* window, const std::string& what, bool controlsApart = false)
{
    ASSERT_NE(window, nullptr) << what;
    if (window->layout())
        window->layout()->activate();
    if (!window->isVisible())
        window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window)) << what;
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    const QRect inside = window->rect();
    EXPECT_FALSE(inside.isEmpty()) << what << " opens with no size";
    const auto children = window->findChildren<QWidget*>();
    // The checked controls under each parent, to find two that lie on each other.
    std::map<QWidget*, std::vector<QWidget*>> siblings;
    for (QWidget* w : children) {
        if (w->isWindow() || !w->isVisibleTo(window))
            continue;
        // Parts of a compound control (a scroll bar's arrows, a viewport) are their parent's affair.
        if (w->parentWidget() != window && !w->parentWidget()->layout())
            continue;
        const QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
        if (controlsApart && inside.intersects(r))
            siblings[w->parentWidget()].push_back(w);
        // A control wholly outside the window (the rows of a smaller window size) must be out of
        // reach; one the window shows must be shown whole.
        if (!inside.intersects(r)) {
            EXPECT_FALSE(w->isEnabled() && w->focusPolicy() != Qt::NoFocus)
                << what << ": " << WidgetName(w) << " lies outside the window and still takes the focus";
            continue;
        }
        EXPECT_TRUE(inside.contains(r)) << what << ": " << WidgetName(w) << " at (" << r.x() << "," << r.y() << " "
                                        << r.width() << "x" << r.height() << ") lies outside the window's "
                                        << inside.width() << "x" << inside.height();
        const QSize hint = w->sizeHint();
        if (!hint.isValid() || qobject_cast<QMenuBar*>(w))
            continue;
        const QSizePolicy p = w->sizePolicy();
        // A width the window fixes (a field sized to its characters) is the window's own choice.
        if (p.horizontalPolicy() != QSizePolicy::Ignored && w->minimumWidth() != w->maximumWidth()) {
            EXPECT_GE(w->width(), hint.width()) << what << ": " << WidgetName(w) << " is narrower than its hint";
        }
        if (w->minimumHeight() == w->maximumHeight()) {
            // A height the form's font fixes (the configured font's rule for edits and boxes)
            // must still hold one line of the control's text inside its border.
            EXPECT_GE(w->height(), w->fontMetrics().height() + 4)
                << what << ": " << WidgetName(w) << " is too low for a line of its text";
        } else if (p.verticalPolicy() != QSizePolicy::Ignored) {
            EXPECT_GE(w->height(), hint.height()) << what << ": " << WidgetName(w) << " is lower than its hint";
        }
    }
    // A field running under its neighbour is hidden in part however large the window is.
    for (const auto& [parent, ws] : siblings) {
        for (std::size_t i = 0; i < ws.size(); ++i) {
            for (std::size_t j = i + 1; j < ws.size(); ++j) {
                const QRect a = ws[i]->geometry();
                const QRect b = ws[j]->geometry();
                EXPECT_FALSE(a.intersects(b))
                    << what << ": " << WidgetName(ws[i]) << " at (" << a.x() << "," << a.y() << " " << a.width() << "x"
                    << a.height() << ") overlaps " << WidgetName(ws[j]) << " at (" << b.x() << "," << b.y() << " "
                    << b.width() << "x" << b.height() << ")";
            }
        }
    }
}

} // namespace korval::test
