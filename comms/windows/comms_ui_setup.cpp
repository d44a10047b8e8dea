#include "comms/windows/comms_ui_setup.h"

#include "comms/apd_com_port.h"
#include "comms/com_port_map.h"
#include "comms/main_thread_queue.h"
#include "comms/windows/com_select_form.h"
#include "platform/korval_home.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace korval {

namespace {
class TQtMainThreadQueue : public TMainThreadQueue {
public:
    void Post(std::function<void()> call) override
    {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(call), Qt::QueuedConnection);
    }
};
} // namespace

void InstallComsUi()
{
    static TQtMainThreadQueue queue;
    SetMainThreadQueue(&queue);
    TComPortMap::SetFolder(KorvalHome());
    TApdCustomComPort::SetPortPrompt([](int& comNumber) {
        TComSelectForm form;
        if (form.exec() != QDialog::Accepted)
            return false;
        comNumber = form.ChosenNumber();
        return comNumber > 0;
    });
}

} // namespace korval
