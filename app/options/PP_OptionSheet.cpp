// PP_OptionSheet: the tabbed option dialog.
#include "options/PP_OptionSheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "options/PP_General.h"
#include "options/PP_Search.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kCaptionText = 30;
constexpr unsigned kCancelText = 684;
}  // namespace

PP_OptionSheet::PP_OptionSheet(AppSettings& settings, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("optionSheet"));
    setWindowTitle(LanguageText::plain(kCaptionText));
    setAccessibleName(LanguageText::plain(kCaptionText));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("optionTabs"));
    m_tabs->setAccessibleName(LanguageText::plain(kCaptionText));
    layout->addWidget(m_tabs, 1);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Cancel)->setText(LanguageText::get(kCancelText));
    for (QAbstractButton* b : m_buttons->buttons())
        b->setAccessibleName(LanguageText::withoutMnemonic(b->text()));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &PP_OptionSheet::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &PP_OptionSheet::reject);

    m_general = new PP_General(settings);
    addPage(m_general);
    m_search = new PP_Search(settings);
    addPage(m_search);
}

void PP_OptionSheet::addPage(OptionPage* page)
{
    if (!page || m_pages.contains(page))
        return;
    page->setParent(m_tabs);
    page->loadFromSettings();
    m_pages.append(page);
    m_tabs->addTab(page, page->pageTitle());
}

void PP_OptionSheet::accept()
{
    for (OptionPage* page : m_pages) {
        if (!page->validate()) {
            m_tabs->setCurrentWidget(page);
            return;
        }
    }
    m_changed.clear();
    for (OptionPage* page : m_pages)
        if (page->applyToSettings())
            m_changed.insert(page);
    QDialog::accept();
}
