#include "logbook/windows/help_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace korval {

namespace {

std::string g_helpFile;
QPointer<THelpWindow> g_helpWindow;

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("KORVAL Help"));
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("SearchText"));
    search_->setPlaceholderText(QStringLiteral("Search for"));
    auto* next = new QPushButton(QStringLiteral("Find &Next"), this);
    next->setAutoDefault(false);
    found_ = new QLabel(this);
    auto* contents = new QPushButton(QStringLiteral("C&ontents"), this);
    contents->setAutoDefault(false);
    auto* howTo = new QPushButton(QStringLiteral("&How to Use Help"), this);
    howTo->setAutoDefault(false);
    connect(search_, &QLineEdit::returnPressed, this, &THelpWindow::FindNext);
    connect(next, &QPushButton::clicked, this, &THelpWindow::FindNext);
    connect(contents, &QPushButton::clicked, this, &THelpWindow::ShowContents);
    connect(howTo, &QPushButton::clicked, this, &THelpWindow::ShowHowToUse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(search_, 1);
    searchRow->addWidget(next);
    searchRow->addWidget(found_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(contents);
    bottom->addWidget(howTo);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(searchRow);
    lay->addWidget(browser_);
    lay->addLayout(bottom);
    QSize size(760, 600);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
}

void THelpWindow::LoadFile(const std::string& path)
{
    path_ = path;
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly)) {
        browser_->setPlainText(QStringLiteral("The help file %1 could not be read.").arg(file.fileName()));
        return;
    }
    browser_->setMarkdown(QString::fromUtf8(file.readAll()));
}

void THelpWindow::StartSearch()
{
    search_->setFocus();
    search_->selectAll();
}

bool THelpWindow::FindNext()
{
    const QString text = search_->text();
    found_->clear();
    if (text.isEmpty())
        return false;
    if (browser_->find(text))
        return true;
    // Past the last place: once more from the top.
    QTextCursor top = browser_->textCursor();
    top.movePosition(QTextCursor::Start);
    browser_->setTextCursor(top);
    if (browser_->find(text))
        return true;
    found_->setText(QStringLiteral("Not found"));
    return false;
}

void THelpWindow::ShowHowToUse()
{
    browser_->setMarkdown(QStringLiteral(
        "# How to use help\n\n"
        "This window shows Korval's guide. Scroll with the mouse wheel, the scroll bar, Page Up and Page Down; "
        "Ctrl+Home goes to the top.\n\n"
        "To find a word, type it into the line at the top and press Enter: the next place it occurs is "
        "selected. Press Enter or **Find Next** again for the place after it; after the last one the search "
        "starts again at the top. *Not found* beside the line means the guide does not hold the word.\n\n"
        "**Contents** shows the guide again, and links open in your web browser. The window stays open "
        "beside Korval's other windows until you close it."));
}

void THelpWindow::ShowContents() { LoadFile(path_); }

void SetHelpFile(const std::string& path) { g_helpFile = path; }

const std::string& HelpFile() { return g_helpFile; }

THelpWindow* ShowHelp(QWidget* parent)
{
    if (!g_helpWindow) {
        g_helpWindow = new THelpWindow(parent);
        g_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        g_helpWindow->LoadFile(g_helpFile);
    }
    g_helpWindow->show();
    g_helpWindow->raise();
    g_helpWindow->activateWindow();
    return g_helpWindow;
}

} // namespace korval
