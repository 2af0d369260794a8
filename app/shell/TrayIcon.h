#pragma once
// The notification-area icon and its menu. Tooltip "Quendrel" (while indexing followed by
// a line break and the progress text). A double click asks to toggle the window; the menu
// holds show or hide (with the hot key's text, the default entry), options, rebuild all
// indexes, rebuild the local paths, the indexed-path submenu, stop indexing and exit.
//
// Where the desktop has no tray, available() is false, nothing is shown and the main
// window's close box exits instead of hiding. `forceAvailable` lets tests and the
// screenshot treat a missing tray as present. User-interface thread only.
#include <QObject>
#include <QString>

class CommandRegistry;
class QAction;
class QMenu;
class QSystemTrayIcon;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    enum class Availability { Detect, ForceAvailable, ForceUnavailable };

    TrayIcon(CommandRegistry& registry, Availability availability, QObject* parent = nullptr);
    ~TrayIcon() override;

    bool available() const { return m_available; }
    // Shows the icon (when available).
    void show();
    // Whether the window is visible, for the show/hide entry's text.
    void setWindowVisible(bool visible);
    // The show/hide hot key as text ("Alt+F1"); empty when there is none.
    void setHotKeyText(const QString& text);
    // The progress text of a running indexing run; empty when none runs.
    void setIndexProgress(const QString& progress);
    void setModalDialogOpen(bool open) { m_modalOpen = open; }

    QString toolTip() const;
    QMenu* menu() const { return m_menu; }
    QAction* showHideEntry() const { return m_showHide; }
    QAction* exitEntry() const { return m_exit; }

signals:
    void toggleRequested();
    void showRequested();
    void exitRequested();

private:
    void updateTexts();

    bool m_available = false;
    bool m_windowVisible = true;
    bool m_modalOpen = false;
    QString m_hotKeyText;
    QString m_progress;
    QSystemTrayIcon* m_icon = nullptr;
    QMenu* m_menu = nullptr;
    QAction* m_showHide = nullptr;
    QAction* m_exit = nullptr;
};
