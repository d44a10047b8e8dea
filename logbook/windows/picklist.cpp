#include "logbook/windows/picklist.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "grids/windows/ovc_list_box.h"
#include "logbook/base/sorted_collection.h"
#include "logbook/windows/form_fonts.h"
#include "platform/windows/win1252.h"

namespace korval {

TPicklist::TPicklist(QWidget* parent, const std::string& caption, const TTwoIndex& list, int firstIndex)
    : QDialog(parent), model_(list, firstIndex)
{
    setObjectName(QStringLiteral("Picklist"));
    setWindowTitle(FromWin1252(caption));
    ListBox1 = new TOvcCustomListBox(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setToolTip(QStringLiteral("Select entry or type beginning characters (PopUp)"));
    ListBox1->installEventFilter(this);
    // The window's size follows the names it lists, not the list box's own wish.
    ListBox1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    ListBox1->OnClick = [this](TOvcCustomListBox*) { model_.Select(ListBox1->ItemIndex()); };
    ListBox1->OnDblClick = [this](TOvcCustomListBox*) { Choose(); };
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(ListBox1);

    PopupMenu1 = new QMenu(this);
    Cancel1 = PopupMenu1->addAction(QStringLiteral("Cancel"), this, &QDialog::reject);
    SortbyName1 = PopupMenu1->addAction(QStringLiteral("Sort by Name"));
    SortbyName1->setCheckable(true);
    SortbyName1->setChecked(model_.ByName());
    connect(SortbyName1, &QAction::triggered, this, [this] {
        model_.Select(ListBox1->ItemIndex());
        model_.SetByName(!model_.ByName());
        SortbyName1->setChecked(model_.ByName());
        Fill();
    });
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListBox1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->exec(ListBox1->mapToGlobal(at)); });
    Fill();
}

void TPicklist::Fill()
{
    ListBox1->Items().Clear();
    for (int i = 0; i < model_.LineCount(); ++i)
        ListBox1->Items().Add(model_.Line(i));
    ShowSelected();
}

void TPicklist::ShowSelected() { ListBox1->SetItemIndex(model_.Selected()); }

void TPicklist::Choose()
{
    model_.Select(ListBox1->ItemIndex());
    if (model_.Chosen() >= 0)
        accept();
}

void TPicklist::showEvent(QShowEvent* e)
{
    SetFormFont(this);
    // The lines line up their keys and names in columns: a fixed-pitch face where the configured
    // list font has none.
    QFont f = ListBox1->font();
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    ListBox1->setFont(f);
    // As wide as the longest name of the lines, the key and the separator.
    const int x = QFontMetrics(ListBox1->font()).horizontalAdvance(QLatin1Char('X'));
    const int rows = std::clamp(model_.LineCount(), 4, 20);
    resize(x * (model_.LongestName() + 12) + 2 * ListBox1->frameWidth() + 20,
           rows * ListBox1->ItemHeight() + 2 * ListBox1->frameWidth());
    QDialog::showEvent(e);
    ListBox1->setFocus(Qt::OtherFocusReason);
}

bool TPicklist::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            Choose();
            return true;
        }
        if (k->key() == Qt::Key_Backspace) {
            model_.Type('\b');
            ShowSelected();
            return true;
        }
        const QString text = k->text();
        if (text.size() == 1 && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            model_.Type(static_cast<char>(text.at(0).toLatin1()))) {
            ShowSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int ShowPicklist(QWidget* parent, const std::string& caption, const TTwoIndex& list, int firstIndex)
{
    TPicklist dlg(parent, caption, list, firstIndex);
    dlg.exec();
    return dlg.Result();
}

} // namespace korval
