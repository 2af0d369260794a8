// HelpLauncher: the manual in the browser.
#include "shell/HelpLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kMissingText = 99;
constexpr unsigned kTitleText = 55;
}

QString HelpLauncher::manualPath()
{
    return QString::fromStdString(Tool_Resource::getMyPath(true)) + QStringLiteral("manual/index.html");
}

bool HelpLauncher::open(QWidget* parent, bool openUrl)
{
    const QFileInfo manual(manualPath());
    if (!manual.isFile()) {
        QMessageBox box(QMessageBox::Warning, LanguageText::plain(kTitleText), LanguageText::plain(kMissingText),
                        QMessageBox::Ok, parent);
        box.setObjectName(QStringLiteral("helpMissingMessage"));
        box.exec();
        return false;
    }
    return !openUrl || QDesktopServices::openUrl(QUrl::fromLocalFile(manual.absoluteFilePath()));
}
