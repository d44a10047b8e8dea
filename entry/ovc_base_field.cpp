#include "entry/ovc_base_field.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "entry/ovc_command_processor.h"
#include "entry/ovc_controller.h"
#include "entry/ovc_strings.h"
#include "platform/message_dlg.h"
#include "platform/win1252.h"

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

TOvcBaseEntryField::TOvcBaseEntryField(std::unique_ptr<TOvcFieldEngine> engine, QWidget* parent)
    : TOvcCustomControlEx(parent), engine_(std::move(engine))
{
    engine_->SetHost(this);
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
    const bool keptError = engine_->State() & sefRetainPos;
    engine_->SetStateBits(sefRetainPos, false);
    engine_->FocusGained(keptError);
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

int TOvcBaseEntryField::PositionAt(int x) const
{
    const QString disp = FromWin1252(engine_->GetDisplayString());
    const QFontMetrics fm = fontMetrics();
    const int first = std::min<int>(engine_->FirstVisible(), disp.size());
    const QString shown = disp.mid(first);
    const int left = TextLeft(fm.horizontalAdvance(shown));
    for (int i = 0; i < shown.size(); ++i) {
        const int a = fm.horizontalAdvance(shown.left(i)), b = fm.horizontalAdvance(shown.left(i + 1));
        if (x < left + (a + b) / 2)
            return first + i;
    }
    return first + static_cast<int>(shown.size());
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
        back = pal.color(QPalette::Window);
        text = pal.color(QPalette::Disabled, QPalette::Text);
    } else if (engine_->State() & sefInvalid) {
        back = ErrorBackColor;
        text = ErrorTextColor;
    }
    p.fillRect(rect(), back);
    p.setPen(pal.color(QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));

    const std::string raw = engine_->GetEditString();
    const QString disp = FromWin1252(engine_->GetDisplayString());
    const QFontMetrics fm = fontMetrics();
    const bool focused = hasFocus();
    const int caret = std::min<int>(engine_->CaretPos(), disp.size());
    // Keep the caret in view.
    int first = std::min<int>(engine_->FirstVisible(), disp.size());
    const int avail = width() - 2 * textMargin_ - 4;
    if (caret < first)
        first = caret;
    while (first < caret && fm.horizontalAdvance(disp.mid(first, caret - first)) > avail)
        ++first;
    engine_->SetFirstVisible(first);

    const QString shown = disp.mid(first);
    const int left = TextLeft(fm.horizontalAdvance(shown));
    const int baseline = (height() - fm.height()) / 2 + fm.ascent();
    const int selA = engine_->SelStart(), selB = engine_->SelEnd();
    int x = left;
    for (int i = 0; i < shown.size(); ++i) {
        const int idx = first + i;
        const int w = fm.horizontalAdvance(shown.at(i));
        QColor fg = text;
        if (focused && idx >= selA && idx < selB) {
            p.fillRect(QRect(x, (height() - fm.height()) / 2, w, fm.height()), pal.color(QPalette::Highlight));
            fg = pal.color(QPalette::HighlightedText);
        } else if (idx < static_cast<int>(raw.size()) && raw[idx] > 0 && raw[idx] < 32) {
            fg = ControlCharColor;
        }
        p.setPen(fg);
        p.drawText(x, baseline, QString(shown.at(i)));
        x += w;
    }
    if (focused && !engine_->efIsReadOnly()) {
        const int cx = left + fm.horizontalAdvance(disp.mid(first, caret - first));
        const int top = (height() - fm.height()) / 2;
        p.setPen(text);
        if (engine_->InsertMode()) {
            p.fillRect(QRect(cx, top, 2, fm.height()), text);
        } else {
            const int cw = caret < disp.size() ? fm.horizontalAdvance(disp.at(caret)) : fm.averageCharWidth();
            p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            p.fillRect(QRect(cx, top, std::max(cw, 2), fm.height()), Qt::white);
        }
    }
}

} // namespace korval
