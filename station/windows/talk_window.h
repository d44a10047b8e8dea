#pragma once
// "Talk messages and announcements": the cluster lines the warning patterns picked out, the
// newest at the end. Closing the window frees it; it is made again when needed.
#include <QWidget>

#include <string>

class QPlainTextEdit;

namespace korval {

class TFTalkMessages : public QWidget {
    Q_OBJECT
public:
    explicit TFTalkMessages(QWidget* parent = nullptr);
    ~TFTalkMessages() override;

    QPlainTextEdit* Memo1 = nullptr;

    // Replaces the text with the lines and puts the caret at the end.
    void ShowLines(const std::string& lines);

protected:
    void showEvent(QShowEvent* e) override;

private:
    bool placed_ = false;
};

} // namespace korval
