#pragma once
// An editable combo box that remembers the texts searched for: remember() puts a text at
// the top (moving it when already listed, case-sensitively) and keeps at most limit()
// entries ("HistoryItemNum"; below 1 keeps one). The edit text is left as it is.
// User-interface thread only.
#include <QComboBox>

class HistoryCombo : public QComboBox {
    Q_OBJECT
public:
    explicit HistoryCombo(QWidget* parent = nullptr);
    void setLimit(int limit);
    int limit() const { return m_limit; }
    void remember(const QString& text);
    QStringList history() const;

private:
    int m_limit = 10;
};
