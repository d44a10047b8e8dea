#include "logbook/config_record.h"
#include "logbook/windows/form_fonts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace korval;

TEST(SetFormFont, ControlsTakeTheFontOfTheirClass)
{
    TConfigRecord saved = Config;
    Config.SetFont(0, {"Arial", 9, false});
    Config.SetFont(1, {"Courier New", 11, true});
    Config.SetFont(2, {"DejaVu Sans Mono", 12, false});
    Config.SetFormScale(100);
    QWidget form;
    auto* lay = new QVBoxLayout(&form);
    auto named = [&](QWidget* w, const char* name) { w->setObjectName(name); lay->addWidget(w); return w; };
    auto* combo = named(new QComboBox, "F_combo");
    auto* edit = named(new QLineEdit, "F_call");
    auto* table = named(new QTableWidget(2, 2), "DG");
    auto* list = named(new QListWidget, "LB");
    auto* memo = named(new QPlainTextEdit, "Memo");
    auto* label = named(new QLabel("Call"), "Label1");
    auto* unnamed = new QLineEdit;
    lay->addWidget(unnamed);
    SetFormFont(&form);

    EXPECT_EQ(FontClassOf(combo), 0);
    EXPECT_EQ(FontClassOf(edit), 1);
    EXPECT_EQ(FontClassOf(table), 2);
    EXPECT_EQ(FontClassOf(list), 3);
    EXPECT_EQ(FontClassOf(memo), 4);
    EXPECT_EQ(FontClassOf(label), 6);
    EXPECT_EQ(edit->font().pointSize(), 11);
    EXPECT_TRUE(edit->font().bold());
    EXPECT_EQ(combo->font().pointSize(), 11);
    EXPECT_EQ(list->font().pointSize(), 12);
    EXPECT_EQ(memo->font().pointSize(), 12);
    EXPECT_EQ(label->font().pointSize(), 9);
    EXPECT_EQ(edit->height() % 2, 0);
    EXPECT_EQ(edit->minimumHeight(), edit->maximumHeight());
    EXPECT_NE(unnamed->font().pointSize(), 11); // only named controls
    Config = saved;
}

TEST(SetFormFont, EditsHoldALineOfTheirTextAtEverySize)
{
    TConfigRecord saved = Config;
    Config.SetFormScale(100);
    for (int size = 6; size <= 20; ++size) {
        for (bool bold : {false, true}) {
            Config.SetFont(1, {"Arial", size, bold});
            QWidget form;
            auto* edit = new QLineEdit(&form);
            edit->setObjectName("F_call");
            SetFormFont(&form);
            EXPECT_GE(edit->height(), edit->fontMetrics().height() + 4) << size << (bold ? " bold" : "");
            EXPECT_EQ(edit->height() % 2, 0) << size;
        }
    }
    Config = saved;
}
