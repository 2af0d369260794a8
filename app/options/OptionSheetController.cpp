// OptionSheetController: the option sheet's run and the acting on its changes.
#include "options/OptionSheetController.h"

#include <QKeySequence>

#include "options/PP_General.h"
#include "options/PP_OptionSheet.h"
#include "options/PP_Search.h"
#include "shell/AppSettings.h"
#include "shell/AutostartEntry.h"
#include "shell/GlobalHotKey.h"
#include "shell/VirtualKeyTable.h"

OptionSheetController::OptionSheetController(AppSettings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
}

bool OptionSheetController::run(QWidget* parent, const Runner& runner)
{
    PP_OptionSheet sheet(m_settings, parent);
    if (m_extraPages)
        m_extraPages(sheet);
    const int result = runner ? runner(sheet) : sheet.exec();
    if (result != QDialog::Accepted)
        return false;
    act(sheet);
    return true;
}

void OptionSheetController::act(PP_OptionSheet& sheet)
{
    if (sheet.changed(sheet.general())) {
        emit generalApplied();
        reRegisterHotKey();
        m_autostartOk = AutostartEntry::apply(m_settings.general().AutoRun != 0);
    }
    if (sheet.changed(sheet.search()))
        emit searchApplied();
    emit sheetConfirmed(&sheet);
}

void OptionSheetController::reRegisterHotKey()
{
    ++m_reRegistrations;
    const int vk = m_settings.general().HKSHVirtual;
    const int flags = m_settings.general().HKSHModifier;
    if (m_hotKey)
        m_hotKey->unregisterKey();
    if (vk == 0) {
        emit hotKeyRegistered(QString());
        return;
    }
    if (!m_hotKey)
        return;
    QString reason;
    if (m_hotKey->registerKey(vk, flags, &reason))
        emit hotKeyRegistered(VirtualKeyTable::sequence(vk, flags).toString(QKeySequence::NativeText));
    else
        emit hotKeyFailed(reason);
}
