#pragma once
// Runs the option sheet for the main window and acts on what it changed:
//  - General page changed: generalApplied() (the window re-reads the list formats and
//    repaints, the history limits follow), the show/hide hot key is released and grabbed
//    again from the record, and the log-on start-up entry is written or removed
//    (AutostartEntry, "AutoRun");
//  - Search page changed: searchApplied() (the window gives the web-page style view its
//    colours and bold flag, repaints, and refreshes the specified-type drop-down).
// Nothing happens for a page that did not change, and nothing at all on Cancel: the hot key
// is only touched after a confirmed change of the General page. The settings file is not
// written here; the window saves every record at exit.
//
// The hot key object is the application's (not owned; may be null, then only the count and
// the signals follow). Extra pages (the index pages) are added by the function given to
// setExtraPages(), called on every new sheet after the Search page.
// User-interface thread only.
#include <QObject>
#include <QString>
#include <functional>

#include "options/PP_OptionSheet.h"  // complete, so the signal's pointer is a known type

class AppSettings;
class GlobalHotKey;
class QDialog;
class QWidget;

class OptionSheetController : public QObject {
    Q_OBJECT
public:
    // Runs a dialog modally and returns its result (the window's runModal).
    using Runner = std::function<int(QDialog&)>;
    using PageAdder = std::function<void(PP_OptionSheet&)>;

    explicit OptionSheetController(AppSettings& settings, QObject* parent = nullptr);

    void setHotKey(GlobalHotKey* hotKey) { m_hotKey = hotKey; }
    void setExtraPages(PageAdder adder) { m_extraPages = std::move(adder); }

    // Builds the sheet over `parent`, runs it with `runner` (QDialog::exec when empty) and,
    // when it is confirmed, acts on it. True when the sheet was confirmed.
    bool run(QWidget* parent, const Runner& runner = {});
    // Acts on a confirmed sheet (what run() does after OK).
    void act(PP_OptionSheet& sheet);

    // Grabs the hot key of the general record again (released first); with no key chosen
    // (code 0) it is only released. Counts as one re-registration.
    void reRegisterHotKey();
    int hotKeyReRegistrations() const { return m_reRegistrations; }
    // The start-up entry's result of the last General change (true before any).
    bool autostartApplied() const { return m_autostartOk; }

signals:
    void generalApplied();
    void searchApplied();
    // The hot key is held again; its text ("Alt+F1"), empty when no key is chosen.
    void hotKeyRegistered(const QString& text);
    void hotKeyFailed(const QString& reason);
    // After the acting above; the sheet is still alive (for the index pages' owners).
    void sheetConfirmed(PP_OptionSheet* sheet);

private:
    AppSettings& m_settings;
    GlobalHotKey* m_hotKey = nullptr;
    PageAdder m_extraPages;
    int m_reRegistrations = 0;
    bool m_autostartOk = true;
};
