#pragma once
// The small dialogs of the QSO window: the note editor (TEditNote), the QSL manager's address
// editor (TEditAddress) and the choice of the fields the Tab key skips (TDisabledFields).
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace korval {

class TOvcCheckList;

// A memo of lines with OK and Cancel.
class TMemoDialog : public QDialog {
    Q_OBJECT
public:
    TMemoDialog(QWidget* parent, const std::string& caption);

    void SetLines(const std::vector<std::string>& lines);
    std::vector<std::string> Lines() const;
    bool Modified() const;
    // Starts modified with the caret at the end.
    void SetModifiedAtEnd();

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

protected:
    void showEvent(QShowEvent* e) override;
};

class TEditNote : public TMemoDialog {
    Q_OBJECT
public:
    TEditNote(QWidget* parent, const std::string& caption);
    // Ctrl+D inserts DateText() at the caret; Ctrl+R inserts FrequencyText() when it is not
    // empty (a radio is active).
    std::function<std::string()> DateText;
    std::function<std::string()> FrequencyText;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

class TEditAddress : public TMemoDialog {
    Q_OBJECT
public:
    using TMemoDialog::TMemoDialog;
};

// "Tab Disabled Fields": a check per QSO-window field 1 to 23; OK stores them in the
// configuration.
class TDisabledFields : public QDialog {
    Q_OBJECT
public:
    explicit TDisabledFields(QWidget* parent = nullptr);
    static constexpr int kFieldCount = 23;

    TOvcCheckList* CL = nullptr;
    QPushButton* BtnOk = nullptr;
    QPushButton* BtnCancel = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void OkClick();
};

} // namespace korval
