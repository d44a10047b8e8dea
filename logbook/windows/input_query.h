#pragma once
// A one-line question to the operator (a caption, a prompt and the text to edit). Tests put
// their own answers in place of the dialog.
#include <functional>
#include <string>

class QWidget;

namespace korval {

// False when the operator cancelled; value holds the text shown first and the answer.
bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt, std::string& value);

using TInputQueryHandler = std::function<bool(const std::string& caption, const std::string& prompt, std::string& value)>;
// Replaces the dialog (an empty handler restores it); returns the previous handler.
TInputQueryHandler SetInputQueryHandler(TInputQueryHandler handler);

} // namespace korval
