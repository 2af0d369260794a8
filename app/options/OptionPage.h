#pragma once
// One page of the option sheet (F12). A page edits the in-memory settings records
// (AppSettings); nothing reaches the settings file until the program saves its settings.
//
// The sheet calls loadFromSettings() once before it is shown. On OK it calls validate() on
// every page in page order; the first page that returns false is shown and the sheet stays
// open (the page has told the user why). Then applyToSettings() is called on every page in
// page order, and the sheet's owner acts on the pages whose applyToSettings() returned true
// (something changed). Cancel calls nothing: the records stay as they were.
//
// Threads: user-interface thread only. Owned by the sheet (a QWidget child).
#include <QString>
#include <QWidget>

class OptionPage : public QWidget {
    Q_OBJECT
public:
    explicit OptionPage(QWidget* parent = nullptr) : QWidget(parent) {}
    // The tab caption.
    virtual QString pageTitle() const = 0;
    virtual void loadFromSettings() = 0;
    // False keeps the sheet open on this page.
    virtual bool validate() { return true; }
    // Writes the controls into the records; true when any value differs from before.
    virtual bool applyToSettings() = 0;
};
