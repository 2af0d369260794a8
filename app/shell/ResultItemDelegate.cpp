// ResultItemDelegate: the report-style drawing of one cell of the result list.
#include "shell/ResultItemDelegate.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

#include "records/Data_FileItem.h"
#include "shell/ResultCellText.h"
#include "shell/ResultDisplayOptions.h"
#include "shell/ResultListModel.h"

ResultItemDelegate::ResultItemDelegate(ResultListModel& model, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model)
{
}

int ResultItemDelegate::lineHeight(const QFontMetrics& metrics)
{
    return metrics.height() + metrics.leading() + 4;
}

QColor ResultItemDelegate::groupColour(int group)
{
    static const unsigned kColours[4] = {0xCBE4E4, 0xEED7D7, 0xC8E1C8, 0xEAEAEA};
    const int k = ((group % 4) + 4) % 4;
    return ResultDisplayOptions::fromColorRef(kColours[k]);
}

bool ResultItemDelegate::eventFilter(QObject* editor, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QStyledItemDelegate::eventFilter(editor, event);
}

QSize ResultItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int line = lineHeight(option.fontMetrics);
    const int width = index.column() == ResultCellText::kName ? 150 : 100;
    return QSize(width, m_mode == 1 ? 3 * line : line);
}

void ResultItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= m_model.rowCount())
        return;
    Data_FileItem& item = m_model.itemAt(index.row());
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette& palette = option.palette;
    QColor background = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    if (selected) {
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
    } else {
        if (item.m_nDupGroup != 0)
            background = groupColour(item.m_nDupGroup);
        if (item.m_bInArchive)
            text = archiveTextColour();
    }
    painter->save();
    painter->fillRect(option.rect, background);
    const int line = lineHeight(option.fontMetrics);
    QRect textRect(option.rect.left() + kTextMargin, option.rect.top() + kTextDrop,
                   option.rect.width() - 2 * kTextMargin, line - kTextDrop);
    if (index.column() == ResultCellText::kName) {
        const QIcon icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
        const QRect iconRect(option.rect.left() + kIconLeft, option.rect.top() + (line - kIconSize) / 2, kIconSize,
                             kIconSize);
        if (!icon.isNull())
            icon.paint(painter, iconRect);
        textRect.setLeft(iconRect.right() + 1 + kTextMargin);
    }
    const QString value = index.data(Qt::DisplayRole).toString();
    const Qt::Alignment align =
        (index.column() == ResultCellText::kSize ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(textRect, int(align) | Qt::TextSingleLine,
                      option.fontMetrics.elidedText(value, Qt::ElideRight, textRect.width()));
    painter->restore();
}
