#include "reference/windows/master_lookup.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenuBar>
#include <QVBoxLayout>

#include "logbook/config_record.h"
#include "logbook/progress.h"
#include "logbook/windows/form_placement.h"
#include "platform/message_dlg.h"
#include "platform/windows/win1252.h"

namespace korval {

TMasterLookup::TMasterLookup(std::string fileName, QWidget* parent) : QWidget(parent), fileName_(std::move(fileName))
{
    setWindowFlag(Qt::Window, true);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("MasterLookup"));
    setWindowTitle(QStringLiteral("Master Callsigns"));
    auto* bar = new QMenuBar(this);
    Convert1 = bar->addAction(QStringLiteral("Convert"), this, [this] { Convert1Click(); });
    Leftmatch1 = bar->addAction(QStringLiteral("Sub string"), this, [this] { Leftmatch1Click(); });
    Leftmatch1->setCheckable(true);
    LB = new QListWidget(this);
    LB->setObjectName(QStringLiteral("LB"));
    // Calls run down each column, then on to the next one.
    LB->setFlow(QListView::TopToBottom);
    LB->setWrapping(true);
    LB->setResizeMode(QListView::Adjust);
    LB->setUniformItemSizes(true);
    auto* lay = new QVBoxLayout(this);
    lay->setMenuBar(bar);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(LB);
    resize(360, 160);
}

TMasterLookup::~TMasterLookup()
{
    engine_.Free();
    if (OnClosed)
        OnClosed();
}

void TMasterLookup::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (shown_)
        return;
    shown_ = true;
    RestoreFormPlacement(this, psMastr);
    LoadFile();
}

void TMasterLookup::LoadFile()
{
    switch (engine_.LoadFile(fileName_)) {
    case TMasterLoadResult::NotFound:
        MessageDlg("Master file:\r" + fileName_ + "\rnot found, no calls loaded", TMsgDlgType::mtError, mbOK);
        break;
    case TMasterLoadResult::NotMasterFile:
        MessageDlg("Not a KORVAL master file", TMsgDlgType::mtError, mbOK);
        break;
    case TMasterLoadResult::Damaged:
        MessageDlg("Master file:\r" + fileName_ + "\ris damaged, no calls loaded", TMsgDlgType::mtError, mbOK);
        break;
    case TMasterLoadResult::Loaded: break;
    }
    engine_.ClearLastSearched();
    LB->clear();
    LayoutColumns();
}

void TMasterLookup::LayoutColumns()
{
    // A column is as wide as the longest call and two letters more; fewer than two columns
    // make one column down the whole list.
    const QFontMetrics fm(LB->font());
    const int width = fm.horizontalAdvance(QString(engine_.Longest() + 2, QLatin1Char('X')));
    const int columns = width > 0 ? LB->viewport()->width() / width : 0;
    if (columns < 2) {
        LB->setWrapping(false);
        LB->setGridSize(QSize());
    } else {
        LB->setWrapping(true);
        LB->setGridSize(QSize(width, fm.height() + 2));
    }
}

void TMasterLookup::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    LayoutColumns();
}

void TMasterLookup::Search(const std::string& partial)
{
    if (!engine_.Search(partial))
        return;
    ShowMatches();
}

void TMasterLookup::ShowMatches()
{
    LB->clear();
    for (const std::string& call : engine_.Matches())
        LB->addItem(FromWin1252(call));
}

void TMasterLookup::Leftmatch1Click()
{
    engine_.SetSubString(Leftmatch1->isChecked());
    const std::string last = engine_.LastSearched();
    engine_.ClearLastSearched();
    Search(last);
}

void TMasterLookup::Convert1Click()
{
    const std::string source =
        AskSourceFile ? AskSourceFile()
                      : QFileDialog::getOpenFileName(this, QStringLiteral("Convert"), QStringLiteral("master.dta"),
                                                     QStringLiteral("Master Log (*.dta)"))
                            .toStdString();
    if (source.empty())
        return;
    engine_.Free();
    std::size_t calls = 0;
    bool started = false;
    try {
        calls = ConvertMasterFile(source, fileName_, [&](std::size_t done, std::size_t total) {
            if (!started) {
                Progress().Start("Reading Calls", static_cast<int>(total / MasterProgressStep + 1));
                started = true;
            }
            if (done < total)
                Progress().Step();
        });
    } catch (const std::exception& e) {
        if (started)
            Progress().Finish();
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        LoadFile();
        return;
    }
    if (started)
        Progress().Finish();
    MessageDlg("Conversion finished\r" + std::to_string(calls) + " Calls", TMsgDlgType::mtInformation, mbOK);
    LoadFile();
}

} // namespace korval
