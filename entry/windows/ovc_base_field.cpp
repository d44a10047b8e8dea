#include "entry/windows/ovc_base_field.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "entry/ovc_command_processor.h"
#include "entry/windows/ovc_controller.h"
#include "entry/ovc_intl.h"
#include "entry/ovc_support.h"
#include "entry/ovc_strings.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

namespace korval {

namespace {

// Commands an entry field acts on; any other key goes on to the window (dialog keys, menus).
bool FieldCommand(uint16_t cmd)
{
    switch (cmd) {
    case ccBack: case ccCompleteDate: case ccCompleteTime: case ccCopy: case ccCtrlChar: case ccCut:
    case ccDec: case ccDel: case ccDelBol: case ccDelEol: case ccDelLine: case ccDelWord: case ccDown:
    case ccEnd: case ccExtendEnd: case ccExtendHome: case ccExtendLeft: case ccExtendRight:
    case ccExtWordLeft: case ccExtWordRight: case ccHome: case ccInc: case ccIns: case ccLeft:
    case ccPaste: case ccRestore: case ccRight: case ccUp: case ccWordLeft: case ccWordRight: case ccUndo:
        return true;
    default:
        return cmd >= ccUserFirst;
    }
}

} // namespace

void SyncFieldIntl()
{
    TOvcFieldIntl& f = FieldIntl();
    const TOvcIntlSup& in = OvcIntlSup();
    f.DecimalChar = in.DecimalChar();
    f.ThousandsChar = in.CommaChar();
    f.CurrencyLeft = in.CurrencyLeftString();
    f.CurrencyRight = in.CurrencyRightString();
    f.TrueChar = in.TrueChar();
    f.FalseChar = in.FalseChar();
    f.YesChar = in.YesChar();
    f.NoChar = in.NoChar();
    f.DateSeparator = in.DateSlashChar();
    f.TimeSeparator = in.TimeColonChar();
    const TOvcUserData& user = OvcUserData();
    for (int i = 0; i < 8; ++i) {
        f.UserCharSets[i] = user.UserCharSet(static_cast<char>('1' + i));
        f.UserCharCase[i] = user.UserCharCase(static_cast<char>('1' + i));
        f.Substitutes[i] = user.SubstituteChar(static_cast<char>(241 + i));
    }
    f.HighLetters = OvcHighLetters();
}

TOvcBaseEntryField::TOvcBaseEntryField(std::unique_ptr<TOvcFieldEngine> engine, QWidget* parent)
    : TOvcCustomControlEx(parent), engine_(std::move(engine)), caret_(std::make_unique<TOvcCaretPair>(this))
{
    SyncFieldIntl();
    engine_->SetHost(this);
    EFColors.SetOnChange([this] { update(); });
    Borders.SetOnChange([this] { update(); });
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_KeyCompression, false);
    resize(130, 25);
    UpdateHeight();
}

TOvcBaseEntryField::~TOvcBaseEntryField()
{
    engine_->SetHost(nullptr);
}

TOvcController* TOvcBaseEntryField::ActiveController() const
{
    if (TOvcController* c = Controller())
        return c;
    return FindController(GetImmediateParentForm(this));
}

void TOvcBaseEntryField::CreateWnd()
{
    TOvcCustomControlEx::CreateWnd();
    engine_->DefaultRangeIfEqual();
}

void TOvcBaseEntryField::AssignBase(const TOvcBaseEntryField& o)
{
    SetAutoSize(o.autoSize_);
    setPalette(o.palette());
    engine_->SetOptions(o.Options());
    engine_->PadChar = o.engine_->PadChar;
    engine_->PasswordChar = o.engine_->PasswordChar;
    engine_->SetRangeSlots(o.engine_->RangeLoSlot(), o.engine_->RangeHiSlot());
    textMargin_ = o.textMargin_;
    engine_->SetUninitialized(o.Uninitialized());
    engine_->ZeroDisplay = o.engine_->ZeroDisplay;
    engine_->ZeroDisplayValue = o.engine_->ZeroDisplayValue;
    update();
}

