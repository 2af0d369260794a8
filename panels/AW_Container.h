#pragma once
// The tall inner widget of the desk that holds the items one under the other and slides up
// and down inside the desk. Layout, in pixels: the first item's top at y = 2, every item
// at x = 2 with the container's width - 4 and its own height, 5 pixels between items; the
// container is as high as the stack (the last item's bottom + 5).
//
// Position rule: x is always 0 and y stays within [min(0, desk client height - height), 0],
// so no gap opens above the first item and the stack never scrolls past its last item;
// after a layout that leaves the bottom above the desk's bottom the container moves down
// until the bottoms meet. Made and owned by AW_Desk; it owns its items. UI thread only.
#include "panels/TIW_Root.h"

#include <vector>

class AW_Desk;
class AW_Item;

class AW_Container : public TIW_Root
{
    Q_OBJECT
public:
    static constexpr int StackTop = 2;
    static constexpr int ItemMargin = 2;  // items at x 2, width - 4
    static constexpr int ItemGap = 5;
    static constexpr int FocusTopOffset = 3; // a focused item's top goes 3 pixels below the visible top

    explicit AW_Container(AW_Desk* desk);
    ~AW_Container() override;

    // A new open item at the end of the stack, 50 pixels high until a page is attached,
    // owned by the container. Lays the stack out again. Never null.
    AW_Item* addItem(const QString& caption, const QString& hint);

    // Lays the items out for a container `width` pixels wide, moves the container (position
    // rule, bottom pinned) and refreshes the desk's scroll bar.
    void rePositionAll(int width);
    // rePositionAll with the current width.
    void relayout();

    // Deletes every item (and so every page) and lays out again.
    void deleteAll();

    // With scrollIntoView: when the item is at least as tall as the visible part of the
    // desk or its top is above the visible top, the container moves so that the item's top
    // is 3 pixels below the visible top; else when its bottom is below the visible bottom,
    // so that the bottoms meet; else nothing moves. Then this item becomes the only active
    // one. A null item or an item of another container is ignored.
    void focusItem(AW_Item* item, bool scrollIntoView);

    // Scrolls so that `rect` (container coordinates) is in view by the same rule as
    // focusItem. Returns the distance the container moved.
    int scrollRectIntoView(const QRect& rect);

    // Asks the desk to refresh its scroll bar.
    void resetScrollBar();

    // Moves the container by dy pixels vertically (positive: down), within the position
    // rule. Returns the distance it really moved.
    int onScrollbarMoving(int dy);
    // Moves the container's top to y, within the position rule.
    void moveTop(int y);
    // The lowest top the position rule allows: min(0, desk client height - height).
    int minimumTop() const;

    AW_Item* getItem(int index) const;
    int getItemNumber() const { return static_cast<int>(m_items.size()); }
    int indexOf(const AW_Item* item) const;
    AW_Item* getActiveItem() const;

    AW_Desk* desk() const { return m_desk; }

signals:
    void itemOpenChanged(AW_Item* item, bool open);
    void itemOpenHeightChanged(AW_Item* item, int height);
    void itemFocused(AW_Item* item);
    // After every layout; height is the container's new height.
    void laidOut(int height);

private:
    void forget(AW_Item* item);
    int clampTop(int y) const;
    int deskClientHeight() const;

    AW_Desk* m_desk;
    std::vector<AW_Item*> m_items;
};
