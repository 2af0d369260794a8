// File_HoldWnd: the option panels' desk and the two search buttons.
#include "shell/File_HoldWnd.h"

#include <QContextMenuEvent>
#include <QPushButton>

#include "panels/AW_Desk.h"
#include "panels/AW_Item.h"
#include "panels/AW_Label.h"

#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

namespace {
constexpr unsigned kCaptionTexts[File_HoldWnd::kPanelCount] = {31, 51, 52, 14, 107};
// Client heights of the option panels' pages: what each panel needs.
constexpr int kPageHeights[File_HoldWnd::kPanelCount] = {322, 180, 150, 52, 160};
constexpr unsigned kSearchText = 53, kStopText = 64, kNewSearchText = 54;
constexpr unsigned kSearchTip = 345, kNewSearchTip = 346;
constexpr unsigned kDeskName = 411;
}  // namespace

File_HoldWnd::File_HoldWnd(QWidget* parent)
    : TIW_Root(parent)
{
    setObjectName(QStringLiteral("optionSide"));
    m_desk = new AW_Desk(this);
    m_desk->setObjectName(QStringLiteral("optionDesk"));
    m_desk->setAccessibleName(LanguageText::plain(kDeskName));
    for (int i = 0; i < kPanelCount; ++i) {
        // The page stays empty until the option panels' controls arrive.
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("panelPage%1").arg(i + 1));
        page->setAccessibleName(LanguageText::plain(kCaptionTexts[i]));
        page->resize(260, kPageHeights[i]);
        m_desk->addItem(LanguageText::plain(kCaptionTexts[i]), QStringLiteral("Ctrl+Alt+%1").arg(i + 1), page, i == 0);
    }
    if (AW_Item* first = m_desk->item(0))
        setFocusProxy(first->label());

    m_search = new QPushButton(this);
    m_search->setObjectName(QStringLiteral("searchButton"));
    m_search->setToolTip(LanguageText::plain(kSearchTip));
    m_newSearch = new QPushButton(LanguageText::plain(kNewSearchText), this);
    m_newSearch->setObjectName(QStringLiteral("newSearchButton"));
    m_newSearch->setAccessibleName(LanguageText::plain(kNewSearchText));
    m_newSearch->setToolTip(LanguageText::plain(kNewSearchTip));
    m_newSearch->setIcon(ThemedIcon::get(QStringLiteral("document-new")));
    connect(m_search, &QPushButton::clicked, this, &File_HoldWnd::searchClicked);
    connect(m_newSearch, &QPushButton::clicked, this, &File_HoldWnd::newSearchClicked);
    for (QPushButton* b : {m_search, m_newSearch}) {
        b->setContextMenuPolicy(Qt::DefaultContextMenu);
        b->installEventFilter(this);
    }
    setSearchRunning(false);
    setLargeButtons(true);
}

void File_HoldWnd::setPanelPage(int index, QWidget* panel)
{
    AW_Item* item = m_desk->item(index);
    if (!item || !panel)
        return;
    panel->setAccessibleName(LanguageText::plain(kCaptionTexts[index]));
    panel->resize(260, kPageHeights[index]);
    item->attachDialog(panel);
}

int File_HoldWnd::pageHeight(int index)
{
    return index >= 0 && index < kPanelCount ? kPageHeights[index] : 0;
}

void File_HoldWnd::setSearchRunning(bool running)
{
    m_searchRunning = running;
    const QString text = LanguageText::plain(running ? kStopText : kSearchText);
    m_search->setText(text);
    m_search->setAccessibleName(text);
    m_search->setIcon(ThemedIcon::get(running ? QStringLiteral("process-stop") : QStringLiteral("system-search")));
}

void File_HoldWnd::setLargeButtons(bool large)
{
    m_large = large;
    const int icon = large ? 32 : 16;
    m_search->setIconSize(QSize(icon, icon));
    m_newSearch->setIconSize(QSize(icon, icon));
    relayout();
}

QRect File_HoldWnd::deskRect(QSize s, bool large)
{
    return QRect(6, 6, s.width() - 12, s.height() - (large ? 70 : 50));
}

QRect File_HoldWnd::searchButtonRect(QSize s, bool large)
{
    return large ? QRect(s.width() - 254, s.height() - 56, 100, 50) : QRect(s.width() - 199, s.height() - 33, 75, 27);
}

QRect File_HoldWnd::newSearchButtonRect(QSize s, bool large)
{
    return large ? QRect(s.width() - 142, s.height() - 56, 130, 50) : QRect(s.width() - 118, s.height() - 33, 112, 27);
}

void File_HoldWnd::relayout()
{
    const QSize s = size();
    m_desk->setGeometry(deskRect(s, m_large));
    m_search->setGeometry(searchButtonRect(s, m_large));
    m_newSearch->setGeometry(newSearchButtonRect(s, m_large));
}

void File_HoldWnd::resizeEvent(QResizeEvent* event)
{
    TIW_Root::resizeEvent(event);
    relayout();
}

bool File_HoldWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && (watched == m_search || watched == m_newSearch)) {
        emit buttonStyleMenuRequested(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return TIW_Root::eventFilter(watched, event);
}

void File_HoldWnd::openPanel(int index)
{
    AW_Item* item = m_desk->item(index);
    if (!item)
        return;
    if (!item->isOpen()) {
        m_desk->setItemOpen(index, true);  // opening focuses the page
        return;
    }
    // Already open: scroll it into view and focus the page's last focused (else first)
    // control; a page without controls leaves the focus on the caption.
    m_desk->focusItem(item, true);
    item->focusPage();
}

void File_HoldWnd::openAllPanels()
{
    for (int i = 0; i < kPanelCount; ++i)
        if (AW_Item* item = m_desk->item(i))
            item->setOpen(true, AW_Item::FoldFocus::None);
}

bool File_HoldWnd::isPanelOpen(int index) const
{
    const AW_Item* item = m_desk->item(index);
    return item && item->isOpen();
}
