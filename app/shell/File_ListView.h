#pragma once
// The result list: a view of ResultListModel in report or web-page style rows, with the
// column chooser (right click on the header), the sort by a header click, the list commands
// (select all, invert, remove selected / all), type-ahead and the focus frame.
//
// Columns are the model's logical columns 0..7; which are shown follows the "show_%s"
// flags of the settings (column 0 always). Rows have one fixed height (report: one line,
// web-page style: three), so the view never measures rows one by one.
// applySettings() re-reads the display options, colours and column flags. The AppSettings
// and the model must outlive the view. User-interface thread only.
#include <QTreeView>
#include <array>
#include <functional>

class AppSettings;
class Data_FileItem;
class ResultListModel;
class ResultItemDelegate;

class File_ListView : public QTreeView {
    Q_OBJECT
public:
    static constexpr int kReportView = 0;
    static constexpr int kWebPageView = 1;
    static constexpr std::array<int, 8> kColumnWidths{150, 150, 80, 100, 130, 130, 130, 130};

    File_ListView(AppSettings& settings, ResultListModel& model, QWidget* parent = nullptr);

    void applySettings();
    void setViewMode(int mode);
    int viewMode() const;

    // Sort by a logical column: flips its direction (initially descending, so the first
    // sort is ascending), shows the arrow, sorts under a wait cursor.
    void sortByLogicalColumn(int column);
    // The logical column shown at visible position `position`; -1 when none.
    int logicalColumnAtPosition(int position) const;
    // The sort after a search: every direction reset, then the column at visible position
    // `sortOption` ascending; pane text 169 meanwhile (statusText).
    void sortAfterSearch(int sortOption);
    int sortDirection(int column) const { return m_directions[size_t(column)]; }

    void invertSelection();
    // The duplicate panel's selection: in every duplicate group, the rows that `matches`
    // accepts are selected (the earlier selection is replaced). A group never has all its
    // rows selected: when every row would be, its first row stays unselected, so deleting
    // the selection always keeps one copy. Rows outside a group are never selected.
    // Pending index rows are read first.
    void selectDuplicateCopies(const std::function<bool(Data_FileItem&)>& matches);
    // Removes the selected rows (no question); the row at the first removed position is
    // selected and focused afterwards.
    void removeSelectedRows();
    // The questions of messages 48 and 49, then the removal.
    void askRemoveSelected();
    void askRemoveAll();
    // Shows or hides a column (not 0) and stores its flag.
    void setColumnShown(int column, bool shown);
    // The column chooser menu as shown on a right click of the header.
    class QMenu* makeColumnMenu();

    // Type-ahead: the first row from `start` (wrapping) whose name starts with `text`
    // without case; -1 when none.
    int findRowByPrefix(const QString& text, int start) const;
    void keyboardSearch(const QString& search) override;

    // Draws one row as the list does, unselected and without focus, with its top-left at
    // `topLeft` (list pixels; the columns at their header positions). For printing.
    void renderRow(QPainter* painter, int row, const QPoint& topLeft) const;
    // Width of a row (all shown columns) and height of one row in the current mode.
    int rowWidth() const;
    int rowHeight() const;

    ResultListModel& resultModel() { return m_model; }
    ResultItemDelegate* itemDelegateForRows() const { return m_delegate; }

signals:
    void statusText(int pane, const QString& text);
    // The user began dragging the selected rows; the file operations build the drag.
    void dragRequested();

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void drawSnippets(QPainter* painter, const QRect& area, int row, bool selected, const QFont& base) const;

    AppSettings& m_settings;
    ResultListModel& m_model;
    ResultItemDelegate* m_delegate = nullptr;
    std::array<int, 8> m_directions{-1, -1, -1, -1, -1, -1, -1, -1};
    QString m_typed;
    qint64 m_typedAt = 0;
};
