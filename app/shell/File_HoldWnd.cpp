// File_HoldWnd: the option panels' desk and the two search buttons.
#include "shell/File_HoldWnd.h"

#include <QContextMenuEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

namespace {
constexpr unsigned kCaptionTexts[File_HoldWnd::kPanelCount] = {31, 51, 52, 14, 107};
// Client heights of the option panels' pages (the panels arrive with their controls).
constexpr int kPageHeights[File_HoldWnd::kPanelCount] = {190, 150, 120, 80, 110};
constexpr unsigned kSearchText = 53, kStopText = 64, kNewSearchText = 54;
constexpr unsigned kSearchTip = 345, kNewSearchTip = 346;
constexpr unsigned kDeskName = 411;
}  // namespace

File_HoldWnd::File_HoldWnd(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("optionSide"));
    m_deskArea = new QScrollArea(this);
    m_deskArea->setObjectName(QStringLiteral("optionDesk"));
    m_deskArea->setAccessibleName(LanguageText::plain(kDeskName));
    m_deskArea->setWidgetResizable(true);
    m_deskArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_deskArea->setFocusPolicy(Qt::NoFocus);
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(5);
    for (int i = 0; i < kPanelCount; ++i) {
        auto* caption = new QToolButton(column);
        const QString text = LanguageText::plain(kCaptionTexts[i]);
        const QString hint = QStringLiteral("Ctrl+Alt+%1").arg(i + 1);
        caption->setObjectName(QStringLiteral("panelCaption%1").arg(i + 1));
        caption->setText(text + QStringLiteral("   ") + hint);
        caption->setAccessibleName(text);
        caption->setToolTip(hint);
        caption->setCheckable(true);
        caption->setToolButtonStyle(Qt::ToolButtonTextOnly);
        caption->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        caption->setFixedHeight(16 + 6);
        caption->setFocusPolicy(Qt::StrongFocus);
        connect(caption, &QToolButton::toggled, this, [this, i](bool open) { setPanelOpen(i, open); });
        auto* page = new QWidget(column);
        page->setObjectName(QStringLiteral("panelPage%1").arg(i + 1));
        page->setAccessibleName(text);
        page->setFixedHeight(kPageHeights[i]);
        layout->addWidget(caption);
        layout->addWidget(page);
        m_captions.append(caption);
        m_pages.append(page);
        caption->setChecked(i == 0);
        page->setVisible(i == 0);
    }
    layout->addStretch(1);
    setFocusProxy(m_captions.first());
    m_deskArea->setWidget(column);

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

QWidget* File_HoldWnd::desk() const
{
    return m_deskArea;
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
    m_deskArea->setGeometry(deskRect(s, m_large));
    m_search->setGeometry(searchButtonRect(s, m_large));
    m_newSearch->setGeometry(newSearchButtonRect(s, m_large));
}

void File_HoldWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

bool File_HoldWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && (watched == m_search || watched == m_newSearch)) {
        emit buttonStyleMenuRequested(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void File_HoldWnd::setPanelOpen(int index, bool open)
{
    if (index < 0 || index >= kPanelCount)
        return;
    if (m_captions[index]->isChecked() != open)
        m_captions[index]->setChecked(open);  // comes back here through toggled
    m_pages[index]->setVisible(open);
}

void File_HoldWnd::openPanel(int index)
{
    if (index < 0 || index >= kPanelCount)
        return;
    setPanelOpen(index, true);
    m_deskArea->widget()->layout()->activate();
    m_deskArea->ensureWidgetVisible(m_pages[index], 0, 3);
    m_captions[index]->setFocus(Qt::ShortcutFocusReason);
}

void File_HoldWnd::openAllPanels()
{
    for (int i = 0; i < kPanelCount; ++i)
        setPanelOpen(i, true);
}

bool File_HoldWnd::isPanelOpen(int index) const
{
    return index >= 0 && index < kPanelCount && m_captions[index]->isChecked();
}