// ---- properties

void TOvcBaseEntryField::SetMaxLength(int v)
{
    engine_->SetMaxLength(v);
    update();
}

void TOvcBaseEntryField::SetPadChar(char c)
{
    engine_->PadChar = c;
    update();
}

void TOvcBaseEntryField::SetPasswordChar(char c)
{
    engine_->PasswordChar = c;
    update();
}

void TOvcBaseEntryField::SetZeroDisplay(TZeroDisplay z)
{
    engine_->ZeroDisplay = z;
    update();
}

void TOvcBaseEntryField::SetZeroDisplayValue(double v)
{
    engine_->ZeroDisplayValue = v;
    update();
}

void TOvcBaseEntryField::SetTextMargin(int v)
{
    textMargin_ = v;
    update();
}

void TOvcBaseEntryField::SetAutoSize(bool v)
{
    autoSize_ = v;
    UpdateHeight();
}

void TOvcBaseEntryField::UpdateHeight()
{
    if (autoSize_)
        resize(width(), fontMetrics().height() + 8);
}

void TOvcBaseEntryField::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::FontChange)
        UpdateHeight();
    TOvcCustomControlEx::changeEvent(e);
}

QSize TOvcBaseEntryField::sizeHint() const
{
    return QSize(130, fontMetrics().height() + 8);
}

// ---- host services

TOvcEditEnv TOvcBaseEntryField::EditEnv() const
{
    TOvcEditEnv env;
    if (TOvcController* c = ActiveController()) {
        env.AutoAdvanceChar = c->EntryOptions.Contains(efoAutoAdvanceChar);
        env.AutoAdvanceLeftRight = c->EntryOptions.Contains(efoAutoAdvanceLeftRight);
        env.AutoAdvanceUpDown = c->EntryOptions.Contains(efoAutoAdvanceUpDown);
        env.AutoSelect = c->EntryOptions.Contains(efoAutoSelect);
        env.BeepOnError = c->EntryOptions.Contains(efoBeepOnError);
        env.InsertPushes = c->EntryOptions.Contains(efoInsertPushes);
    }
    return env;
}

bool TOvcBaseEntryField::ControllerInsertMode() const
{
    TOvcController* c = ActiveController();
    return c ? c->InsertMode : true;
}

void TOvcBaseEntryField::SetControllerInsertMode(bool mode)
{
    if (TOvcController* c = ActiveController())
        c->InsertMode = mode;
}

int TOvcBaseEntryField::ControllerEpoch() const
{
    TOvcController* c = ActiveController();
    return c ? c->Epoch() : DefaultEpoch();
}

bool TOvcBaseEntryField::ControllerErrorPending() const
{
    TOvcController* c = ActiveController();
    return c && c->ErrorPending;
}

void TOvcBaseEntryField::SetControllerErrorPending(bool pending)
{
    if (TOvcController* c = ActiveController())
        c->ErrorPending = pending;
}

