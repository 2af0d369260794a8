#pragma once
// Opens the HTML manual installed in the program folder (manual/index.html beside the
// program's libraries) in the user's browser. When it is missing, message 99.
#include <QString>

class QWidget;

class HelpLauncher {
public:
    // <program folder>/manual/index.html
    static QString manualPath();
    // False when the manual is missing (after telling the user with message 99, a modal
    // box parented to `parent`) or when no browser could be started. With `openUrl` false
    // it only checks and reports, which tests use.
    static bool open(QWidget* parent, bool openUrl = true);
};
