#include "station/windows/cw_key_bar.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "logbook/base/string_utils.h"
#include "platform/windows/win1252.h"

namespace korval {

std::string FunctionKeyLabel(const std::string& macro)
{
    const auto bar = macro.find('|');
    return TrimSpaces(bar == std::string::npos ? macro.substr(0, 6) : macro.substr(0, bar));
}

TCwKeyBar::TCwKeyBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ButtonFrame"));
    setFocusPolicy(Qt::NoFocus);
}

void TCwKeyBar::Assign(const std::string& name, std::function<std::string(int)> macro)
{
    name_ = name;
    macro_ = std::move(macro);
    BuildSections();
}

std::string TCwKeyBar::Label(int macroIndex) const
{
    return macro_ ? FunctionKeyLabel(macro_(macroIndex - 1)) : std::string();
}

void TCwKeyBar::BuildSections()
{
    const QFontMetrics fm(font());
    for (int n = 1; n <= 8; ++n) {
        const int a = fm.horizontalAdvance(FromWin1252(Label(n)));
        const int b = fm.horizontalAdvance(FromWin1252(Label(n + 8)));
        widths_[n - 1] = std::max({a, b, fm.horizontalAdvance(QStringLiteral("+8"))}) + 8;
    }
    updateGeometry();
    update();
}

int TCwKeyBar::KeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    SetShifted(modifiers);
    if (key < Qt::Key_F1 || key > Qt::Key_F8)
        return 0;
    const Qt::KeyboardModifiers mods = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const int n = key - Qt::Key_F1 + 1;
    if (mods == Qt::NoModifier)
        return n;
    if (mods == Qt::ControlModifier)
        return n + 8;
    return 0;
}

void TCwKeyBar::SetShifted(Qt::KeyboardModifiers modifiers)
{
    const bool shifted = (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) ==
                         Qt::ControlModifier;
    if (shifted != shifted_) {
        shifted_ = shifted;
        update();
    }
}

QString TCwKeyBar::SectionText(int section) const
{
    return (shifted_ ? QStringLiteral("+%1 ") : QStringLiteral("%1 ")).arg(section) +
           FromWin1252(Label(KeyIndex(section)));
}

int TCwKeyBar::SectionAt(int x) const
{
    int left = 0;
    for (int n = 1; n <= 8; ++n) {
        if (x >= left && x < left + widths_[n - 1])
            return n;
        left += widths_[n - 1];
    }
    return 0;
}

QSize TCwKeyBar::sizeHint() const
{
    int w = 0;
    for (int width : widths_)
        w += width;
    const QFontMetrics fm(font());
    return {w, fm.height() * 2 + 4};
}

void TCwKeyBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QFont small = font();
    small.setPointSizeF(std::max(4.0, small.pointSizeF() - 3));
    int left = 0;
    for (int n = 1; n <= 8; ++n) {
        const QRect r(left, 0, widths_[n - 1], height());
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(small);
        p.drawText(r.left() + 3, r.top() + 2 + QFontMetrics(small).ascent(),
                   shifted_ ? QStringLiteral("+%1").arg(n) : QString::number(n));
        p.setFont(font());
        const QString label = FromWin1252(Label(KeyIndex(n)));
        const int x = r.left() + (r.width() - QFontMetrics(font()).horizontalAdvance(label)) / 2;
        p.drawText(x, r.bottom() - 2, label);
        left += widths_[n - 1];
    }
}

void TCwKeyBar::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    if (int section = SectionAt(static_cast<int>(e->position().x())); section > 0)
        emit sectionClicked(KeyIndex(section));
}

} // namespace korval
