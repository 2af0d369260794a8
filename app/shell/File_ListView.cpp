// File_ListView: the result list's view, header and list commands.
#include "shell/File_ListView.h"

#include <map>

#include <QApplication>
#include <QDateTime>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>

#include "records/Data_FileItem.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "shell/ResultCellText.h"
#include "shell/ResultDisplayOptions.h"
#include "shell/ResultItemDelegate.h"
#include "shell/ResultListModel.h"

namespace {
constexpr unsigned kSortingText = 169;
constexpr unsigned kRemoveSelectedText = 48;
constexpr unsigned kRemoveAllText = 49;
constexpr unsigned kTitleText = 55;
constexpr unsigned kResultListName = 415;
constexpr int kFocusIconSlack = 3;

QString fromUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QColor xorColour(const QColor& c, const QColor& background)
{
    return QColor::fromRgb((c.rgb() ^ background.rgb()) | 0xFF000000u);
}
}  // namespace

File_ListView::File_ListView(AppSettings& settings, ResultListModel& model, QWidget* parent)
    : QTreeView(parent)
    , m_settings(settings)
    , m_model(model)
{
    setObjectName(QStringLiteral("resultList"));
    setAccessibleName(LanguageText::plain(kResultListName));
    setModel(&m_model);
    m_model.setSelectionModel(selectionModel());
    connect(&m_model, &ResultListModel::viewModeSuggested, this, &File_ListView::setViewMode);
    m_delegate = new ResultItemDelegate(m_model, this);
    setItemDelegate(m_delegate);
    setRootIsDecorated(false);
    // Editing a name starts only from the Rename command: a double click opens the file.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setAllColumnsShowFocus(false);  // the row's focus frame is drawn in drawRow
    setTextElideMode(Qt::ElideRight);
    setIconSize(QSize(ResultItemDelegate::kIconSize, ResultItemDelegate::kIconSize));
    setSortingEnabled(false);

    QHeaderView* head = header();
    head->setSectionsClickable(true);
    head->setSectionsMovable(false);
    head->setStretchLastSection(false);
    head->setSectionResizeMode(QHeaderView::Interactive);
    head->setSortIndicatorShown(false);
    for (int c = 0; c < ResultCellText::kColumnCount; ++c)
        head->resizeSection(c, kColumnWidths[size_t(c)]);
    connect(head, &QHeaderView::sectionClicked, this, &File_ListView::sortByLogicalColumn);
    head->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(head, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu* menu = makeColumnMenu();
        menu->exec(header()->mapToGlobal(pos));
        menu->deleteLater();
    });
    applySettings();
}

void File_ListView::applySettings()
{
    m_model.setDisplayOptions(ResultDisplayOptions::fromSettings(m_settings));
    const ColumnFlags& flags = m_settings.columns();
    for (int c = 0; c < ResultCellText::kColumnCount; ++c)
        setColumnHidden(c, c != 0 && flags.show[size_t(c)] == 0);
    viewport()->update();
}

void File_ListView::setViewMode(int mode)
{
    mode = mode == kWebPageView ? kWebPageView : kReportView;
    if (mode == m_delegate->viewMode())
        return;
    m_delegate->setViewMode(mode);
    // Fixed row heights are measured once: measure again.
    scheduleDelayedItemsLayout();
    viewport()->update();
}

int File_ListView::viewMode() const
{
    return m_delegate->viewMode();
}

int File_ListView::logicalColumnAtPosition(int position) const
{
    if (position == 0)
        return 0;
    int shown = 0;
    for (int c = 0; c < ResultCellText::kColumnCount; ++c) {
        if (isColumnHidden(c))
            continue;
        if (shown == position)
            return c;
        ++shown;
    }
    return -1;
}

