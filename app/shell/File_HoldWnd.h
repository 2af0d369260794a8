#pragma once
// The option side of the main window: the desk of the five search option panels (General,
// Containing text, Date, Size, Duplicate files, with the hints "Ctrl+Alt+1".."Ctrl+Alt+5";
// the first open) and, below it, the search and new-search buttons.
//
// Layout for a client area of w x h, by button style:
//   large: desk (6, 6, w-12, h-70); search (w-254, h-56, 100x50); new search (w-142, h-56, 130x50)
//   small: desk (6, 6, w-12, h-50); search (w-199, h-33, 75x27);  new search (w-118, h-33, 112x27)
// The pages start empty; setPanelPage() puts an option panel into one, at the height the
// table of pageHeight() gives.
// User-interface thread only.
#include "panels/TIW_Root.h"

class AW_Desk;
class QPushButton;

class File_HoldWnd : public TIW_Root {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 5;
    static constexpr int kSearchButtonId = 4097;
    static constexpr int kNewSearchButtonId = 4098;

    explicit File_HoldWnd(QWidget* parent = nullptr);

    void setLargeButtons(bool large);
    bool largeButtons() const { return m_large; }
    // Caption and icon of the search button: "Stop" while a search runs, else "Search".
    void setSearchRunning(bool running);

    // Opens panel `index` (0..4), scrolls it into view and focuses its page's last focused
    // control, else its first one.
    void openPanel(int index);
    void openAllPanels();
    bool isPanelOpen(int index) const;
    int panelCount() const { return kPanelCount; }

    AW_Desk* desk() const { return m_desk; }
    // Puts `panel` into panel `index`'s page (the desk takes ownership, the empty page goes),
    // at the page's height.
    void setPanelPage(int index, QWidget* panel);
    // Client height of panel `index`'s page (its item is 26 pixels taller).
    static int pageHeight(int index);
    QPushButton* searchButton() const { return m_search; }
    QPushButton* newSearchButton() const { return m_newSearch; }

    // The rectangles the layout table gives for a client area of `size`.
    static QRect deskRect(QSize size, bool large);
    static QRect searchButtonRect(QSize size, bool large);
    static QRect newSearchButtonRect(QSize size, bool large);

signals:
    void searchClicked();
    void newSearchClicked();
    // A right click on either button: the main window shows the button-style menu.
    void buttonStyleMenuRequested(const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void relayout();
    bool m_large = true;
    bool m_searchRunning = false;
    AW_Desk* m_desk = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_newSearch = nullptr;
};
