// SplashScreen: the start-up picture.
#include "shell/SplashScreen.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "shell/LanguageText.h"

namespace {
constexpr int kCloseAfterMs = 100;

QPixmap splashPixmap()
{
    const qreal ratio = qGuiApp->devicePixelRatio();
    QPixmap pixmap(QIcon(QStringLiteral(":/images/splash.svg")).pixmap(QSize(480, 280), ratio));
    if (pixmap.isNull()) {  // no SVG support: a plain card with the name
        pixmap = QPixmap(480, 280);
        pixmap.fill(QColor(100, 132, 183));
        QPainter painter(&pixmap);
        painter.setPen(Qt::white);
        painter.setFont(QFont(QString(), 28, QFont::Bold));
        painter.drawText(pixmap.rect(), Qt::AlignCenter, LanguageText::plain(55));
    }
    return pixmap;
}
}  // namespace

SplashScreen::SplashScreen()
    : QSplashScreen(splashPixmap())
{
    setObjectName(QStringLiteral("splash"));
    setAccessibleName(LanguageText::plain(55));
    setAttribute(Qt::WA_DeleteOnClose);
}

SplashScreen* SplashScreen::showNow()
{
    auto* splash = new SplashScreen;
    splash->show();
    splash->raise();
    QTimer::singleShot(kCloseAfterMs, splash, &QWidget::close);
    return splash;
}

void SplashScreen::keyPressEvent(QKeyEvent*)
{
    close();
}