void TOvcBaseEntryField::RequestRefocus()
{
    engine_->SetStateBits(sefRetainPos, true);
    if (TOvcController* c = ActiveController())
        c->PostSetFocus(this);
    else
        QMetaObject::invokeMethod(this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
}

void TOvcBaseEntryField::PostErrorReport(uint16_t code)
{
    PostOvcMessage(this, {om_ReportError, code, this, nullptr});
}

void TOvcBaseEntryField::Beep()
{
    QApplication::beep();
}

void TOvcBaseEntryField::AdvanceFocus(bool forward)
{
    FocusNextControl(this, !forward);
}

std::string TOvcBaseEntryField::ClipboardText() const
{
    return ToWin1252(QGuiApplication::clipboard()->text());
}

void TOvcBaseEntryField::SetClipboardText(const std::string& s)
{
    QGuiApplication::clipboard()->setText(FromWin1252(s));
}

void TOvcBaseEntryField::FieldChanged()
{
    if (TNotifyEvent ev = OnChange)
        ev(this);
}

void TOvcBaseEntryField::UserValidation(uint16_t& code)
{
    if (TUserValidationEvent ev = OnUserValidation)
        ev(this, code);
}

void TOvcBaseEntryField::UserCommand(uint16_t cmd)
{
    if (TUserCommandEvent ev = OnUserCommand)
        ev(this, cmd);
}

void TOvcBaseEntryField::FieldRepaint()
{
    if (hasFocus())
        PlaceCaret();
    update();
}

// ---- messages and errors

void TOvcBaseEntryField::OvcMessage(const TOvcMessage& msg)
{
    if (msg.Msg == om_ReportError) {
        ReportError(static_cast<uint16_t>(msg.WParam));
        return;
    }
    TOvcCustomControlEx::OvcMessage(msg);
}

void TOvcBaseEntryField::ReportError(uint16_t code)
{
    TOvcController* c = ActiveController();
    const std::string text = TOvcFieldEngine::ErrorText(code, c ? c->ErrorText : std::string());
    if (c)
        c->ErrorText = text;
    const bool reporting = engine_->State() & sefErrorPending;
    engine_->SetStateBits(sefErrorPending, true);
    if (TValidationErrorEvent ev = OnError)
        ev(this, code, text);
    else if (c)
        c->DoOnError(this, code, text);
    else
        MessageDlg(text, TMsgDlgType::mtError, mbOK);
    engine_->SetStateBits(sefErrorPending, reporting);
    // The operator has been told; a later failure may be reported again.
    if (c)
        c->ErrorPending = false;
}

// ---- keys

void TOvcBaseEntryField::RunCommand(uint16_t cmd, const TOvcEditMsg& msg)
{
    engine_->ExecuteCommand(cmd, msg);
    PlaceCaret();
    update();
}

void TOvcBaseEntryField::OvcKeyDown(TOvcKeyMessage& msg)
{
    if (msg.Key == 0 || msg.Key == VK_SHIFT)
        return;
    // Tab and Shift+Tab move between the form's controls.
    if (msg.Key == VK_TAB && !WantTabs())
        return;
    const uint16_t cmd = TranslateKey(msg);
    if (cmd == ccPartial || cmd == ccNoPartial) {
        msg.Handled = true;
        return;
    }
    if (cmd == ccNotCommand || cmd == ccNone || !FieldCommand(cmd))
        return;
    RunCommand(cmd);
    msg.Handled = true;
}

uint16_t TOvcBaseEntryField::PeekCommand(uint8_t key, uint8_t shift) const
{
    const uint16_t cmd = TOvcCustomControlEx::PeekCommand(key, shift);
    if (cmd == ccPartial || cmd == ccNoPartial || cmd == ccNotCommand)
        return cmd;
    return FieldCommand(cmd) ? cmd : uint16_t(ccNotCommand);
}

bool TOvcBaseEntryField::OvcKeyChar(char ch)
{
    // Control characters are typed only after ccCtrlChar; otherwise Enter, Escape and the like
    // belong to the dialog.
    if (static_cast<unsigned char>(ch) < 32 && !engine_->CtrlCharArmed())
        return false;
    if (ch == 127)
        return false;
    RunCommand(ccChar, TOvcEditMsg{ch, 0, false});
    return true;
}

// ---- focus

void TOvcBaseEntryField::focusInEvent(QFocusEvent* e)
{
    TOvcCustomControlEx::focusInEvent(e);
    // Coming back from another window (a message box, a menu) is no new entry into the field.
    const bool reactivated = e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
    const bool keptError = (engine_->State() & sefRetainPos) || reactivated;
    engine_->SetStateBits(sefRetainPos, false);
    engine_->FocusGained(keptError);
    caret_->SetInsertMode(engine_->InsertMode());
    caret_->SetLinked(true);
    caret_->SetVisible(true);
    PlaceCaret();
    TOvcController* c = ActiveController();
    if (!keptError && c) {
        c->ErrorPending = false;
        c->DoOnPreEdit(nullptr, this);
    }
    update();
}

void TOvcBaseEntryField::focusOutEvent(QFocusEvent* e)
{
    TOvcCustomControlEx::focusOutEvent(e);
    QWidget* target = QApplication::focusWidget();
    const bool sameForm = target && target != this && target->window() == window() &&
                          e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason;
    // The focus going back to a field that is being shown its error is no exit from this one.
    auto* targetField = qobject_cast<TOvcBaseEntryField*>(target);
    const bool returningToError = targetField && (targetField->Engine().State() & sefRetainPos);
    if (sameForm && !returningToError && !(engine_->State() & sefErrorPending)) {
        if (engine_->Uninitialized())
            engine_->SetUninitialized(false);
        TOvcController* c = ActiveController();
        if (c && c->IsSpecialControl(target)) {
            const bool modified = engine_->GetModified();
            engine_->ValidateContents(false);
            engine_->SetModified(modified);
        } else {
            engine_->efCanClose(true);
        }
    }
    engine_->FocusLost(!sameForm);
    caret_->SetVisible(false);
    caret_->SetLinked(false);
    if (sameForm)
        if (TOvcController* c = ActiveController())
            c->DoOnPostEdit(target, this);
    update();
}

// ---- mouse

int TOvcBaseEntryField::TextLeft(int textWidth) const
{
    const bool right = engine_->FieldClass() == fcNumeric ||
                       (engine_->Options().Contains(efoRightAlign) && textWidth <= width() - 2 * textMargin_ - 2);
    if (right)
        return width() - textMargin_ - 1 - textWidth;
    return textMargin_ + 1;
}

TOvcBaseEntryField::TextLayout TOvcBaseEntryField::Layout() const
{
    TextLayout l;
    l.disp = FromWin1252(engine_->GetDisplayString());
    const QFontMetrics fm = fontMetrics();
    const int caret = std::min<int>(engine_->CaretPos(), l.disp.size());
    // Keep the caret in view.
    int first = std::min<int>(engine_->FirstVisible(), l.disp.size());
    const int avail = width() - 2 * textMargin_ - 4;
    if (caret < first)
        first = caret;
    while (first < caret && fm.horizontalAdvance(l.disp.mid(first, caret - first)) > avail)
        ++first;
    l.first = first;
    l.left = TextLeft(fm.horizontalAdvance(l.disp.mid(first)));
    l.lineHeight = fm.height();
    l.top = (height() - fm.height()) / 2;
    return l;
}

int TOvcBaseEntryField::PositionAt(int x) const
{
    const TextLayout l = Layout();
    const QFontMetrics fm = fontMetrics();
    const QString shown = l.disp.mid(l.first);
    for (int i = 0; i < shown.size(); ++i) {
        const int a = fm.horizontalAdvance(shown.left(i)), b = fm.horizontalAdvance(shown.left(i + 1));
        if (x < l.left + (a + b) / 2)
            return l.first + i;
    }
    return l.first + static_cast<int>(shown.size());
}

void TOvcBaseEntryField::PlaceCaret()
{
    const TextLayout l = Layout();
    engine_->SetFirstVisible(l.first);
    const QFontMetrics fm = fontMetrics();
    const int caret = std::min<int>(engine_->CaretPos(), l.disp.size());
    const int cw = caret < l.disp.size() ? fm.horizontalAdvance(l.disp.at(caret)) : fm.averageCharWidth();
    caret_->SetInsertMode(engine_->InsertMode());
    caret_->SetCellHeight(l.lineHeight);
    caret_->SetCellWidth(std::max(cw, 1));
    const int cx = l.left + fm.horizontalAdvance(l.disp.mid(l.first, caret - l.first));
    const QRect r = caret_->CaretRect();
    if (r.isEmpty() || r.x() - caret_->Layout().OffsetX != cx || r.y() - caret_->Layout().OffsetY != l.top)
        caret_->SetPosition(cx, l.top);
}

void TOvcBaseEntryField::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        TOvcCustomControlEx::mousePressEvent(e);
        return;
    }
    if (!hasFocus()) {
        engine_->SetSelection(-1, 0);
        setFocus(Qt::MouseFocusReason);
        return;
    }
    RunCommand(ccMouse, TOvcEditMsg{0, PositionAt(int(e->position().x())), bool(e->modifiers() & Qt::ShiftModifier)});
}

