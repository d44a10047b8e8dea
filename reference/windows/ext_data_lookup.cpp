#include "reference/windows/ext_data_lookup.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

#include "entry/windows/ovc_controller.h"
#include "entry/windows/ovc_simple_field.h"
#include "logbook/base/string_utils.h"
#include "logbook/config_record.h"
#include "logbook/paths.h"
#include "logbook/windows/form_fonts.h"
#include "logbook/windows/form_placement.h"
#include "logbook/windows/list_box_clipboard.h"
#include "platform/windows/win1252.h"
#include "reference/callbook_lookup.h"

namespace korval {

namespace {

std::string UpperCall(const std::string& s)
{
    std::string call = TrimSpaces(s);
    for (char& c : call)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return call.substr(0, TExtDataLookup::CallCap);
}

TOvcSimpleField* CallField(QWidget* parent, const char* name)
{
    auto* f = new TOvcSimpleField(parent);
    f->setObjectName(name);
    f->SetMaxLength(TExtDataLookup::CallCap);
    f->SetPictureMask('!');
    return f;
}

TCallbookSettings ConfiguredCallbook()
{
    // Without a data folder of its own the callbook's data lies beside its library.
    const std::string data = Config.CallbookPath();
    return {Config.CallbookKind(), data.empty() ? GetExtDataDir() : data, GetExtDataDir()};
}

} // namespace

TExtDataLookup::TExtDataLookup(TExtDataQsoLink* qso, QWidget* owner) : QWidget(owner), qso_(qso)
{
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ExtDataLookup"));
    setWindowTitle(QStringLiteral("Callsign / Mgr lookup"));
    new TOvcController(this);

    Panel = new QWidget(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    F_Call = CallField(Panel, "F_Call");
    F_mgr = CallField(Panel, "F_mgr");
    auto* row = new QHBoxLayout(Panel);
    row->setContentsMargins(4, 4, 4, 0);
    row->addWidget(new QLabel(QStringLiteral("Call"), Panel));
    row->addWidget(F_Call);
    row->addWidget(new QLabel(QStringLiteral("QSL Mgr"), Panel));
    row->addWidget(F_mgr);
    row->addStretch();

    LB = new QListWidget(this);
    LB->setObjectName(QStringLiteral("LB"));
    LB->setSelectionMode(QAbstractItemView::ExtendedSelection);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(2);
    lay->addWidget(Panel);
    lay->addWidget(LB, 1);

    PopupMenu = new QMenu(this);
    auto item = [this](const char* caption, QKeySequence key, void (TExtDataLookup::*fn)()) {
        QAction* a = PopupMenu->addAction(QString::fromLatin1(caption), this, [this, fn] { (this->*fn)(); });
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(a);
        }
        return a;
    };
    LookupCallsign1 = item("Lookup Callsign", QKeySequence(Qt::Key_Return), &TExtDataLookup::LookupCallsign1Click);
    LookupCallsign1->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    SetQSLManager1 = item("Set QSL Manager", {}, &TExtDataLookup::SetQSLManager1Click);
    CopytoClipBoard1 = item("Copy to ClipBoard", QKeySequence(Qt::CTRL | Qt::Key_C), &TExtDataLookup::CopytoClipBoard1Click);
    CopytoQSLManagerAddress1 = item("Copy to QSL Manager Address", QKeySequence(Qt::ALT | Qt::Key_M),
                                    &TExtDataLookup::CopytoQSLManagerAddress1Click);
    SwitchtoQSOWindow1 = item("Switch to QSO Window", QKeySequence(Qt::Key_F9), &TExtDataLookup::SwitchtoQSOWindow1Click);
    Close1 = PopupMenu->addAction(QStringLiteral("Close"), this, [this] { close(); });
    Close1->setShortcut(QKeySequence(Qt::Key_Escape));
    Close1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(Close1);
    PopupMenu->addSeparator();
    FullSize1 = item("Full Size", {}, &TExtDataLookup::FullSize1Click);
    FullSize1->setCheckable(true);
    AutomaticUpdate1 = item("Automatic Update", {}, &TExtDataLookup::AutomaticUpdate1Click);
    AutomaticUpdate1->setCheckable(true);
    SetQSLManager1->setEnabled(false);

    resize(420, 220);
}

TExtDataLookup::~TExtDataLookup()
{
    Config.SetLookupFullSize(FullSize1->isChecked());
    Config.SetLookupAutoUpdate(AutomaticUpdate1->isChecked());
    if (OnClosed)
        OnClosed();
}

void TExtDataLookup::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    SetFormFont(this);
    // A stored size already is the size of the stored panel state.
    const bool placed = RestoreFormPlacement(this, psExt);
    FullSize1->setChecked(Config.LookupFullSize());
    SetFullSize(FullSize1->isChecked(), !placed);
    AutomaticUpdate1->setChecked(Config.LookupAutoUpdate());
}

