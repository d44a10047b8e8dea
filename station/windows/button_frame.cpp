#include "station/windows/button_frame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_simple_field.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {
constexpr int kPad = 8;
}

TButtonFrame::TButtonFrame(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ButtonFrame"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

TButtonFrame::TButtonFrame(TFunctionKeySet keys, QWidget* parent) : TButtonFrame(parent)
{
    Assign(std::move(keys));
}

void TButtonFrame::Assign(TFunctionKeySet keys)
{
    keys_ = std::move(keys);
    BuildSections();
}

void TButtonFrame::BuildSections()
{
    macros_ = keys_.load ? keys_.load() : TFunctionKeys{};
    const QFontMetrics fm(font());
    for (int n = 1; n <= FunctionKeySections; ++n) {
        const int a = fm.horizontalAdvance(FromWin1252(MacroLabel(macros_[static_cast<std::size_t>(n - 1)])));
        const int b = fm.horizontalAdvance(FromWin1252(MacroLabel(macros_[static_cast<std::size_t>(n + 7)])));
        // Room for the section number when both labels are short.
        const int number = QFontMetrics(NumberFont()).horizontalAdvance(QStringLiteral("+8")) + 6;
        widths_[static_cast<std::size_t>(n - 1)] = std::max({a, b, number}) + kPad;
    }
    updateGeometry();
    update();
}

QFont TButtonFrame::NumberFont() const
{
    QFont f = font();
    f.setPointSizeF(std::max(4.0, f.pointSizeF() - 3));
    return f;
}

QSize TButtonFrame::sizeHint() const
{
    int w = 0;
    for (int x : widths_)
        w += x;
    return {w, QFontMetrics(NumberFont()).height() + QFontMetrics(font()).height() + 6};
}

QRect TButtonFrame::SectionRect(int section) const
{
    int x = 0;
    for (int n = 1; n < section; ++n)
        x += widths_[static_cast<std::size_t>(n - 1)];
    return {x, 0, widths_[static_cast<std::size_t>(section - 1)], height()};
}

QString TButtonFrame::SectionNumber(int section) const
{
    return (shifted_ ? QStringLiteral("+") : QString()) + QString::number(section);
}

QString TButtonFrame::SectionLabel(int section) const
{
    return FromWin1252(MacroLabel(macros_[static_cast<std::size_t>(KeyIndex(section) - 1)]));
}

void TButtonFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    for (int n = 1; n <= FunctionKeySections; ++n) {
        const QRect r = SectionRect(n);
        QStyleOptionHeader opt;
        opt.initFrom(this);
        opt.rect = r;
        opt.position = QStyleOptionHeader::Middle;
        style()->drawControl(QStyle::CE_HeaderSection, &opt, &p, this);
        p.setPen(palette().color(QPalette::ButtonText));
        p.setFont(NumberFont());
        const QFontMetrics nm(p.font());
        p.drawText(r.left() + 3, r.top() + 2 + nm.ascent(), SectionNumber(n));
        p.setFont(font());
        const QFontMetrics fm(p.font());
        const QString label = SectionLabel(n);
        p.drawText(r.left() + (r.width() - fm.horizontalAdvance(label)) / 2, r.bottom() - 2, label);
    }
}

void TButtonFrame::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(e);
    for (int n = 1; n <= FunctionKeySections; ++n)
        if (SectionRect(n).contains(e->position().toPoint())) {
            if (OnSendMacro)
                OnSendMacro(KeyIndex(n));
            return;
        }
}

void TButtonFrame::SetShifted(Qt::KeyboardModifiers shift)
{
    const bool ctrlAlone = (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ==
                           Qt::ControlModifier;
    if (ctrlAlone == shifted_)
        return;
    shifted_ = ctrlAlone;
    update();
}

bool TButtonFrame::KeyUp(int key, Qt::KeyboardModifiers shift, int& index)
{
    index = 0;
    const bool alt = shift & Qt::AltModifier, ctrl = shift & Qt::ControlModifier;
    const bool sh = shift & (Qt::ShiftModifier | Qt::MetaModifier);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F8) {
        index = FunctionKeyMacro(key - Qt::Key_F1 + 1, sh, ctrl, alt);
        return true;
    }
    if (key == Qt::Key_E && alt && !ctrl && !sh) {
        EditKeys();
        return true;
    }
    return false;
}

bool TButtonFrame::EditKeys()
{
    TPacketKeysDialog dialog(keys_.name, keys_.load ? keys_.load() : TFunctionKeys{}, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (keys_.store)
        keys_.store(dialog.Keys());
    BuildSections();
    return true;
}

// ---- The editor ----

TPacketKeysDialog::TPacketKeysDialog(const std::string& setName, const TFunctionKeys& keys, QWidget* parent)
    : QDialog(parent), keys_(keys)
{
    setObjectName(QStringLiteral("PacketKeysDialog"));
    setWindowTitle(FromWin1252(setName + " function keys"));
    new TOvcController(this);
    auto* grid = new QGridLayout;
    for (int i = 0; i < FunctionKeySections; ++i) {
        auto* f = new TOvcSimpleField(this);
        f->setObjectName(QStringLiteral("F_Key%1").arg(i + 1));
        f->setProperty("Tag", i + 1);
        f->SetMaxLength(75);
        f->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QLatin1Char('X')) * 50);
        F_Key[static_cast<std::size_t>(i)] = f;
        auto* l = new QLabel(this);
        KeyLabel[static_cast<std::size_t>(i)] = l;
        grid->addWidget(l, i, 0);
        grid->addWidget(f, i, 1);
    }
    Alternate = new QCheckBox(QStringLiteral("Control keys"), this);
    Alternate->setObjectName(QStringLiteral("Alternate"));
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Cancel"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button1, &QPushButton::clicked, this, [this] {
        StoreFields();
        accept();
    });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Alternate, &QCheckBox::toggled, this, [this](bool on) {
        StoreFields();
        control_ = on;
        LoadFields();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Alternate);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addLayout(buttons);
    LoadFields();
}

void TPacketKeysDialog::StoreFields()
{
    const std::size_t base = control_ ? 8 : 0;
    for (std::size_t i = 0; i < F_Key.size(); ++i)
        keys_[base + i] = F_Key[i]->GetAsString();
}

void TPacketKeysDialog::LoadFields()
{
    const std::size_t base = control_ ? 8 : 0;
    for (std::size_t i = 0; i < F_Key.size(); ++i) {
        F_Key[i]->SetAsString(keys_[base + i]);
        KeyLabel[i]->setText(QString::number(static_cast<int>(i) + 1 + (control_ ? 10 : 0)));
    }
}

const TFunctionKeys& TPacketKeysDialog::Keys()
{
    StoreFields();
    return keys_;
}

} // namespace korval
