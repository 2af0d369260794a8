// ResultContextMenu: the menu of a row of the result list.
#include "shell/ResultContextMenu.h"

#include <QMenu>

#include <functional>

#include "records/Data_FileItem.h"
#include "shell/CommandIds.h"
#include "shell/IResultListAccess.h"
#include "shell/LanguageText.h"
#include "shell/LocalFileUrl.h"
#include "shell/MimeAppAssociations.h"
#include "shell/ResultOperations.h"

using namespace CommandIds;

namespace {
constexpr unsigned kOpenContainingText = 20;
constexpr unsigned kOpenText = 57;
constexpr unsigned kCopyText = 146;
constexpr unsigned kOpenArchiveText = 147;
constexpr unsigned kOpenWithMenuText = 412;
constexpr unsigned kCutText = 662;
constexpr unsigned kPropertiesText = 663;
}  // namespace

QMenu* ResultContextMenu::build(ResultOperations& ops, IResultListAccess& list, int row, QWidget* menuParent)
{
    auto* menu = new QMenu(menuParent);
    menu->setObjectName(QStringLiteral("resultContextMenu"));
    if (row < 0 || row >= list.rowCount())
        return menu;
    const QList<OpenWithEntry>* openWith = ops.openWithEntries();
    auto add = [&ops, menu](const QString& text, std::function<void()> work) {
        QAction* action = menu->addAction(text);
        QObject::connect(action, &QAction::triggered, &ops, std::move(work));
        return action;
    };
    Data_FileItem& clicked = list.itemAt(row);
    const std::vector<int> selection = list.selectedRows();
    if (clicked.m_bInArchive) {
        const QString first = selection.size() == 1
                                  ? LanguageText::get(kOpenArchiveText) + u' ' + LocalFileUrl::displayPath(clicked.getFullNameIncludeArchivePath())
                                  : LanguageText::get(kOpenContainingText);
        add(first, [&ops] { ops.openContainingFolders(); });
        menu->addSeparator();
        menu->setDefaultAction(add(LanguageText::get(kOpenText), [&ops] { ops.openSelection(); }));
        add(LanguageText::get(kCopyText), [&ops] { ops.copyFiles(ResultClipboard::FileMode::Copy); });
        return menu;
    }
    menu->setDefaultAction(add(LanguageText::get(unsigned(Execute)), [&ops] { ops.openSelection(); }));
    // Open with: the configured programs, then the desktop's applications for the type.
    const std::vector<MimeAppAssociations::App> apps =
        MimeAppAssociations::appsFor(MimeAppAssociations::mimeTypeOf(LocalFileUrl::displayPath(clicked.getFullFileName())));
    if ((openWith && !openWith->isEmpty()) || !apps.empty()) {
        QMenu* sub = menu->addMenu(LanguageText::get(kOpenWithMenuText));
        sub->setObjectName(QStringLiteral("openWithMenu"));
        for (int i = 0; openWith && i < openWith->size() && OpenWithFirst + i <= OpenWithLast; ++i) {
            QAction* action = sub->addAction(openWith->at(i).title);
            QObject::connect(action, &QAction::triggered, &ops, [&ops, i] { ops.runOpenWith(i); });
        }
        if (!sub->isEmpty() && !apps.empty())
            sub->addSeparator();
        for (const MimeAppAssociations::App& app : apps) {
            QAction* action = sub->addAction(app.name.isEmpty() ? app.id : app.name);
            const QString exec = app.exec;
            QObject::connect(action, &QAction::triggered, &ops, [&ops, exec] { ops.runApplication(exec); });
        }
    }
    add(LanguageText::get(kOpenContainingText), [&ops] { ops.openContainingFolders(); });
    menu->addSeparator();
    add(LanguageText::get(unsigned(CopyFiles)), [&ops] { ops.copyFiles(ResultClipboard::FileMode::Copy); });
    add(LanguageText::get(kCutText), [&ops] { ops.copyFiles(ResultClipboard::FileMode::Cut); });
    add(LanguageText::get(unsigned(CopyNames)), [&ops] { ops.copyText(ResultClipboard::TextKind::Names); });
    add(LanguageText::get(unsigned(CopyFullPaths)), [&ops] { ops.copyText(ResultClipboard::TextKind::FullPaths); });
    menu->addSeparator();
    add(LanguageText::get(unsigned(Rename)), [&ops] { ops.run(CommandIds::Rename); });
    add(LanguageText::get(unsigned(MoveFiles)), [&ops] { ops.run(CommandIds::MoveFiles); });
    add(LanguageText::get(unsigned(DeleteToTrash)), [&ops] { ops.deleteSelection(false); });
    add(LanguageText::get(unsigned(DeletePermanently)), [&ops] { ops.deleteSelection(true); });
    menu->addSeparator();
    add(LanguageText::get(kPropertiesText), [&ops] { ops.showProperties(); });
    return menu;
}
