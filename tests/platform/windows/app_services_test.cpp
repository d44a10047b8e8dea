#include "platform/windows/idle_hook.h"
#include "platform/windows/korval_application.h"
#include "platform/message_dlg.h"
#include "platform/shipped_defaults.h"
#include "platform/windows/window_message.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>

#include "test_support.h"

using namespace korval;

namespace {
class Receiver : public QObject {
public:
    std::vector<std::tuple<unsigned, std::intptr_t, std::intptr_t>> got;
    bool event(QEvent* e) override
    {
        if (e->type() == TWindowMessageEvent::EventType()) {
            auto* m = static_cast<TWindowMessageEvent*>(e);
            got.emplace_back(m->msg(), m->wParam(), m->lParam());
            return true;
        }
        return QObject::event(e);
    }
};
// Runs a real event loop (which waits for events, unlike QTest::qWait) for ms milliseconds.
void SpinLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

TEST(WindowMessage, PostedMessagesArriveInOrderWithTheirParameters)
{
    Receiver r;
    EXPECT_TRUE(PostWindowMessage(&r, WM_USER + 1, 12));
    EXPECT_TRUE(PostWindowMessage(&r, WM_USER + 2, 5, 777));
    EXPECT_TRUE(r.got.empty()); // nothing until the loop runs
    QCoreApplication::sendPostedEvents(&r);
    ASSERT_EQ(r.got.size(), 2u);
    EXPECT_EQ(r.got[0], std::make_tuple(WM_USER + 1, std::intptr_t(12), std::intptr_t(0)));
    EXPECT_EQ(r.got[1], std::make_tuple(WM_USER + 2, std::intptr_t(5), std::intptr_t(777)));
    EXPECT_FALSE(PostWindowMessage(nullptr, WM_USER));
}

TEST(IdleHook, RunsWhenTheLoopWaitsAndNotWhenRemoved)
{
    TIdleHook hook;
    int calls = 0;
    hook.Install([&] { ++calls; });
    SpinLoop(50);
    EXPECT_GT(calls, 0);
    hook.Remove();
    int before = calls;
    SpinLoop(50);
    EXPECT_EQ(calls, before);
}

TEST(IdleHook, HandlerThatRunsANestedLoopIsNotReentered)
{
    TIdleHook hook;
    int depth = 0, maxDepth = 0, calls = 0;
    hook.Install([&] {
        ++calls;
        maxDepth = std::max(maxDepth, ++depth);
        if (calls == 1)
            SpinLoop(30); // a modal dialog would spin a loop like this
        --depth;
    });
    SpinLoop(80);
    EXPECT_EQ(maxDepth, 1);
    EXPECT_GT(calls, 1);
}

TEST(IdleHook, ExceptionOfTheHandlerIsShownAndIdleGoesOn)
{
    ScopedMessageRecorder rec;
    TIdleHook hook;
    int calls = 0;
    hook.Install([&] {
        if (++calls == 1)
            throw std::runtime_error("Disk full");
    });
    SpinLoop(50);
    EXPECT_GT(calls, 1);
    EXPECT_EQ(rec.texts(), std::vector<std::string>{"An exception occured!\rDisk full"});
}

TEST(AppException, EscapedExceptionIsShownAndTheProgramGoesOn)
{
    ScopedMessageRecorder rec;
    EXPECT_FALSE(RunShowingExceptions([] { throw std::runtime_error("Disk full"); }));
    EXPECT_FALSE(RunShowingExceptions([] { throw 42; }));
    EXPECT_TRUE(RunShowingExceptions([] {}));
    ASSERT_EQ(rec.messages().size(), 2u);
    EXPECT_EQ(rec.messages()[0].text, "An exception occured!\rDisk full");
    EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtError);
    EXPECT_EQ(rec.messages()[0].buttons, unsigned(mbOK));
}

TEST(ShippedDefaults, CopiesOnlyMissingFilesAndNeverOverwrites)
{
    test::TempDir shipped, home;
    std::filesystem::create_directories(shipped.file("SAVE"));
    std::filesystem::create_directories(shipped.file("RADIOS"));
    test::WriteAll(shipped.file("SAVE/KORVAL.CTY"), "CTYB shipped");
    test::WriteAll(shipped.file("RADIOS/FT1000.rig"), "[GENERAL]");
    // The operator already has a country file, in another case.
    std::filesystem::create_directories(home.file("save"));
    test::WriteAll(home.file("save/korval.cty"), "mine");

    auto copied = CopyShippedDefaults(shipped.path(), home.path());
    EXPECT_EQ(copied, std::vector<std::string>{"RADIOS/FT1000.rig"});
    EXPECT_EQ(test::ReadAll(home.file("save/korval.cty")), "mine");
    EXPECT_FALSE(std::filesystem::exists(home.file("SAVE/KORVAL.CTY")));
    EXPECT_EQ(test::ReadAll(home.file("RADIOS/FT1000.rig")), "[GENERAL]");

    // Missing now: copied on the next start.
    std::filesystem::remove_all(home.file("save"));
    copied = CopyShippedDefaults(shipped.path(), home.path());
    EXPECT_EQ(copied, std::vector<std::string>{"SAVE/KORVAL.CTY"});
    EXPECT_EQ(test::ReadAll(home.file("SAVE/KORVAL.CTY")), "CTYB shipped");
    EXPECT_TRUE(CopyShippedDefaults(shipped.path(), home.path()).empty());
    EXPECT_TRUE(CopyShippedDefaults(home.file("no-such"), home.path()).empty());
}
