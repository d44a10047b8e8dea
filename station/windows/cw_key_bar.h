#pragma once
// The function-key bar under the CW keyboard: eight sections showing the labels of F1..F8, or
// of Ctrl+F1..Ctrl+F8 while Ctrl is held; a click or a function key gives the macro's number.
#include <QWidget>

#include <functional>
#include <string>

namespace korval {

// A macro's label: the text before its first "|", trimmed; without "|" its first 6 characters.
std::string FunctionKeyLabel(const std::string& macro);

class TCwKeyBar : public QWidget {
    Q_OBJECT
public:
    explicit TCwKeyBar(QWidget* parent = nullptr);

    // Binds the bar to a set name and its 16 macros (index 0..15).
    void Assign(const std::string& name, std::function<std::string(int)> macro);
    const std::string& SetName() const { return name_; }
    // Lays the sections out again from the labels.
    void BuildSections();
    // A key release: F1..F8 give 1..8, Ctrl+F1..Ctrl+F8 give 9..16; 0 for other keys.
    int KeyUp(int key, Qt::KeyboardModifiers modifiers);
    // Called on every key press and release of the owning window.
    void SetShifted(Qt::KeyboardModifiers modifiers);
    bool Shifted() const { return shifted_; }
    // Section 1..8 to macro 1..16.
    int KeyIndex(int section) const { return section + (shifted_ ? 8 : 0); }
    // The text a section shows: its number ("+1" while shifted) and its label.
    QString SectionText(int section) const;
    // The section under an x position, 1..8, or 0.
    int SectionAt(int x) const;
    QSize sizeHint() const override;

signals:
    void sectionClicked(int macroIndex);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    std::string Label(int macroIndex) const;
    std::string name_;
    std::function<std::string(int)> macro_;
    int widths_[8] = {};
    bool shifted_ = false;
};

} // namespace korval
