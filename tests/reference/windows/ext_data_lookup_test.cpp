// The callsign / manager lookup window offscreen, against the fake callbook library and a
// manager program written by the test.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QPointer>
#include <QTest>

#include <filesystem>
#include <fstream>

#include "entry/windows/ovc_simple_field.h"
#include "logbook/config_record.h"
#include "reference/callbook_lookup.h"
#include "reference/windows/ext_data_lookup.h"
#include "test_support.h"
#include "window_fit.h"

namespace korval {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct FakeQso : TExtDataQsoLink {
    std::string call, manager;
    bool readOnly = false;
    int addressEdits = 0, activations = 0;
    std::string QsoCallsign() const override { return call; }
    bool QsoReadOnly() const override { return readOnly; }
    std::string QsoManager() const override { return manager; }
    void SetQsoManager(const std::string& c) override { manager = c; }
    void EditManagerAddress(bool startModified) override { addressEdits += startModified ? 1 : 100; }
    void ActivateQsoWindow() override { ++activations; }
};

// A Korval home whose EXTDATA folder holds the fake library as the Octavia library.
class ExtDataLookupWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = Config;
        FreeCallbookDll();
        fs::create_directories(dir.file("EXTDATA"));
        fs::copy_file(fs::path(KORVAL_FAKE_CALLBOOK_DIR) / "fake_callbook.so", dir.file("EXTDATA/octavia32.so"));
        Config.SetCallbookKind(5);
        Config.SetCallbookPath("/cd");
        Config.SetQslManagerProgramOn(false);
    }
    void TearDown() override
    {
        FreeCallbookDll();
        Config = saved_;
    }
    std::string Program(const std::string& body)
    {
        const std::string p = dir.file("mgr.sh");
        std::ofstream(p) << "#!/bin/sh\n" << body;
        fs::permissions(p, fs::perms::owner_all);
        return p;
    }
    static std::string Text(TOvcSimpleField* f) { return f->GetAsString(); }

    test::TempDir dir;
    test::ScopedHome home{dir.path()};
    TConfigRecord saved_;
    FakeQso qso;
};

TEST_F(ExtDataLookupWindow, CallLookupFindsTheManagerAndItsAddress)
{
    auto* w = new TExtDataLookup(&qso);
    QPointer<TExtDataLookup> alive(w);
    test::ExpectControlsFit(w, "callsign lookup");
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Callsign / Mgr lookup"));
    qso.call = "W1ABC";

    w->LookupCall("w1abc", false);
    EXPECT_EQ(Text(w->F_Call), "W1ABC");
    EXPECT_EQ(Text(w->F_mgr), "W1ABC/4"); // the stop after the portable suffix is not the manager's
    EXPECT_EQ(w->Lines(), (Lines{"Call W1ABC in /cd/", "W1ABC via W1ABC/4.", "----Address for W1ABC/4",
                                 "Call W1ABC/4 in /cd/", "W1ABC via W1ABC/4."}));
    ASSERT_TRUE(w->SetQSLManager1->isEnabled());
    w->SetQSLManager1Click();
    EXPECT_EQ(qso.manager, "W1ABC/4");

    // A manager is looked up for its address only.
    w->LookupCall("K1MGR", true);
    EXPECT_EQ(Text(w->F_Call), "");
    EXPECT_EQ(Text(w->F_mgr), "K1MGR");
    EXPECT_EQ(w->Lines(), (Lines{"Call K1MGR in /cd/", "W1ABC via W1ABC/4."}));
    EXPECT_FALSE(w->SetQSLManager1->isEnabled()); // the looked-up call is not the QSO's

    // An empty call beeps and leaves everything as it was.
    int beeps = 0;
    w->OnBeep = [&] { ++beeps; };
    w->LookupCall("   ", false);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Text(w->F_mgr), "K1MGR");
    EXPECT_EQ(w->Lines().size(), 2u);
    w->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ExtDataLookupWindow, SetManagerFollowsTheQsoWindow)
{
    TExtDataLookup w(&qso);
    w.show();
    qso.call = "W1ABC";
    qso.readOnly = true;
    w.LookupCall("W1ABC", false);
    EXPECT_FALSE(w.SetQSLManager1->isEnabled());
    w.SetQSLManager1Click();
    EXPECT_EQ(qso.manager, "");

    qso.readOnly = false;
    Config.SetCallbookKind(0); // no library: nothing names a manager
    w.LookupCall("W1ABC", false);
    EXPECT_TRUE(w.Lines().empty());
    EXPECT_FALSE(w.SetQSLManager1->isEnabled());
}

