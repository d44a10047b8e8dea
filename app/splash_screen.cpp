#include "app/splash_screen.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace korval {

namespace {

TSplashScreen* g_splash = nullptr;

// The picture of the splash: a globe with a signal arc, drawn so the program needs no image file.
QPixmap SplashPicture()
{
    QPixmap pm(96, 96);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 90, 170));
    p.setPen(QPen(QColor(20, 40, 90), 2));
    p.drawEllipse(QRectF(8, 8, 80, 80));
    p.setPen(QPen(QColor(230, 230, 230), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(28, 8, 40, 80));
    p.drawLine(QPointF(8, 48), QPointF(88, 48));
    p.setPen(QPen(QColor(240, 180, 30), 3));
    p.drawArc(QRectF(0, 0, 96, 96), 30 * 16, 40 * 16);
    return pm;
}

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

TSplashScreen::TSplashScreen(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SplashScreen"));
    setWindowTitle(QStringLiteral("About KORVAL"));
    auto* lay = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    Image1 = NamedLabel(this, "Image1", QString());
    Image1->setPixmap(SplashPicture());
    Image1->installEventFilter(this);
    auto* texts = new QVBoxLayout;
    auto* title = NamedLabel(this, "TitleLabel", QStringLiteral("KORVAL"));
    QFont tf = title->font();
    tf.setPointSize(tf.pointSize() * 2);
    tf.setBold(true);
    title->setFont(tf);
    VersionLabel = NamedLabel(this, "VersionLabel", QString());
    Label1 = NamedLabel(this, "Label1", QStringLiteral("The logbook of an amateur-radio station"));
    Label2 = NamedLabel(this, "Label2", QStringLiteral("QSOs, awards, ADIF import and export,"));
    Label3 = NamedLabel(this, "Label3", QStringLiteral("for the serious and the casual DXer"));
    for (QLabel* l : {title, VersionLabel, Label1, Label2, Label3})
        texts->addWidget(l);
    top->addWidget(Image1);
    top->addLayout(texts);
    lay->addLayout(top);
    Label_1 = NamedLabel(this, "Label_1", QStringLiteral("Design and code: the Korval developers"));
    Label_2 = NamedLabel(this, "Label_2", QStringLiteral("Country data: the DX community"));
    Label_3 = NamedLabel(this, "Label_3", QStringLiteral("Testing: the operators who used it"));
    Label_4 = NamedLabel(this, "Label_4", QStringLiteral("Ideas: everyone who asked for more"));
    Label_5 = NamedLabel(this, "Label_5", QStringLiteral("73 and good DX"));
    for (QLabel* l : {Label_1, Label_2, Label_3, Label_4, Label_5}) {
        l->setVisible(false);
        lay->addWidget(l);
    }
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    lay->addWidget(OkBtn, 0, Qt::AlignHCenter);
    // FormCreate
    VersionLabel->setText(QStringLiteral("Version 5.02"));
}

void TSplashScreen::Image1DblClick()
{
    if (!clickedOnce_) {
        clickedOnce_ = true;
        return;
    }
    Image1->setVisible(false);
    for (QLabel* l : {Label_1, Label_2, Label_3, Label_4, Label_5})
        l->setVisible(true);
}

bool TSplashScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonDblClick) {
        Image1DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

TSplashScreen* StartupSplash()
{
    return g_splash;
}

void ShowStartupSplash()
{
    if (g_splash)
        return;
    g_splash = new TSplashScreen;
    g_splash->setWindowFlag(Qt::SplashScreen);
    g_splash->OkBtn->setVisible(false);
    g_splash->show();
    g_splash->repaint();
}

void FreeStartupSplash()
{
    delete g_splash;
    g_splash = nullptr;
}

} // namespace korval
