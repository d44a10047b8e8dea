#include "entry/windows/ovc_controller.h"
#include "entry/ovc_exceptions.h"
#include "entry/ovc_date.h"
#include "platform/message_dlg.h"

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace korval;

namespace {

// A control that records the commands its keys translate to and the characters typed.
class KeyProbe : public TOvcCustomControlEx {
public:
    using TOvcCustomControlEx::TOvcCustomControlEx;
    std::vector<uint16_t> commands;
    std::string typed;

protected:
    void OvcKeyDown(TOvcKeyMessage& msg) override
    {
        uint16_t cmd = TranslateKey(msg);
        if (cmd == ccNotCommand)
            return;
        commands.push_back(cmd);
        msg.Handled = true;
    }
    bool OvcKeyChar(char ch) override
    {
        typed.push_back(ch);
        return true;
    }
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// A shown form with a controller, a probe and a plain line edit after it.
struct Form {
    QWidget window;
    TOvcController* controller;
    KeyProbe* probe;
    QPushButton* next;  // takes the focus and binds no keys
    explicit Form(bool withController = true)
    {
        controller = withController ? new TOvcController(&window) : nullptr;
        probe = new KeyProbe(&window);
        probe->setObjectName("Probe");
        probe->setGeometry(10, 40, 100, 20);
        next = new QPushButton("Next", &window);
        next->setGeometry(10, 80, 100, 20);
        window.resize(200, 140);
    }
    void show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        probe->setFocus();
        settle();
    }
};

} // namespace

TEST(OvcController, Defaults)
{
    QWidget form;
    TOvcManualTimerDriver driver;
    TOvcManualTickSource clock;
    TOvcController c(&form, &clock, &driver);
    EXPECT_EQ(c.About(), "v3.06");
    EXPECT_EQ(c.EntryOptions, (TOvcBaseEFOptions{efoAutoSelect, efoBeepOnError, efoInsertPushes}));
    EXPECT_FALSE(c.ErrorPending);
    EXPECT_TRUE(c.InsertMode);
    EXPECT_EQ(c.EntryCommands().GetCount(), 3);
    EXPECT_EQ(c.Epoch(), KorvalDateEpoch);
    EXPECT_EQ(FindController(&form), &c);
}

TEST(OvcController, EpochAcceptsOnlyValidYearsAndAsksOnGetEpoch)
{
    TOvcController c;
    for (int bad : {1599, 4000, -1})
        c.SetEpoch(bad);
    EXPECT_EQ(c.Epoch(), KorvalDateEpoch);
    c.SetEpoch(1600);
    EXPECT_EQ(c.Epoch(), 1600);
    c.SetEpoch(3999);
    EXPECT_EQ(c.Epoch(), 3999);
    c.OnGetEpoch = [](QObject*, int& e) { e = 1950; };
    EXPECT_EQ(c.Epoch(), 1950);
}

TEST(OvcController, ErrorsGoToOnErrorOrAMessageBox)
{
    TOvcController c;
    ScopedMessageRecorder rec;
    c.DoOnError(&c, 258, "A value is required in this field");
    ASSERT_EQ(rec.messages().size(), 1u);
    EXPECT_EQ(rec.messages()[0].text, "A value is required in this field");
    EXPECT_EQ(rec.messages()[0].kind, TMsgDlgType::mtError);
    EXPECT_EQ(rec.messages()[0].buttons, unsigned(mbOK));
    std::vector<uint16_t> codes;
    c.OnError = [&](QObject* s, uint16_t code, const std::string& m) {
        EXPECT_EQ(s, &c);
        EXPECT_EQ(m, "x");
        codes.push_back(code);
    };
    c.DoOnError(&c, 256, "x");
    EXPECT_EQ(codes, std::vector<uint16_t>{256});
    EXPECT_EQ(rec.messages().size(), 1u);
}

TEST(OvcController, NotificationsArriveAfterTheCurrentEventInOrder)
{
    QWidget form;
    TOvcController c(&form);
    QWidget a(&form), b(&form);
    std::vector<std::string> log;
    c.OnPreEdit = [&](QObject* s, QWidget* losing) {
        log.push_back(std::string("pre ") + (s == &b ? "b" : "?") + (losing == &a ? "a" : "?"));
    };
    c.OnPostEdit = [&](QObject* s, QWidget* gaining) {
        log.push_back(std::string("post ") + (s == &a ? "a" : "?") + (gaining == &b ? "b" : "?"));
    };
    c.OnDelayNotify = [&](QObject* s, uint16_t code) {
        log.push_back("notify " + std::to_string(code) + (s == &a ? "a" : "?"));
    };
    c.DoOnPostEdit(&b, &a);
    c.DoOnPreEdit(&a, &b);
    c.DelayNotify(&a, 0x1234);
    c.DoOnPreEdit(nullptr, &b);
    EXPECT_TRUE(log.empty());
    settle();
    std::vector<std::string> want = {"post ab", "pre ba", "notify 4660a", "pre b?"};
    EXPECT_EQ(log, want);
}

