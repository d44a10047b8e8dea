// The radio definition editor offscreen: edits reaching the files, the refusal of command texts
// that are no hexadecimal bytes, and the test bench against simulated radios.
#include "station/windows/radio_db.h"

#include "entry/windows/ovc_numeric_field.h"
#include "entry/windows/ovc_simple_field.h"
#include "grids/windows/ovc_notebook.h"
#include "grids/windows/popup_box.h"
#include "logbook/bands_modes.h"
#include "station/radio_list.h"
#include "tests/station/windows/radio_window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>

#include <gtest/gtest.h>

using namespace korval;
using namespace korval::test;

namespace {

std::vector<std::string> Lines(const TRadioDB& db)
{
    std::vector<std::string> lines;
    for (int i = 0; i < db.LB->count(); ++i)
        lines.push_back(db.LB->item(i)->text().toStdString());
    return lines;
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

bool MessageMentions(const ScopedMessageRecorder& r, std::initializer_list<const char*> parts)
{
    for (const std::string& text : r.texts()) {
        bool all = true;
        for (const char* p : parts)
            all = all && text.find(p) != std::string::npos;
        if (all)
            return true;
    }
    return false;
}

enum TFamily { fIcom, fYaesu, fKenwood };
struct MonitorCase {
    TFamily family;
    const char* model;
    bool echoes;
};

class RadioDbMonitor : public RadioWindowFixture, public ::testing::WithParamInterface<MonitorCase> {};

TEST_P(RadioDbMonitor, ReadShowsTheExchangesAndTheReading)
{
    const MonitorCase& c = GetParam();
    switch (c.family) {
    case fIcom: StartSim<TIcomSim>(c.model); break;
    case fYaesu: StartSim<TYaesuSim>(c.model); break;
    case fKenwood: StartSim<TKenwoodSim>(c.model); break;
    }
    TRadioDB db;
    db.show();
    db.Read1->trigger();
    const std::vector<std::string> lines = Lines(db);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind(std::string(c.model) + " Date = ", 0), 0u) << lines.front();
    EXPECT_TRUE(HasLineStarting(lines, "Send: "));
    EXPECT_TRUE(HasLineStarting(lines, "Received: "));
    EXPECT_EQ(HasLineStarting(lines, "Echo: "), c.echoes);
    EXPECT_EQ(lines.back(), "Last error = 0");
    EXPECT_DOUBLE_EQ(db.F_AVFO->GetAsFloat(), 14250.0);
    EXPECT_EQ(db.NB->PageIndex(), TRadioDB::pgTest);
    EXPECT_TRUE(messages.texts().empty());
}

INSTANTIATE_TEST_SUITE_P(ThreeFamilies, RadioDbMonitor,
                         ::testing::Values(MonitorCase {fIcom, "Icom IC-7300", true},
                                           MonitorCase {fYaesu, "Yaesu FT-817", false},
                                           MonitorCase {fKenwood, "Kenwood TS-590S", false}));

using RadioDbTest = RadioWindowFixture;

TEST_F(RadioDbTest, HexCommandTextThatIsNoBytesIsRefusedNamingTheCommand)
{
    Ship(home, "Icom IC-7300");
    const std::string file = home.file("RADIOS/Icom IC-7300.rig");
    const std::string before = ReadAll(file);
    TRadioDB db;
    db.show();
    db.ShowCommand(rcReadVfoA);
    for (const char* bad : {"FEFE94E00", "FEFE94E0G3FD"}) {
        db.F_Cmd_str->SetAsString(bad);
        db.ShowCommand(rcReadMode);  // moving on is refused: the text stays to be mended
        EXPECT_EQ(db.F_CmdName->GetSelection(), rcReadVfoA + 1) << bad;
        db.Savechangesandexit1->trigger();
        EXPECT_NE(db.result(), QDialog::Accepted) << bad;
    }
    EXPECT_TRUE(MessageMentions(messages, {"Read VFO A", "odd number of hexadecimal digits"}));
    EXPECT_TRUE(MessageMentions(messages, {"Read VFO A", "not a hexadecimal digit: 'G'"}));
    EXPECT_EQ(ReadAll(file), before);

    // Switching the whole definition to hex notation checks every command, not only the shown one.
    Ship(home, "Kenwood TS-590S");
    TRadioDB kenwood;
    kenwood.show();
    kenwood.ShowRadio(kenwood.List().IndexOf("Kenwood TS-590S"));
    kenwood.F_RCommandFormat->SetSelection(1);  // "Hex"
    kenwood.Update1->trigger();
    EXPECT_TRUE(MessageMentions(messages, {"Clear Clarifier", "not a hexadecimal digit: 'R'"}));
    EXPECT_EQ(kenwood.F_CmdName->GetSelection(), rcClearClarifier + 1);
}

TEST_F(RadioDbTest, EditsOfCommandsFieldsAndModesReachTheSavedFile)
{
    Ship(home, "Kenwood TS-590S");
    Config.SetRadioModel("Kenwood TS-590S");
    TRadioDB db;
    db.show();
    db.ShowCommand(rcReadMode);
    db.F_Cmd_str->SetAsString("MD1;");
    db.ShowField(rfMode);
    db.F_Fld_pos->SetAsString("4");
    db.ShowMode(ModeFromName("FM"));
    db.F_mval_write2->SetAsString("9");
    db.F_mval_read2->SetAsString("");
    db.F_mval_wprefer2->setChecked(true);
    db.ShowCommand(rcInit);  // each moves on after storing what was shown
    db.ShowField(rfVfoA);
    db.ShowMode(1);
    db.F_RModel->SetText("Kenwood TS-2000");  // a new model name renames the file
    db.Savechangesandexit1->trigger();
    ASSERT_EQ(db.result(), QDialog::Accepted);

    EXPECT_FALSE(std::filesystem::exists(home.file("RADIOS/Kenwood TS-590S.rig")));
    TRadioList list(true);
    ASSERT_EQ(list.Count(), 1);
    const TRadioDefinition& d = list.GetRadio(0);
    EXPECT_EQ(list.Name(0), "Kenwood TS-2000");
    EXPECT_EQ(d.Model, "Kenwood TS-2000");
    EXPECT_EQ(d.Commands[rcReadMode].command, "MD1;");
    EXPECT_EQ(d.Fields[rfMode].position, 4);
    EXPECT_EQ(ModeEntryText(d.Modes[static_cast<std::size_t>(ModeFromName("FM"))]), "4;4,9;Y");
    EXPECT_EQ(d.Commands[rcReadVfoA].command, "FA;");  // untouched entries stay
    EXPECT_EQ(Config.RadioModel(), "");
}

TEST_F(RadioDbTest, DeletingTheLastDefinitionLeavesAFreshNewRadio)
{
    Ship(home, "Yaesu FT-817");
    TRadioDB db;
    db.show();
    db.Delete1->trigger();
    EXPECT_EQ(db.F_RModel->GetText(), "New radio");
    EXPECT_EQ(db.windowTitle().toStdString(), "Edit radio: New radio");
    EXPECT_EQ(db.Working().Notes, "Replace name for radio!");
    db.Savechangesandexit1->trigger();
    EXPECT_FALSE(std::filesystem::exists(home.file("RADIOS/Yaesu FT-817.rig")));
    EXPECT_TRUE(std::filesystem::exists(home.file("RADIOS/New radio.rig")));
}

TEST_F(RadioDbTest, RunningRadioStopsWhileOpenAndRunsAgainAfterCancel)
{
    StartSim<TKenwoodSim>("Kenwood TS-590S");
    ASSERT_TRUE(CreateRadio());
    {
        TRadioDB db;
        EXPECT_EQ(Radio(), nullptr);
        db.show();
        db.CancelAndExitClick();
    }
    EXPECT_NE(Radio(), nullptr);
    {
        TRadioDB db;
        db.show();
        db.Savechangesandexit1->trigger();
    }
    EXPECT_EQ(Radio(), nullptr);  // saved definitions need the model chosen again
}

TEST_F(RadioDbTest, DefinitionFilesThatCannotBeUsedAreNamedWhenTheEditorOpens)
{
    Ship(home, "Icom IC-7300");
    WriteAll(home.file("RADIOS/Broken.rig"), "[GENERAL]\nMODEL=Broken\nCFMT=0\n[RC-Init]\nCSTR=FEZZ\n");
    TRadioDB db;
    EXPECT_TRUE(MessageMentions(messages, {"Broken.rig", "[RC-Init] CSTR=FEZZ"}));
    EXPECT_EQ(db.List().Count(), 1);
}

} // namespace
