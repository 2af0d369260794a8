#pragma once
// The folding panel desk: the outer widget with a vertical scroll bar at its right edge and
// one AW_Container that slides inside it. The client area is the desk without the scroll
// bar (the bar shows only while the stack is taller than the desk); the container is the
// client width - 5 wide. Units are pixels; scroll positions are the distance from the
// stack's top to the top of the visible part (0 = top).
//
// Typical use (the desk owns every item and page):
//     auto* desk = new AW_Desk(parent);
//     AW_Item* item = desk->addItem(tr("Name"), "Ctrl+Alt+1", page, true);
//     connect(desk, &AW_Desk::itemOpenChanged, ...);
//
// Keyboard and mouse: a click, Space or Enter on a caption bar folds or unfolds its item;
// the mouse wheel anywhere over the desk (where a child does not take it) scrolls it; Tab
// into a control outside the visible part scrolls it into view and activates its item.
// User-interface thread only.
#include "panels/TIW_Root.h"

class AW_Container;
class AW_Item;
class QScrollBar;

class AW_Desk : public TIW_Root
{
    Q_OBJECT
public:
    static constexpr int LineStep = 20;
    static constexpr int ContainerInset = 5; // container width = client width - 5

    // The scroll requests of the vertical scroll bar.
    enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };
    Q_ENUM(ScrollCode)

    explicit AW_Desk(QWidget* parent = nullptr);
    ~AW_Desk() override;

    AW_Container* getContainer() const { return m_container; }
    // True once the container exists, that is always after construction.
    bool isInited() const { return m_container != nullptr; }

    // Adds an item with `caption` and the right-aligned `hint` at the end of the stack,
    // attaches `page` (taking ownership; may be null) and sets it open or closed without
    // moving the keyboard focus, scrolling or activating it. Returns the item (owned by
    // the desk).
    AW_Item* addItem(const QString& caption, const QString& hint, QWidget* page, bool open);

    int itemCount() const;
    AW_Item* item(int index) const;   // null when out of range
    AW_Item* activeItem() const;      // the item whose caption is active, or null

    // Folds or unfolds an item as a click on its caption does: the item is scrolled into
    // view and activated, and the keyboard focus goes to its page (or, closed, its
    // caption). False when index is out of range.
    bool setItemOpen(int index, bool open);
    // Activates an item; with scrollIntoView it is scrolled into view and its page gets
    // the keyboard focus.
    void focusItem(AW_Item* item, bool scrollIntoView);

    // The visible part beside the scroll bar, in desk coordinates.
    QRect clientRect() const;
    int scrollPosition() const;
    // The largest scroll position (0 while the stack fits).
    int maximumScrollPosition() const;
    // Scrolls to `position`, clamped to [0, maximumScrollPosition()].
    void scrollTo(int position);
    // One scroll request: lines move by 20 pixels and pages by the client height, both
    // stopping at the ends; ThumbPosition and ThumbTrack go to thumbPosition; Top,
    // Bottom and EndScroll do nothing.
    void vScroll(ScrollCode code, int thumbPosition = 0);

    // Refreshes the scroll bar from the container: hidden while the client height is at
    // least the container's height, else range 0 .. container height - client height
    // with the client height as page and the position following the container's top.
    void onContainerAddingOver();

    QScrollBar* verticalScrollBar() const { return m_scrollBar; }
    QSize sizeHint() const override;

signals:
    void itemOpenChanged(AW_Item* item, bool open);
    void itemOpenHeightChanged(AW_Item* item, int height);
    void itemFocused(AW_Item* item);
    void scrollPositionChanged(int position);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void applyClientSize();
    void placeScrollBar();
    void onScrollAction(int action);
    void onFocusChanged(QWidget* old, QWidget* now);

    AW_Container* m_container = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    bool m_scrollBarShown = false;
    bool m_inClientSize = false;
    int m_wheelRemainder = 0;
};