TEST(OvcController, SpecialControlsAndTimerRouting)
{
    TOvcManualTimerDriver driver;
    TOvcManualTickSource clock;
    TOvcController c(nullptr, &clock, &driver);
    QPushButton cancel;
    EXPECT_FALSE(c.IsSpecialControl(&cancel));
    c.OnIsSpecialControl = [&](QObject*, QWidget* w, bool& special) { special = w == &cancel; };
    EXPECT_TRUE(c.IsSpecialControl(&cancel));

    std::vector<int> handles;
    c.OnTimerTrigger = [&](TOvcTimerPool* p, int h, uint32_t interval, int) {
        EXPECT_EQ(p, &c.TimerPool());
        EXPECT_EQ(interval, 100u);
        handles.push_back(h);
    };
    int h = c.TimerPool().Add(nullptr, 100);
    clock.Advance(100);
    driver.Fire();
    EXPECT_EQ(handles, std::vector<int>{h});
}

TEST(OvcController, ControlsFindTheFirstControllerOfTheirForm)
{
    QWidget form;
    auto* first = new TOvcController(&form);
    auto* second = new TOvcController(&form);
    QWidget* inner = new QWidget(&form);
    auto* probe = new KeyProbe(inner);
    EXPECT_EQ(GetImmediateParentForm(probe), &form);
    EXPECT_EQ(probe->EnsureController(), first);
    delete first;  // a removed controller is forgotten
    EXPECT_EQ(probe->Controller(), nullptr);
    EXPECT_EQ(probe->EnsureController(), second);
    // A controller made later is adopted by controls that have none.
    QWidget form2;
    auto* late = new KeyProbe(&form2);
    auto* c2 = new TOvcController(&form2);
    EXPECT_EQ(late->Controller(), c2);
}

TEST(OvcController, NoControllerIsReported)
{
    ScopedMessageRecorder rec;
    QWidget form;
    auto* probe = new KeyProbe(&form);
    EXPECT_THROW(probe->EnsureController(), ENoControllerAssigned);
    form.show();
    settle();
    ASSERT_FALSE(rec.messages().empty());
    EXPECT_EQ(rec.messages()[0].text, "An exception occured!\rNo Controller assigned");
}

