// QuendrelApplication: start-up and exit of the desktop program.
#include "shell/QuendrelApplication.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QTimer>

#include "shell/AppSettings.h"
#include "shell/CMainFrame.h"
#include "shell/CommandLine.h"
#include "shell/GlobalHotKey.h"
#include "shell/LanguageText.h"
#include "shell/SingleInstance.h"
#include "shell/SplashScreen.h"
#include "shell/VirtualKeyTable.h"

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
    if (m_frame)
        m_frame->setHotKey(nullptr);
    m_hotKey.reset();
    m_frame.reset();  // captures the placement and saves every setting
    if (m_settings)
        m_settings->savePlacement();
    m_instance.reset();
}

int QuendrelApplication::run()
{
    const CommandLine commandLine = CommandLine::parse(arguments().mid(1));

    // A running instance takes the request over and shows itself; this one ends.
    m_instance = std::make_unique<SingleInstance>();
    QString error;
    switch (m_instance->start(commandLine, &error)) {
    case SingleInstance::Role::Secondary: return 0;
    case SingleInstance::Role::Failed:
        QMessageBox::critical(nullptr, LanguageText::plain(kTitleText), error);
        return 1;
    case SingleInstance::Role::Primary: break;
    }

    m_settings = std::make_unique<AppSettings>();
    m_settings->loadPlacement();

    m_frame = std::make_unique<CMainFrame>(*m_settings, CMainFrame::Options{});
    SplashScreen* splash = nullptr;
    if (!commandLine.minimizedFlag() && m_settings->general().bShowSplashImage != 0)
        splash = SplashScreen::showNow();
    connect(m_frame.get(), &CMainFrame::closedForExit, this, &QCoreApplication::quit, Qt::QueuedConnection);
    connect(m_instance.get(), &SingleInstance::activationRequested, this, [this](bool pathFlag, const QString& parameter) {
        m_frame->showFromTray();
        takeParameter(pathFlag, parameter);
    });

    m_frame->startIndexing();
    m_frame->startUp(commandLine.minimizedFlag());
    if (splash)
        splash->raise();
    registerHotKey();
    if (commandLine.hasParameter())
        takeParameter(commandLine.pathFlag(), commandLine.parameter());
    return exec();
}

void QuendrelApplication::registerHotKey()
{
    const int virtualKey = m_settings->general().HKSHVirtual;
    const int flags = m_settings->general().HKSHModifier;
    m_hotKey = std::make_unique<GlobalHotKey>();
    connect(m_hotKey.get(), &GlobalHotKey::activated, m_frame.get(), &CMainFrame::toggleFromHotKey);
    m_frame->setHotKey(m_hotKey.get());
    const QKeyCombination key = VirtualKeyTable::qtKeyFromVirtualKey(virtualKey);
    const QKeySequence sequence(QKeyCombination(VirtualKeyTable::modifiersFromHotKeyFlags(flags), key.key()));
    QString reason;
    if (m_hotKey->registerKey(virtualKey, flags, &reason)) {
        m_frame->setHotKeyText(sequence.toString(QKeySequence::NativeText));
        return;
    }
    // One warning at start-up, once the window (or the tray) is there; the program runs on.
    QTimer::singleShot(0, m_frame.get(), [this, reason] { m_frame->warnHotKeyUnavailable(reason); });
}

void QuendrelApplication::takeParameter(bool pathFlag, const QString& parameter)
{
    if (parameter.isEmpty())
        return;
    if (pathFlag) {
        m_frame->setSearchFolders(CommandLine::parse({QStringLiteral("/path"), parameter}).folders());
        return;
    }
    const QString file = CommandLine::processParameter(parameter);
    QTimer::singleShot(0, m_frame.get(), [this, file] {
        if (m_frame->resultOperations()) {
            m_frame->openResultFile(file);  // a file it cannot read is reported there
            return;
        }
        QMessageBox box(QMessageBox::Information, LanguageText::plain(kTitleText),
                        LanguageText::plain(kResultFileLaterText).replace(QStringLiteral("%s"), file),
                        QMessageBox::Ok, m_frame.get());
        m_frame->runModal(box);
    });
}
