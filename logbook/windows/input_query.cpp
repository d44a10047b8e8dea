#include "logbook/windows/input_query.h"

#include <QInputDialog>

#include "platform/windows/win1252.h"

namespace korval {

namespace {
TInputQueryHandler& Handler()
{
    static TInputQueryHandler handler;
    return handler;
}
} // namespace

bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt, std::string& value)
{
    if (Handler())
        return Handler()(caption, prompt, value);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, FromWin1252(caption), FromWin1252(prompt), QLineEdit::Normal,
                                               FromWin1252(value), &ok);
    if (ok)
        value = ToWin1252(text);
    return ok;
}

TInputQueryHandler SetInputQueryHandler(TInputQueryHandler handler)
{
    TInputQueryHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

} // namespace korval