TEST_F(ExtDataLookupWindow, ProgramLinesComeAfterTheLibrarysAndAMissingLibraryIsALine)
{
    fs::remove(dir.file("EXTDATA/octavia32.so"));
    Config.SetCallbookKind(1);
    const std::string prog = Program("echo banner\necho \"$1 via K2XYZ\"\n");
    Config.SetQslManagerProgram(prog);
    Config.SetQslManagerProgramOn(true);
    TExtDataLookup w(&qso);
    w.LookupCall("W1AW;ls", false);
    EXPECT_EQ(Text(w.F_mgr), "K2XYZ");
    EXPECT_EQ(w.Lines(), (Lines{"DLL not found: AMSOFT32.DLL", "----QSL info from: " + prog, "W1AW;LS via K2XYZ",
                                "----Address for K2XYZ", "DLL not found: AMSOFT32.DLL"}));
}

TEST_F(ExtDataLookupWindow, AutomaticUpdateLooksUpEachNewQsoCallOnce)
{
    TExtDataLookup w(&qso);
    w.show();
    qso.call = "W1ABC";
    w.AutoUpdate(); // off: nothing
    EXPECT_TRUE(w.Lines().empty());

    w.AutomaticUpdate1->trigger(); // ticking it looks up at once
    EXPECT_EQ(Text(w.F_Call), "W1ABC");
    w.LB->clear();
    w.AutoUpdate();
    EXPECT_TRUE(w.Lines().empty()) << "the same call again is not looked up";
    qso.call = "k9xyz";
    w.AutoUpdate();
    EXPECT_EQ(Text(w.F_Call), "K9XYZ");
    EXPECT_FALSE(w.Lines().empty());
    qso.call = "";
    w.LB->clear();
    w.AutoUpdate();
    EXPECT_TRUE(w.Lines().empty());
}

TEST_F(ExtDataLookupWindow, KeysMenuCommandsAndClosing)
{
    Config.SetLookupFullSize(true);
    Config.SetLookupAutoUpdate(false);
    bool closed = false;
    auto* w = new TExtDataLookup(&qso);
    w->OnClosed = [&] { closed = true; };
    w->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    ASSERT_TRUE(w->Panel->isVisible());

    // Enter in the manager field looks the manager up; in the call field, the call.
    w->F_mgr->SetAsString("k1mgr");
    w->F_mgr->setFocus();
    QTest::keyClick(w->F_mgr, Qt::Key_Return);
    EXPECT_EQ(w->LastCall(), "K1MGR");
    w->F_Call->SetAsString("w1abc");
    w->F_Call->setFocus();
    QTest::keyClick(w->F_Call, Qt::Key_Return);
    EXPECT_EQ(w->LastCall(), "W1ABC");

    // The address copy: all lines to the clipboard, the QSO's own call as manager when none.
    qso.call = "W1ABC";
    w->CopytoQSLManagerAddress1Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "Call W1ABC in /cd/\r\nW1ABC via W1ABC/4.\r\n----Address for W1ABC/4\r\nCall W1ABC/4 in /cd/\r\n"
              "W1ABC via W1ABC/4.\r\n");
    EXPECT_EQ(qso.manager, "W1ABC");
    EXPECT_EQ(qso.addressEdits, 1);
    QTest::keyClick(w->LB, Qt::Key_F9);
    EXPECT_EQ(qso.activations, 1);

    const int before = w->height();
    w->FullSize1->trigger();
    EXPECT_FALSE(w->Panel->isVisible());
    EXPECT_LT(w->height(), before);
    w->AutomaticUpdate1->setChecked(true);
    QTest::keyClick(w->LB, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(closed);
    EXPECT_FALSE(Config.LookupFullSize());
    EXPECT_TRUE(Config.LookupAutoUpdate());
    EXPECT_GT(Config.Placement(psExt).Width, 0);
}

} // namespace
} // namespace korval
