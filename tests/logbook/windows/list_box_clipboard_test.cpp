#include "logbook/windows/list_box_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <gtest/gtest.h>

using namespace korval;

TEST(ListBoxClipboard, SelectedLinesOrAllOfThem)
{
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::MultiSelection);
    list.addItems({"one", "two", "three"});
    CopyListBoxToClipboard(&list);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("one\r\ntwo\r\nthree\r\n"));
    list.item(2)->setSelected(true);
    CopyListBoxToClipboard(&list);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("three\r\n"));
}
