#pragma once
// A simulated radio on a pseudo-terminal mapped as COM3 in a temporary Korval home, its shipped
// definition in RADIOS/ and configured as the station's radio; port data reaches the engine
// through the Qt event loop as it does in the program.
#include "comms/com_port_map.h"
#include "comms/main_thread_queue.h"
#include "logbook/config_record.h"
#include "platform/message_dlg.h"
#include "station/windows/radio_control.h"
#include "test_support.h"
#include "tests/loopback_server.h"
#include "tests/station/radio_sim.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <memory>

namespace korval::test {

// Runs the event loop for a while.
inline void Spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() holds or the time is up; returns done().
template <class F>
bool SpinUntil(F done, int ms = 5000)
{
    for (int waited = 0; !done() && waited < ms; waited += 10)
        Spin(10);
    return done();
}

class RadioWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        Config = TConfigRecord();
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        WriteAll(home.file(kComPortMapName), std::string("[Ports]\nCOM3=") + ttyname(slave) + "\n");
        TComPortMap::SetFolder(home.path());
        SetMainThreadQueue(&queue);
        std::filesystem::create_directories(home.file("RADIOS"));
    }
    void TearDown() override
    {
        FreeRadio(false);
        if (sim)
            sim->Stop();
        SetMainThreadQueue(nullptr);
        TComPortMap::SetFolder("");
        ::close(master);
        ::close(slave);
        Config = saved;
    }
    // The shipped definition of the model into RADIOS/, configured on COM3.
    static void Ship(const TempDir& home, const std::string& model)
    {
        WriteAll(home.file("RADIOS/" + model + ".rig"), ReadAll(std::string(KORVAL_SOURCE_DIR) + "/data/RADIOS/" + model + ".rig"));
    }
    template <class Sim>
    Sim& StartSim(const std::string& model)
    {
        Ship(home, model);
        Config.SetRadioModel(model);
        Config.SetRadioComPort(3);
        Config.SetRadioRetries(2);
        Config.SetRadioAddress(0x94);
        auto s = std::make_unique<Sim>(master);
        Sim& ref = *s;
        sim = std::move(s);
        sim->Start();
        return ref;
    }

    TempDir home;
    ScopedHome scopedHome {home.path()};
    TConfigRecord saved = Config;
    ScopedMessageRecorder messages;
    TQtQueue queue;
    int master = -1, slave = -1;
    std::unique_ptr<TSimRadio> sim;
};

} // namespace korval::test
