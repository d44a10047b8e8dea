#include "app/main_form_rules.h"
#include "logbook/entry_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace korval;

TEST(MainFormRules, CommandLineSwitchesAndFirstParameter)
{
    auto cl = ParseCommandLine({"MY.KVL", "/f", "/S", "DX de X", "/Q"});
    EXPECT_EQ(cl.firstParam, "MY.KVL");
    EXPECT_TRUE(cl.flagF);
    EXPECT_TRUE(cl.hasS);
    EXPECT_EQ(cl.argS, "DX de X");
    cl = ParseCommandLine({"/S"}); // no argument follows
    EXPECT_FALSE(cl.hasS);
    EXPECT_EQ(cl.firstParam, "");
    cl = ParseCommandLine({"/home/op/LOG.KVL", "/F"}); // an absolute path is no switch
    EXPECT_TRUE(cl.flagF);
    EXPECT_EQ(cl.firstParam, "/home/op/LOG.KVL");
}

TEST(MainFormRules, StartLogAndCountdown)
{
    EXPECT_EQ(ChooseStartLog("A.KVL", "B.KVL", "D.KVL"), "A.KVL");
    EXPECT_EQ(ChooseStartLog("", "B.KVL", "D.KVL"), "B.KVL");
    EXPECT_EQ(ChooseStartLog("", "<none>", "D.KVL"), "");
    EXPECT_EQ(ChooseStartLog("", "", "D.KVL"), "D.KVL");

    TAutoSaveCountdown c;
    EXPECT_FALSE(c.Start(0));
    EXPECT_FALSE(c.running());
    ASSERT_TRUE(c.Start(1));
    std::vector<std::string> texts;
    bool due = false;
    while (!due) {
        due = c.Tick();
        texts.push_back(c.Text());
    }
    EXPECT_EQ(texts.size(), 12u);
    EXPECT_EQ(texts.front(), "Modified[11]");
    EXPECT_EQ(texts.back(), "Modified[0]");
    EXPECT_EQ(QsoModeText(emRealTime), "Add real-time");
    EXPECT_EQ(QsoModeText(emBrowse), "Filter Active");
    EXPECT_EQ(QsoModeText(emIdle), "");
}
