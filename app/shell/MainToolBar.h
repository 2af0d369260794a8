#pragma once
// The main window's toolbar: open result, save result, execute, copy file path, copy
// files, delete, options, rebuild local paths, search images, music, videos, specified
// type, a separator, About — all registered commands. Three buttons carry a drop-down:
// rebuild local paths (rebuild all indexes and the indexed-path submenu), copy file path
// (copy file names, copy full paths) and search specified type (one entry per extension
// of "PatternString"). A right click offers the large/small button toggle.
//
// Large buttons show 44-pixel images in 51 x 50 buttons, small ones 24-pixel images in
// 31 x 30 buttons. User-interface thread only; the registry outlives the toolbar.
#include <QStringList>
#include <QToolBar>

class CommandRegistry;
class QMenu;
class QToolButton;

class MainToolBar : public QToolBar {
    Q_OBJECT
public:
    MainToolBar(CommandRegistry& registry, QWidget* parent = nullptr);

    void setLargeButtons(bool large);
    bool largeButtons() const { return m_large; }
    // The extensions (without dot) of the specified-type drop-down.
    void setPatternExtensions(const QStringList& extensions);
    QMenu* typeMenu() const { return m_typeMenu; }
    QMenu* copyPathMenu() const { return m_copyPathMenu; }
    QMenu* rebuildMenu() const { return m_rebuildMenu; }
    QToolButton* buttonFor(int commandId) const;

    // The one-entry menu that toggles the button style (also used by the option side's
    // buttons); the entry says "Large buttons" while they are small and the reverse.
    void showButtonStyleMenu(const QPoint& globalPos);

signals:
    // The user chose a new button style; the main window stores it and relays out.
    void buttonStyleToggled(bool large);
    // An entry of the specified-type drop-down: search for "*." + extension.
    void specifiedTypeChosen(const QString& extension);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void addDropDown(int commandId, QMenu* menu);
    void updateTypeEntries();

    CommandRegistry& m_registry;
    bool m_large = true;
    QMenu* m_rebuildMenu = nullptr;
    QMenu* m_copyPathMenu = nullptr;
    QMenu* m_typeMenu = nullptr;
};
