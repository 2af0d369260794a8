// TrayIcon: QSystemTrayIcon with the program's menu.
#include "shell/TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include "shell/CommandIds.h"
#include "shell/CommandProxy.h"
#include "shell/CommandRegistry.h"
#include "shell/IndexPathMenu.h"
#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

using namespace CommandIds;

namespace {
constexpr unsigned kTitleText = 55;
constexpr unsigned kOpenText = 57;
constexpr unsigned kHideText = 58;
constexpr unsigned kOptionsText = 59;
constexpr unsigned kExitText = 60;
constexpr unsigned kRebuildAllText = 76;
constexpr unsigned kRebuildLocalText = 77;
constexpr unsigned kStopIndexingText = 83;
}  // namespace

TrayIcon::TrayIcon(CommandRegistry& registry, Availability availability, QObject* parent)
    : QObject(parent)
{
    switch (availability) {
    case Availability::Detect: m_available = QSystemTrayIcon::isSystemTrayAvailable(); break;
    case Availability::ForceAvailable: m_available = true; break;
    case Availability::ForceUnavailable: m_available = false; break;
    }

    m_menu = new QMenu();
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    m_menu->setAccessibleName(LanguageText::plain(kTitleText));
    m_showHide = m_menu->addAction(QString());
    m_menu->setDefaultAction(m_showHide);
    connect(m_showHide, &QAction::triggered, this, [this] {
        if (m_modalOpen)
            emit showRequested();
        else
            emit toggleRequested();
    });
    m_menu->addAction(CommandProxy::make(registry.action(Options), LanguageText::get(kOptionsText), m_menu));
    m_menu->addSeparator();
    m_menu->addAction(CommandProxy::make(registry.action(RebuildAllIndexes), LanguageText::get(kRebuildAllText), m_menu));
    m_menu->addAction(CommandProxy::make(registry.action(RebuildLocalPaths), LanguageText::get(kRebuildLocalText), m_menu));
    m_menu->addMenu(new IndexPathMenu(registry, m_menu));
    m_menu->addSeparator();
    m_menu->addAction(CommandProxy::make(registry.action(StopIndexing), LanguageText::get(kStopIndexingText), m_menu));
    m_exit = m_menu->addAction(LanguageText::get(kExitText));
    m_exit->setIcon(ThemedIcon::get(QStringLiteral("application-exit")));
    connect(m_exit, &QAction::triggered, this, [this] {
        // With a modal dialog open the program cannot end under it: show the window instead.
        if (m_modalOpen)
            emit showRequested();
        else
            emit exitRequested();
    });
    connect(m_menu, &QMenu::aboutToShow, this, &TrayIcon::updateTexts);

    if (m_available) {
        m_icon = new QSystemTrayIcon(ThemedIcon::program(), this);
        m_icon->setContextMenu(m_menu);
        connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick) {
                if (m_modalOpen)
                    emit showRequested();
                else
                    emit toggleRequested();
            }
        });
    }
    updateTexts();
}

TrayIcon::~TrayIcon()
{
    delete m_icon;  // before the menu it shows
    delete m_menu;
}

void TrayIcon::show()
{
    if (m_icon)
        m_icon->show();
}

void TrayIcon::setWindowVisible(bool visible)
{
    m_windowVisible = visible;
    updateTexts();
}

void TrayIcon::setHotKeyText(const QString& text)
{
    m_hotKeyText = text;
    updateTexts();
}

void TrayIcon::setIndexProgress(const QString& progress)
{
    m_progress = progress;
    updateTexts();
}

QString TrayIcon::toolTip() const
{
    QString tip = LanguageText::plain(kTitleText);
    if (!m_progress.isEmpty())
        tip += QLatin1Char('\n') + m_progress;
    return tip;
}

void TrayIcon::updateTexts()
{
    QString text = LanguageText::get(m_windowVisible ? kHideText : kOpenText);
    if (!m_hotKeyText.isEmpty())
        text += QLatin1Char('\t') + m_hotKeyText;
    m_showHide->setText(text);
    if (m_icon)
        m_icon->setToolTip(toolTip());
}
