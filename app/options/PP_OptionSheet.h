#pragma once
// The option sheet (F12 and the tray menu's options entry): a modal dialog with one tab per
// OptionPage, captioned with language string 30. It makes the General and Search pages
// itself; further pages (the index pages) are appended with addPage() before it is shown.
//
// Every page is loaded from the settings when it joins the sheet. OK validates the pages in
// order (the first that refuses is shown and the sheet stays open), then applies them in
// order and closes; changed() tells afterwards which pages changed their records. Cancel
// (or Escape, or the close box) touches no page and no record.
// The AppSettings outlives the sheet. User-interface thread only.
#include <QDialog>
#include <QList>
#include <QSet>

class AppSettings;
class OptionPage;
class PP_General;
class PP_Search;
class QDialogButtonBox;
class QTabWidget;

class PP_OptionSheet : public QDialog {
    Q_OBJECT
public:
    explicit PP_OptionSheet(AppSettings& settings, QWidget* parent = nullptr);

    // Takes `page` (the sheet becomes its owner), loads it and shows it as the last tab.
    void addPage(OptionPage* page);

    PP_General* general() const { return m_general; }
    PP_Search* search() const { return m_search; }
    const QList<OptionPage*>& pages() const { return m_pages; }
    QTabWidget* tabs() const { return m_tabs; }
    QDialogButtonBox* buttons() const { return m_buttons; }
    // After OK: whether `page`'s applyToSettings() reported a change.
    bool changed(const OptionPage* page) const { return m_changed.contains(page); }

    // OK: validate, apply, close (see above).
    void accept() override;

private:
    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    PP_General* m_general = nullptr;
    PP_Search* m_search = nullptr;
    QList<OptionPage*> m_pages;
    QSet<const OptionPage*> m_changed;
};