void File_ListView::sortByLogicalColumn(int column)
{
    if (column < 0 || column >= ResultCellText::kColumnCount || m_model.isSearching())
        return;
    int& direction = m_directions[size_t(column)];
    direction = -direction;
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(column, direction > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.sortRows(column, direction);
    QGuiApplication::restoreOverrideCursor();
}

void File_ListView::sortAfterSearch(int sortOption)
{
    m_directions.fill(-1);
    const int column = logicalColumnAtPosition(sortOption);
    if (column < 0)
        return;
    emit statusText(0, LanguageText::plain(kSortingText));
    sortByLogicalColumn(column);
}

void File_ListView::invertSelection()
{
    const int rows = m_model.rowCount();
    if (rows == 0)
        return;
    const QItemSelection all(m_model.index(0, 0), m_model.index(rows - 1, ResultCellText::kColumnCount - 1));
    selectionModel()->select(all, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
    setFocus(Qt::OtherFocusReason);
}

void File_ListView::selectDuplicateCopies(const std::function<bool(Data_FileItem&)>& matches)
{
    std::map<int32_t, std::vector<int>> groups;  // group number -> its rows, ascending
    for (int row = 0; row < m_model.rowCount(); ++row)
        if (const int32_t group = m_model.itemAt(row).m_nDupGroup; group != 0)
            groups[group].push_back(row);
    QItemSelection selection;
    const int lastColumn = ResultCellText::kColumnCount - 1;
    for (const auto& [group, rows] : groups) {
        std::vector<int> chosen;
        for (int row : rows)
            if (matches(m_model.itemAt(row)))
                chosen.push_back(row);
        if (chosen.size() == rows.size())
            chosen.erase(chosen.begin());
        for (int row : chosen)
            selection.select(m_model.index(row, 0), m_model.index(row, lastColumn));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    setFocus(Qt::OtherFocusReason);
}

void File_ListView::removeSelectedRows()
{
    const std::vector<int> rows = m_model.selectedRows();
    if (rows.empty())
        return;
    const int first = rows.front();
    m_model.removeRows(rows);
    const int count = m_model.rowCount();
    if (count == 0)
        return;
    const QModelIndex next = m_model.index(std::min(first, count - 1), 0);
    selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void File_ListView::askRemoveSelected()
{
    if (m_model.selectedRows().empty())
        return;
    if (QMessageBox::question(this, LanguageText::plain(kTitleText), LanguageText::plain(kRemoveSelectedText))
        == QMessageBox::Yes)
        removeSelectedRows();
}

void File_ListView::askRemoveAll()
{
    if (m_model.rowCount() == 0)
        return;
    if (QMessageBox::question(this, LanguageText::plain(kTitleText), LanguageText::plain(kRemoveAllText))
        == QMessageBox::Yes)
        m_model.clear();
}

void File_ListView::setColumnShown(int column, bool shown)
{
    if (column <= 0 || column >= ResultCellText::kColumnCount)
        return;
    m_settings.columns().show[size_t(column)] = shown ? 1 : 0;
    setColumnHidden(column, !shown);
    if (shown)
        header()->resizeSection(column, kColumnWidths[size_t(column)]);
}

QMenu* File_ListView::makeColumnMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("columnChooser"));
    for (int c = 0; c < ResultCellText::kColumnCount; ++c) {
        QAction* action = menu->addAction(LanguageText::plain(ColumnFlags::kCaptionIds[size_t(c)]));
        action->setCheckable(true);
        action->setChecked(!isColumnHidden(c));
        action->setEnabled(c != 0);
        connect(action, &QAction::toggled, this, [this, c](bool on) { setColumnShown(c, on); });
    }
    return menu;
}

int File_ListView::findRowByPrefix(const QString& text, int start) const
{
    const int rows = m_model.rowCount();
    if (rows == 0 || text.isEmpty())
        return -1;
    const QString prefix = text.toLower();
    start = std::clamp(start, 0, rows - 1);
    for (int k = 0; k < rows; ++k) {
        const int row = (start + k) % rows;
        const QString name = fromUtf8(m_model.itemAt(row).getFileName()).toLower();
        if (name.startsWith(prefix))
            return row;
    }
    return -1;
}

void File_ListView::keyboardSearch(const QString& search)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_typedAt > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_typedAt = now;
    m_typed += search;
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    // A single repeated letter moves on to the next match; a longer prefix starts here.
    const int start = m_typed.size() == 1 ? current + 1 : current;
    const int row = findRowByPrefix(m_typed, start);
    if (row < 0)
        return;
    const QModelIndex target = m_model.index(row, 0);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

void File_ListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem plain = option;
    plain.state &= ~QStyle::State_HasFocus;
    QTreeView::drawRow(painter, plain, index);
    const bool selected = selectionModel()->isRowSelected(index.row(), QModelIndex());
    const int line = ResultItemDelegate::lineHeight(option.fontMetrics);
    const int nameLeft = columnViewportPosition(0);
    const int textLeft = nameLeft + ResultItemDelegate::kIconLeft + ResultItemDelegate::kIconSize + 1
                         + ResultItemDelegate::kTextMargin;
    if (viewMode() == kWebPageView) {
        const QRect area(textLeft, option.rect.top() + line, option.rect.right() - textLeft + 1,
                         option.rect.height() - line);
        drawSnippets(painter, area, index.row(), selected, font());
    }
    if (hasFocus() && currentIndex().row() == index.row()) {
        QRect frame = option.rect;
        const int iconLeft = nameLeft + ResultItemDelegate::kIconLeft;
        if (viewMode() == kReportView && iconLeft - option.rect.left() <= kFocusIconSlack)
            frame.setLeft(iconLeft + ResultItemDelegate::kIconSize);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = frame;
        focus.backgroundColor = option.palette.color(selected ? QPalette::Highlight : QPalette::Base);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, this);
    }
}