void TExtDataLookup::closeEvent(QCloseEvent* e)
{
    SaveFormPlacement(this, psExt);
    QWidget::closeEvent(e);
}

void TExtDataLookup::contextMenuEvent(QContextMenuEvent* e) { PopupMenu->popup(e->globalPos()); }

std::vector<std::string> TExtDataLookup::Lines() const
{
    std::vector<std::string> lines;
    for (int i = 0; i < LB->count(); ++i)
        lines.push_back(ToWin1252(LB->item(i)->text()));
    return lines;
}

void TExtDataLookup::ShowLines(const std::vector<std::string>& lines)
{
    LB->clear();
    for (const std::string& line : lines)
        LB->addItem(FromWin1252(line));
}

void TExtDataLookup::LookupCall(const std::string& text, bool asManager)
{
    const std::string call = UpperCall(text);
    if (call.empty()) {
        if (OnBeep)
            OnBeep();
        else
            QApplication::beep();
        return;
    }
    F_Call->SetAsString(asManager ? std::string() : call);
    F_mgr->SetAsString(asManager ? call : std::string());
    if (running_)
        return;
    ++running_;
    struct TDone {
        int& n;
        ~TDone() { --n; }
    } done{running_};
    LB->clear();
    lastCall_ = call;

    const TCallbookSettings callbook = ConfiguredCallbook();
    const bool haveCallbook = callbook.Source != 0;
    std::vector<std::string> lines;
    if (haveCallbook)
        CallbookLookup(callbook, call, lines);
    if (!asManager) {
        const std::string program = Config.QslManagerProgram();
        if (Config.QslManagerProgramOn() && !program.empty())
            QslManagerProgramLookup(program, call, lines);
        const std::string manager = ExtractManager(lines, call);
        F_mgr->SetAsString(manager);
        if (haveCallbook && !manager.empty()) {
            lines.push_back("----Address for " + manager);
            CallbookLookup(callbook, manager, lines);
        }
    }
    ShowLines(lines);
    UpdateSetManager();
}

void TExtDataLookup::UpdateSetManager()
{
    const bool allowed = qso_ && !TrimSpaces(F_mgr->GetAsString()).empty() && lastCall_ == UpperCall(qso_->QsoCallsign()) &&
                         !qso_->QsoReadOnly();
    SetQSLManager1->setEnabled(allowed);
}

void TExtDataLookup::AutoUpdate()
{
    if (!AutomaticUpdate1->isChecked() || !qso_)
        return;
    const std::string call = UpperCall(qso_->QsoCallsign());
    // An empty QSO call would only beep on every idle pass.
    if (call.empty() || call == UpperCall(F_Call->GetAsString()))
        return;
    LookupCall(call, false);
}

void TExtDataLookup::LookupCallsign1Click()
{
    if (F_mgr->hasFocus())
        LookupCall(F_mgr->GetAsString(), true);
    else
        LookupCall(F_Call->GetAsString(), false);
}

void TExtDataLookup::SetQSLManager1Click()
{
    UpdateSetManager();
    if (!SetQSLManager1->isEnabled())
        return;
    qso_->SetQsoManager(UpperCall(F_mgr->GetAsString()));
}

void TExtDataLookup::CopytoClipBoard1Click() { CopyListBoxToClipboard(LB); }

void TExtDataLookup::CopytoQSLManagerAddress1Click()
{
    CopyListBoxToClipboard(LB);
    if (!qso_)
        return;
    if (TrimSpaces(qso_->QsoManager()).empty())
        qso_->SetQsoManager(UpperCall(qso_->QsoCallsign()));
    qso_->EditManagerAddress(true);
}

void TExtDataLookup::SwitchtoQSOWindow1Click()
{
    if (qso_)
        qso_->ActivateQsoWindow();
}

void TExtDataLookup::SetFullSize(bool on, bool resizeWindow)
{
    if (Panel->isVisibleTo(this) == on)
        return;
    const int h = Panel->sizeHint().height() + layout()->spacing();
    Panel->setVisible(on);
    if (resizeWindow)
        resize(width(), std::max(minimumSizeHint().height(), height() + (on ? h : -h)));
}

void TExtDataLookup::FullSize1Click() { SetFullSize(FullSize1->isChecked(), true); }

void TExtDataLookup::AutomaticUpdate1Click() { AutoUpdate(); }

} // namespace korval
