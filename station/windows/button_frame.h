#pragma once
// The function-key bar at the bottom of a terminal window (cluster, RTTY, CW, PSK31): eight
// sections labelled from a set of sixteen macros, F1..F8 for the first eight and Ctrl+F1..F8 for
// the others. The bar shows the Ctrl set while Ctrl is held; a click on a section or a released
// function key tells the owner which macro to send. Alt+E edits the set.
#include <QDialog>
#include <QWidget>

#include <array>
#include <functional>
#include <string>

#include "station/function_keys.h"

class QCheckBox;
class QKeyEvent;
class QLabel;
class QPushButton;

namespace korval {

class TOvcSimpleField;

class TButtonFrame : public QWidget {
    Q_OBJECT
public:
    explicit TButtonFrame(QWidget* parent = nullptr);
    TButtonFrame(TFunctionKeySet keys, QWidget* parent = nullptr);

    // Binds the bar to a set (its name and where its macros are kept) and builds the sections.
    void Assign(TFunctionKeySet keys);
    void BuildSections();
    // A key release of the owning window: the macro to send in index (0 none); true when the
    // bar took the key (F1..F8, Alt+E).
    bool KeyUp(int key, Qt::KeyboardModifiers shift, int& index);
    // Every key down and key up of the owning window: the Ctrl set shows while Ctrl alone is held.
    void SetShifted(Qt::KeyboardModifiers shift);
    bool Shifted() const { return shifted_; }
    // The macro section 1..8 stands for now.
    int KeyIndex(int section) const { return SectionMacro(section, shifted_); }
    // Runs the editor; true when the operator stored the keys.
    bool EditKeys();

    // What a section shows: its number ("1", or "+1" while shifted) and its label.
    QString SectionNumber(int section) const;
    QString SectionLabel(int section) const;
    QRect SectionRect(int section) const;
    const std::string& SetName() const { return keys_.name; }

    // The operator clicked a section: the owner sends this macro.
    std::function<void(int index)> OnSendMacro;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QFont NumberFont() const;

    TFunctionKeySet keys_;
    TFunctionKeys macros_{};
    std::array<int, FunctionKeySections> widths_{};
    bool shifted_ = false;
};

// The editor of a set: eight fields showing macros 1..8, or 9..16 with "Control keys".
class TPacketKeysDialog : public QDialog {
    Q_OBJECT
public:
    TPacketKeysDialog(const std::string& setName, const TFunctionKeys& keys, QWidget* parent = nullptr);

    std::array<TOvcSimpleField*, FunctionKeySections> F_Key{};
    std::array<QLabel*, FunctionKeySections> KeyLabel{};
    QCheckBox* Alternate = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    // The working copy with the shown fields stored.
    const TFunctionKeys& Keys();

private:
    void StoreFields();
    void LoadFields();

    TFunctionKeys keys_;
    bool control_ = false;
};

} // namespace korval