void TOvcBaseEntryField::mouseMoveEvent(QMouseEvent* e)
{
    if ((e->buttons() & Qt::LeftButton) && hasFocus())
        RunCommand(ccMouseMove, TOvcEditMsg{0, PositionAt(int(e->position().x())), false});
}

void TOvcBaseEntryField::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && hasFocus())
        RunCommand(ccDblClk, TOvcEditMsg{0, PositionAt(int(e->position().x())), false});
}

void TOvcBaseEntryField::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    const struct { int id; uint16_t cmd; } items[] = {
        {SCRestore, ccRestore}, {SCCut, ccCut}, {SCCopy, ccCopy}, {SCPaste, ccPaste}, {SCDelete, ccDel}, {SCSelectAll, 0}};
    for (const auto& item : items) {
        QAction* a = menu.addAction(FromWin1252(GetLibraryString(item.id)));
        const uint16_t cmd = item.cmd;
        connect(a, &QAction::triggered, this, [this, cmd] {
            if (cmd == 0)
                engine_->SelectAll();
            else
                RunCommand(cmd);
            update();
        });
    }
    menu.exec(e->globalPos());
}

// ---- painting

void TOvcBaseEntryField::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    QColor back = pal.color(QPalette::Base), text = pal.color(QPalette::Text);
    if (!isEnabled()) {
        back = EFColors.Disabled.BackColor();
        text = EFColors.Disabled.TextColor();
    } else if (engine_->State() & sefInvalid) {
        back = EFColors.Error.BackColor();
        text = EFColors.Error.TextColor();
    }
    p.fillRect(rect(), back);
    if (!Borders.AnyEnabled()) {
        p.setPen(pal.color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    const std::string raw = engine_->GetEditString();
    const TextLayout l = Layout();
    const QFontMetrics fm = fontMetrics();
    const bool focused = hasFocus();
    const QString shown = l.disp.mid(l.first);
    const int baseline = l.top + fm.ascent();
    const int selA = engine_->SelStart(), selB = engine_->SelEnd();
    int x = l.left;
    for (int i = 0; i < shown.size(); ++i) {
        const int idx = l.first + i;
        const int w = fm.horizontalAdvance(shown.at(i));
        QColor fg = text;
        if (focused && idx >= selA && idx < selB) {
            p.fillRect(QRect(x, l.top, w, l.lineHeight), EFColors.Highlight.BackColor());
            fg = EFColors.Highlight.TextColor();
        } else if (idx < static_cast<int>(raw.size()) && raw[idx] > 0 && raw[idx] < 32) {
            fg = ControlCharColor;
        }
        p.setPen(fg);
        p.drawText(x, baseline, QString(shown.at(i)));
        x += w;
    }
    // Each enabled side is a line centred half a pen width inside the edge.
    auto side = [&](const TOvcBorder& b, QLine line) {
        if (!b.Enabled())
            return;
        p.setPen(QPen(b.PenColor(), b.PenWidth(), b.PenStyle()));
        p.drawLine(line);
    };
    side(Borders.LeftBorder, QLine(Borders.LeftBorder.PenWidth() / 2, 0, Borders.LeftBorder.PenWidth() / 2, height()));
    side(Borders.RightBorder, QLine(width() - 1 - Borders.RightBorder.PenWidth() / 2, 0,
                                    width() - 1 - Borders.RightBorder.PenWidth() / 2, height()));
    side(Borders.TopBorder, QLine(0, Borders.TopBorder.PenWidth() / 2, width(), Borders.TopBorder.PenWidth() / 2));
    side(Borders.BottomBorder, QLine(0, height() - 1 - Borders.BottomBorder.PenWidth() / 2, width(),
                                     height() - 1 - Borders.BottomBorder.PenWidth() / 2));
    if (focused && !engine_->efIsReadOnly())
        caret_->PaintCaret(p);
}

} // namespace korval
