// QuendrelApplication: start-up and exit of the desktop program.
#include "shell/QuendrelApplication.h"

#include <QMessageBox>
#include <QTimer>

#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/LanguageText.h"
#include "shell/SplashScreen.h"

namespace {
constexpr unsigned kTitleText = 55;
constexpr unsigned kResultFileLaterText = 416;
}  // namespace

QuendrelApplication::QuendrelApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quendrel"));
    setApplicationVersion(QStringLiteral(QUENDREL_VERSION));
    setDesktopFileName(QStringLiteral("quendrel"));
}

QuendrelApplication::~QuendrelApplication()
{
    m_frame.reset();
    if (m_settings)
        m_settings->savePlacement();
}

int QuendrelApplication::run()
{
    const QStringList args = arguments().mid(1);
    bool minimized = false;
    QString resultFile;
    for (const QString& a : args) {
        if (a.compare(QStringLiteral("/minimized"), Qt::CaseInsensitive) == 0)
            minimized = true;
        else
            resultFile = a;
    }

    m_settings = std::make_unique<AppSettings>();
    m_settings->loadPlacement();

    const bool splash = !minimized;
    SplashScreen* splashScreen = nullptr;
    m_frame = std::make_unique<CMainFrame>(*m_settings, CMainFrame::Options{});
    if (splash && m_settings->general().bShowSplashImage != 0)
        splashScreen = SplashScreen::showNow();
    connect(m_frame.get(), &CMainFrame::closedForExit, this, &QCoreApplication::quit, Qt::QueuedConnection);
    m_frame->startUp(minimized);
    if (splashScreen)
        splashScreen->raise();

    if (!resultFile.isEmpty()) {
        QTimer::singleShot(0, m_frame.get(), [this, resultFile] {
            QMessageBox box(QMessageBox::Information, LanguageText::plain(kTitleText),
                            LanguageText::plain(kResultFileLaterText).replace(QStringLiteral("%s"), resultFile),
                            QMessageBox::Ok, m_frame.get());
            m_frame->runModal(box);
        });
    }
    return exec();
}