TEST(OvcControllerKeys, UndoReachesTheControlDespiteAnActionOnCtrlZ)
{
    Form f;
    int triggered = 0;
    auto* undo = new QAction("Undo", &f.window);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    f.window.addAction(undo);
    QObject::connect(undo, &QAction::triggered, [&] { ++triggered; });
    f.show();
    ASSERT_TRUE(f.probe->hasFocus());
    QTest::keyClick(f.probe, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.probe->commands, std::vector<uint16_t>{ccUndo});
    EXPECT_EQ(triggered, 0);
    // A key the tables do not bind still goes to the action.
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    QTest::keyClick(f.probe, Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(triggered, 1);
    // Elsewhere on the form the action keeps its shortcut.
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    f.next->setFocus();
    settle();
    QTest::keyClick(f.next, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(triggered, 2);
}

TEST(OvcControllerKeys, SecondKeyOfASequenceIsNotAShortcut)
{
    Form f;
    f.controller->EntryCommands().GetTable("WordStar")->IsActive = true;
    f.controller->EntryCommands().GetTable("Default")->IsActive = false;
    int triggered = 0;
    auto* act = new QAction("S", &f.window);
    act->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    f.window.addAction(act);
    QObject::connect(act, &QAction::triggered, [&] { ++triggered; });
    f.show();
    QTest::keyClick(f.probe, Qt::Key_Q, Qt::ControlModifier);
    QTest::keyClick(f.probe, Qt::Key_S, Qt::ControlModifier);
    // The Ctrl key pressed again while the sequence is pending keeps it pending.
    EXPECT_EQ(f.probe->commands, (std::vector<uint16_t>{ccPartial, ccPartial, ccHome}));
    EXPECT_EQ(triggered, 0);
}

TEST(OvcControllerKeys, TabReachesAControlThatWantsIt)
{
    Form f;
    f.show();
    // By default Tab moves the focus on.
    QTest::keyClick(f.probe, Qt::Key_Tab);
    EXPECT_TRUE(f.next->hasFocus());
    EXPECT_TRUE(f.probe->commands.empty());
    f.probe->SetWantTabs(true);
    f.probe->setFocus();
    settle();
    QTest::keyClick(f.probe, Qt::Key_Tab);
    QTest::keyClick(f.probe, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(f.probe, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(f.probe->hasFocus());
    // Tab and Ctrl+Tab are ccTab in "Default"; Shift+Tab is bound to nothing.
    EXPECT_EQ(f.probe->commands, (std::vector<uint16_t>{ccTab, ccTab}));
}

TEST(OvcControllerKeys, TypedAndInputMethodTextAreCharacters)
{
    Form f;
    f.show();
    QTest::keyClicks(f.probe, "ab");
    QInputMethodEvent im;
    im.setCommitString(QString::fromUtf8("\xC3\xA9\xE2\x82\xAC"));  // e acute, euro
    QApplication::sendEvent(f.probe, &im);
    EXPECT_EQ(f.probe->typed, "ab\xE9\x80");
    EXPECT_TRUE(f.probe->commands.empty());
}

TEST(OvcControllerKeys, FocusResetsAPendingSequence)
{
    Form f;
    auto* other = new KeyProbe(&f.window);
    other->setGeometry(120, 40, 60, 20);
    f.controller->EntryCommands().GetTable("WordStar")->IsActive = true;
    f.show();
    QTest::keyClick(f.probe, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(f.controller->EntryCommands().SequencePending());
    other->setFocus();
    settle();
    EXPECT_FALSE(f.controller->EntryCommands().SequencePending());
}

TEST(OvcBaseControls, EnterAndExitArePostedAfterTheFocusChange)
{
    Form f;
    std::vector<std::string> log;
    f.probe->AfterEnter = [&](QObject* s) { log.push_back(s == f.probe ? "enter" : "?"); };
    f.probe->AfterExit = [&](QObject* s) { log.push_back(s == f.probe ? "exit" : "?"); };
    f.show();
    f.next->setFocus();
    EXPECT_EQ(log, std::vector<std::string>{"enter"});  // exit not yet: it is posted
    settle();
    EXPECT_EQ(log, (std::vector<std::string>{"enter", "exit"}));
}

TEST(OvcBaseControls, SetFocusMessageShowsAndFocusesTheControl)
{
    Form f;
    f.show();
    f.next->hide();
    f.controller->PostSetFocus(f.next);
    settle();
    EXPECT_TRUE(f.next->isVisible());
    EXPECT_TRUE(f.next->hasFocus());
}

TEST(OvcBaseControls, AttachedLabelSitsAboveAndFollows)
{
    Form f;
    f.show();
    EXPECT_THROW(f.probe->AttachedLabel(), EOvcException);
    f.probe->LabelInfo().SetVisible(true);
    TOvcAttachedLabel* label = f.probe->AttachedLabel();
    EXPECT_EQ(label->objectName(), "ProbeLabel");
    EXPECT_EQ(label->text(), "ProbeLabel");
    EXPECT_EQ(label->buddy(), f.probe);
    EXPECT_EQ(label->x(), 10);
    EXPECT_EQ(label->y() + label->height(), 40);
    f.probe->LabelInfo().SetOffsets(5, -3);
    EXPECT_EQ(label->x(), 15);
    EXPECT_EQ(label->y() + label->height(), 37);
    f.probe->move(30, 60);
    settle();
    EXPECT_EQ(label->x(), 35);
    EXPECT_EQ(label->y() + label->height(), 57);
    // Moving the label by hand updates the offsets.
    label->move(20, 10);
    EXPECT_EQ(f.probe->LabelInfo().OffsetX(), -10);
    EXPECT_EQ(f.probe->LabelInfo().OffsetY(), 10 + label->height() - 60);
    f.probe->hide();
    EXPECT_FALSE(label->isVisible());
    f.probe->show();
    EXPECT_TRUE(label->isVisible());
    // Hiding and showing again makes a new label and frees the old one.
    QPointer<TOvcAttachedLabel> old = label;
    f.probe->LabelInfo().SetVisible(false);
    EXPECT_TRUE(old.isNull());
    EXPECT_FALSE(f.probe->HasAttachedLabel());
    f.probe->LabelInfo().SetVisible(true);
    EXPECT_TRUE(f.probe->HasAttachedLabel());
    EXPECT_EQ(f.probe->AttachedLabel()->objectName(), "ProbeLabel");
    // The label goes with its control.
    QPointer<TOvcAttachedLabel> last = f.probe->AttachedLabel();
    delete f.probe;
    EXPECT_TRUE(last.isNull());
}

TEST(OvcBaseControls, LabelNameTakesTheFirstFreeNumber)
{
    Form f;
    auto* taken = new QWidget(&f.window);
    taken->setObjectName("ProbeLabel");
    f.probe->LabelInfo().SetVisible(true);
    EXPECT_EQ(f.probe->AttachedLabel()->objectName(), "ProbeLabel1");
}

TEST(OvcBaseControls, GenerateComponentName)
{
    QWidget form;
    (new QWidget(&form))->setObjectName("Edit1");
    (new QWidget(new QWidget(&form)))->setObjectName("Edit2");
    EXPECT_EQ(GenerateComponentName(&form, "Edit"), "Edit3");
    EXPECT_EQ(GenerateComponentName(&form, "Label"), "Label1");
    EXPECT_THROW(GenerateComponentName(&form, "9Edit"), EOvcException);
    EXPECT_THROW(GenerateComponentName(&form, ""), EOvcException);
}

TEST(OvcBaseControls, MouseWheelEvent)
{
    Form f;
    f.show();
    int delta = 0;
    uint8_t shift = 0;
    f.probe->OnMouseWheel = [&](QObject*, uint8_t s, int d, int, int) {
        delta = d;
        shift = s;
    };
    QWheelEvent wheel(QPointF(5, 5), f.probe->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.probe, &wheel);
    EXPECT_EQ(delta, -120);
    EXPECT_EQ(shift, ss_Ctrl);
}

namespace {

class Page : public TOvcCollectibleControl {
public:
    using TOvcCollectibleControl::TOvcCollectibleControl;
};

class Book : public TOvcCustomControl {
public:
    explicit Book(QWidget* parent = nullptr)
        : TOvcCustomControl(parent), pages(this, "Page", [](QObject* o) { return new Page(o); })
    {
    }
    void OvcMessage(const TOvcMessage& m) override
    {
        if (m.Msg == om_ItemAdded)
            ++added;
        TOvcCustomControl::OvcMessage(m);
    }
    TOvcCollection pages;
    int added = 0;
};

} // namespace

TEST(OvcCollection, AddClearAndLookUp)
{
    Book book;
    int changes = 0;
    book.pages.OnChanged = [&](TOvcCollection*) { ++changes; };
    TOvcCollectibleControl* p1 = book.pages.Add();
    TOvcCollectibleControl* p2 = book.pages.Add();
    EXPECT_EQ(book.pages.GetCount(), 2);
    EXPECT_EQ(book.added, 2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(p1->parentWidget(), &book);
    EXPECT_EQ(p1->Collection(), &book.pages);
    EXPECT_EQ(p1->GetBaseName(), "TOvcCollectibleControl");  // the class name Qt knows
    p2->SetName("Second");
    EXPECT_EQ(book.pages.ItemByName("Second"), p2);
    EXPECT_EQ(book.pages.ItemByName("second"), nullptr);
    EXPECT_EQ(book.pages.GetItem(2), nullptr);
    EXPECT_EQ(book.CollectionStreamer()->CollectionFor("Page"), &book.pages);
    EXPECT_THROW(book.CollectionStreamer()->CollectionFor("Section"), EOvcException);
    delete p1;  // an item freed elsewhere leaves its collection
    EXPECT_EQ(book.pages.GetCount(), 1);
    EXPECT_EQ(book.pages.GetItem(0), p2);
    // An item made directly joins its owner's collection.
    auto* p3 = new Page(&book);
    EXPECT_EQ(book.pages.IndexOf(p3), 1);
    book.pages.Clear();
    EXPECT_EQ(book.pages.GetCount(), 0);
    EXPECT_EQ(book.added, 4);
}

TEST(OvcCollection, MisuseRaisesTheLibraryTexts)
{
    auto msg = [](auto&& f) -> std::string {
        try {
            f();
        } catch (const EOvcException& e) {
            return e.what();
        }
        return "(nothing raised)";
    };
    QWidget plain;
    TOvcCustomControl noCollection;
    EXPECT_EQ(msg([&] { new Page(&plain); }), "Owner must be a TOvcComponent or TOvcCustomComponent descendant");
    EXPECT_EQ(msg([&] { new Page(&noCollection); }), "No collection exists in the owner component");
    EXPECT_EQ(msg([&] { TOvcCollection c(&plain, "Page", nullptr); }),
              "Owner must be a TOvcComponent or TOvcCustomComponent descendant");
    TOvcComponent comp;
    TOvcCollection none(&comp, "Page", nullptr);
    EXPECT_EQ(msg([&] { none.Add(); }), "Item class not set");
}

