#include "logbook/windows/help_window.h"

#include <QDialogButtonBox>
#include <QFile>
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
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(browser_);
    lay->addWidget(buttons);
    QSize size(760, 600);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    resize(size);
}

void THelpWindow::LoadFile(const std::string& path)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly)) {
        browser_->setPlainText(QStringLiteral("The help file %1 could not be read.").arg(file.fileName()));
        return;
    }
    browser_->setMarkdown(QString::fromUtf8(file.readAll()));
}

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