void File_ListView::drawSnippets(QPainter* painter, const QRect& area, int row, bool selected, const QFont& base) const
{
    Data_FileItem& item = m_model.itemAt(row);
    if (item.m_vecSnippets.empty() || area.width() <= 0)
        return;
    const ResultDisplayOptions& options = m_model.displayOptions();
    const QColor background = palette().color(selected ? QPalette::Highlight : QPalette::Base);
    QFont regularFont = base;
    QFont keyFont = base;
    if (options.boldKeyString)
        keyFont.setWeight(QFont::Bold);
    const QFontMetrics regularMetrics(regularFont);
    const QFontMetrics keyMetrics(keyFont);
    const int lineStep = regularMetrics.boundingRect(QStringLiteral("fg")).height();
    int x = area.left();
    int y = area.top();
    painter->save();
    painter->setClipRect(area);
    // Draws `text` from the current position on, wrapping at the area's right edge;
    // false once the next line would not fit.
    const auto flow = [&](QString text, const QFont& f, const QFontMetrics& fm, QColor colour) {
        text.replace(u'\n', u' ').replace(u'\r', u' ').replace(u'\t', u' ');
        painter->setFont(f);
        painter->setPen(selected ? xorColour(colour, background) : colour);
        while (!text.isEmpty()) {
            if (y + lineStep > area.bottom() + 1)
                return false;
            const int room = area.right() + 1 - x;
            // The longest head of the text that fits in the room left on this line.
            qsizetype fit = 0;
            qsizetype lo = 0, hi = text.size();
            while (lo <= hi) {
                const qsizetype mid = (lo + hi) / 2;
                if (fm.horizontalAdvance(text.left(mid)) <= room) {
                    fit = mid;
                    lo = mid + 1;
                } else {
                    hi = mid - 1;
                }
            }
            if (fit == 0 && x == area.left())
                fit = 1;  // a glyph wider than the whole area: draw it clipped
            if (fit > 0) {
                const QString head = text.left(fit);
                painter->drawText(QPoint(x, y + fm.ascent()), head);
                x += fm.horizontalAdvance(head);
                text.remove(0, fit);
            }
            if (!text.isEmpty()) {
                x = area.left();
                y += lineStep;
            }
        }
        return true;
    };
    for (const auto& snippet : item.m_vecSnippets) {
        if (!snippet)
            continue;
        if (!flow(fromUtf8(snippet->before), regularFont, regularMetrics, options.regularColour)
            || !flow(fromUtf8(snippet->match), keyFont, keyMetrics, options.keyColour)
            || !flow(fromUtf8(snippet->after), regularFont, regularMetrics, options.regularColour))
            break;
    }
    painter->restore();
}

int File_ListView::rowWidth() const
{
    return header()->length();
}

int File_ListView::rowHeight() const
{
    const int line = ResultItemDelegate::lineHeight(fontMetrics());
    return viewMode() == kWebPageView ? 3 * line : line;
}

void File_ListView::renderRow(QPainter* painter, int row, const QPoint& topLeft) const
{
    if (row < 0 || row >= m_model.rowCount())
        return;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    // A pixel-sized font scales with the painter on any device (a point size would be
    // resolved at the printer's resolution and come out many times too large).
    QFont pixelFont = font();
    pixelFont.setPixelSize(std::max(1, QFontInfo(font()).pixelSize()));
    option.font = pixelFont;
    option.fontMetrics = QFontMetrics(pixelFont);
    const int height = rowHeight();
    for (int c = 0; c < ResultCellText::kColumnCount; ++c) {
        if (isColumnHidden(c))
            continue;
        option.rect = QRect(topLeft.x() + header()->sectionPosition(c), topLeft.y(), header()->sectionSize(c), height);
        m_delegate->paint(painter, option, m_model.index(row, c));
    }
    if (viewMode() == kWebPageView) {
        const int line = ResultItemDelegate::lineHeight(fontMetrics());
        const int left = topLeft.x() + header()->sectionPosition(0) + ResultItemDelegate::kIconLeft
                         + ResultItemDelegate::kIconSize + 1 + ResultItemDelegate::kTextMargin;
        drawSnippets(painter, QRect(left, topLeft.y() + line, topLeft.x() + rowWidth() - left, height - line), row,
                     false, pixelFont);
    }
}

void File_ListView::startDrag(Qt::DropActions /*supportedActions*/)
{
    emit dragRequested();
}
