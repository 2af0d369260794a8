// HistoryCombo: an editable combo with a bounded history.
#include "options/HistoryCombo.h"

#include <QLineEdit>

HistoryCombo::HistoryCombo(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
}

void HistoryCombo::setLimit(int limit)
{
    m_limit = limit < 1 ? 1 : limit;
    while (count() > m_limit)
        removeItem(count() - 1);
}

void HistoryCombo::remember(const QString& text)
{
    if (text.isEmpty())
        return;
    const QString edit = currentText();
    const int at = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        removeItem(at);
    insertItem(0, text);
    while (count() > m_limit)
        removeItem(count() - 1);
    setEditText(edit);
}

QStringList HistoryCombo::history() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out.append(itemText(i));
    return out;
}
