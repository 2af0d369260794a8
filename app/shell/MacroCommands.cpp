// MacroCommands: new, manage and apply macros for the main window.
#include "shell/MacroCommands.h"

#include <QDialog>
#include <QFileInfo>
#include <QWidget>

#include "options/MacroDialog.h"
#include "options/MacroHotKeyText.h"
#include "options/MacroManagerDialog.h"
#include "options/OptionMessage.h"
#include "options/SearchOptionsPane.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/File_HoldWnd.h"
#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "shell/MacroHotKeyFilter.h"
#include "shell/SearchController.h"

using namespace CommandIds;

namespace {
constexpr unsigned kNewCaptionText = 152, kTooManyText = 154, kMissingFileText = 156, kWriteFailedText = 596,
                   kReadFailedText = 597;
}

MacroCommands::MacroCommands(Parts parts, const QString& folder, QObject* parent)
    : QObject(parent)
    , m_parts(std::move(parts))
    , m_list(folder)
{
    m_list.load();
    refreshMenu();
    m_filter = new MacroHotKeyFilter([this](int modifiers, int vk) { return m_list.findHotKey(modifiers, vk); },
                                     [this](int index) { apply(index); }, m_parts.modalOpen, this);
}

MacroCommands::~MacroCommands() = default;

bool MacroCommands::handles(int id)
{
    return id == SaveMacro || id == ManageMacros || (id >= MacroFirst && id <= MacroLast);
}

bool MacroCommands::run(int id)
{
    if (id == SaveMacro)
        newMacro();
    else if (id == ManageMacros)
        manageMacros();
    else if (id >= MacroFirst && id <= MacroLast)
        apply(id - MacroFirst);
    else
        return false;
    return true;
}

int MacroCommands::runDialog(QDialog& dialog)
{
    emit dialogOpened(&dialog);
    return m_parts.runModal ? m_parts.runModal(dialog) : dialog.exec();
}

QString MacroCommands::menuText(const MacroRecord& macro)
{
    QString name = macro.strName;
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return name + QLatin1Char('\t') + MacroHotKeyText::text(macro.wModifier, macro.wVirtual);
}

void MacroCommands::refreshMenu()
{
    if (!m_parts.commands)
        return;
    m_parts.commands->removeRangeCommands(MacroFirst, MacroLast);
    const QList<MacroRecord>& macros = m_list.macros();
    for (int i = 0; i < macros.size() && MacroFirst + i <= MacroLast; ++i)
        m_parts.commands->setRangeCommand(MacroFirst + i, menuText(macros[i]));
}

void MacroCommands::newMacro()
{
    if (m_list.isFull()) {
        OptionMessage::show(m_parts.window,
                            LanguageFormat::format(LanguageText::get(kTooManyText), {MacroList::kMaxMacros}));
        return;
    }
    MacroDialog dialog(MacroRecord{}, LanguageText::plain(kNewCaptionText), m_parts.window);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const MacroRecord record = dialog.record();
    QString reason;
    if (!m_list.add(record, m_parts.options->values(), &reason)) {
        const QString path = m_list.folder() + QLatin1Char('/') + MacroList::fileTitleFor(record.strName) +
                             QStringLiteral(".qdp");
        OptionMessage::show(m_parts.window, OptionMessage::format(kWriteFailedText, path, reason));
        return;
    }
    refreshMenu();
}

void MacroCommands::manageMacros()
{
    MacroManagerDialog dialog(m_list.macros(), m_parts.runModal, m_parts.window);
    connect(&dialog, &MacroManagerDialog::editDialogOpened, this, &MacroCommands::dialogOpened);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    QString reason;
    const bool ok = m_list.replaceAll(dialog.macros(), &reason);
    refreshMenu();
    if (!ok)
        OptionMessage::show(m_parts.window, OptionMessage::format(kWriteFailedText, m_list.folder(), reason));
}

bool MacroCommands::apply(int index)
{
    if (index < 0 || index >= m_list.count())
        return false;
    const MacroRecord macro = m_list.macros()[index];
    const QString path = m_list.filePath(macro);
    if (!QFileInfo(path).isFile()) {
        OptionMessage::show(m_parts.window,
                            LanguageFormat::format(LanguageText::get(kMissingFileText), {path}));
        return false;
    }
    m_parts.options->reset();
    if (m_parts.side)
        m_parts.side->openPanel(0);
    SearchOptionsValues values = m_parts.options->values();
    QString reason;
    if (!m_list.readOptions(macro, values, &reason)) {
        OptionMessage::show(m_parts.window, OptionMessage::format(kReadFailedText, path, reason));
        return false;
    }
    m_parts.options->load(values);
    if (macro.bRunAfterLaunch && m_parts.search) {
        m_parts.search->checkFinished();
        if (m_parts.search->isRunning())
            m_parts.search->stop(false);
        m_parts.search->start();
    }
    return true;
}
