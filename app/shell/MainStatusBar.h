#pragma once
// The main window's status bar: four panes. Pane 0 stretches (messages, result counts);
// pane 1 is 200 pixels wide, pane 2 220 (index state, "Index idle" at start), pane 3 170
// (index progress). User-interface thread only; worker threads post their texts to the
// main window, which calls setPaneText.
#include <QStatusBar>

class QLabel;

class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPaneCount = 4;
    static constexpr int kPaneWidths[kPaneCount] = {0, 200, 220, 170};  // 0: stretches

    explicit MainStatusBar(QWidget* parent = nullptr);

    // Sets the text of pane 0..3; other pane numbers are ignored.
    void setPaneText(int pane, const QString& text);
    QString paneText(int pane) const;
    QLabel* pane(int pane) const;

private:
    QLabel* m_panes[kPaneCount] = {};
};
