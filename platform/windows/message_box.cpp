#include "platform/windows/message_box.h"

#include <QMessageBox>

#include "platform/windows/win1252.h"

namespace korval {

int ShowMessageBox(const TMessageRequest& req)
{
    QString text = FromWin1252(req.text);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Korval"));
    box.setText(text);
    switch (req.kind) {
    case TMsgDlgType::mtWarning: box.setIcon(QMessageBox::Warning); break;
    case TMsgDlgType::mtError: box.setIcon(QMessageBox::Critical); break;
    case TMsgDlgType::mtInformation: box.setIcon(QMessageBox::Information); break;
    case TMsgDlgType::mtConfirmation: box.setIcon(QMessageBox::Question); break;
    case TMsgDlgType::mtCustom: break;
    }
    struct Map { unsigned btn; QMessageBox::StandardButton qt; int result; };
    static const Map maps[] = {
        {mbYes, QMessageBox::Yes, mrYes}, {mbNo, QMessageBox::No, mrNo}, {mbOK, QMessageBox::Ok, mrOk},
        {mbCancel, QMessageBox::Cancel, mrCancel}, {mbAbort, QMessageBox::Abort, mrAbort},
        {mbRetry, QMessageBox::Retry, mrRetry}, {mbIgnore, QMessageBox::Ignore, mrIgnore},
        {mbAll, QMessageBox::YesToAll, mrAll}, {mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
        {mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    };
    QMessageBox::StandardButtons set;
    for (const Map& m : maps)
        if (req.buttons & m.btn)
            set |= m.qt;
    box.setStandardButtons(set ? set : QMessageBox::StandardButtons(QMessageBox::Ok));
    auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Map& m : maps)
        if ((req.buttons & m.btn) && m.qt == pressed)
            return m.result;
    return pressed == QMessageBox::Ok ? mrOk : mrCancel;
}

} // namespace korval
