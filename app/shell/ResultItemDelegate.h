#pragma once
// Draws the cells of the result list in its two view modes: 0 report (one line a row),
// 1 web-page style (three lines a row; File_ListView draws the excerpts under the first).
//
// Background: the highlight when selected; for a duplicate group g != 0 the colour of
// g mod 4 (groupColour); else the base colour. Text: highlighted text when selected, blue
// for an archive member, else the text colour. Each cell's text is one line, in the cell
// narrowed by 6 pixels on both sides and moved down 2, elided at the end; the size column is
// right-aligned; column 0 draws the small icon and the name right of it. The per-cell focus
// frame is not drawn (the view draws one around the row). While a name is edited every key
// goes to the editor: no window shortcut (Return opens, Delete deletes) fires from it.
// User-interface thread.
#include <QStyledItemDelegate>

class ResultListModel;

class ResultItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kTextMargin = 6;
    static constexpr int kTextDrop = 2;
    static constexpr int kIconSize = 16;
    static constexpr int kIconLeft = 2;  // icon offset from the cell's left edge

    ResultItemDelegate(ResultListModel& model, QObject* parent = nullptr);

    void setViewMode(int mode) { m_mode = mode; }
    int viewMode() const { return m_mode; }
    // Font height plus leading plus 4 pixels.
    static int lineHeight(const QFontMetrics& metrics);
    // Background of a duplicate group (g != 0): 0xCBE4E4, 0xEED7D7, 0xC8E1C8, 0xEAEAEA
    // (stored BGR) for g mod 4 = 0..3.
    static QColor groupColour(int group);
    static QColor archiveTextColour() { return QColor(0, 0, 255); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    ResultListModel& m_model;
    int m_mode = 0;
};
