#include "panels/AW_Container.h"

#include "panels/AW_Desk.h"
#include "panels/AW_Item.h"

#include <algorithm>

AW_Container::AW_Container(AW_Desk* desk)
    : TIW_Root(desk)
    , m_desk(desk)
{
}

AW_Container::~AW_Container()
{
    // Items go before the base class destroys its children, so that no signal of a dying
    // item reaches this half-destroyed container.
    for (AW_Item* item : m_items) {
        disconnect(item, nullptr, this, nullptr);
        delete item;
    }
    m_items.clear();
}

AW_Item* AW_Container::addItem(const QString& caption, const QString& hint)
{
    auto* item = new AW_Item(this);
    item->setCaptionText(caption, hint);
    m_items.push_back(item);
    connect(item, &QObject::destroyed, this, [this, item] { forget(item); });
    connect(item, &AW_Item::openChanged, this, [this, item](bool open) { emit itemOpenChanged(item, open); });
    connect(item, &AW_Item::openHeightChanged, this,
            [this, item](int height) { emit itemOpenHeightChanged(item, height); });
    item->show();
    relayout();
    return item;
}

void AW_Container::forget(AW_Item* item)
{
    m_items.erase(std::remove(m_items.begin(), m_items.end(), item), m_items.end());
    relayout();
}

void AW_Container::rePositionAll(int width)
{
    int y = StackTop;
    for (AW_Item* item : m_items) {
        item->setGeometry(ItemMargin, y, qMax(0, width - 2 * ItemMargin), item->height());
        item->placeChildren();
        y += item->height() + ItemGap;
    }
    const int newHeight = y;
    int top = this->y();
    const int deskBottom = deskClientHeight();
    if (top + newHeight < deskBottom)
        top = deskBottom - newHeight;
    const int lowest = qMin(0, deskBottom - newHeight);
    setGeometry(0, qBound(lowest, top, 0), width, newHeight);
    resetScrollBar();
    emit laidOut(newHeight);
}

void AW_Container::relayout()
{
    rePositionAll(width());
}

void AW_Container::deleteAll()
{
    std::vector<AW_Item*> items;
    items.swap(m_items);
    for (AW_Item* item : items) {
        disconnect(item, nullptr, this, nullptr);
        delete item;
    }
    relayout();
}

int AW_Container::deskClientHeight() const
{
    return m_desk ? m_desk->clientRect().height() : height();
}

int AW_Container::minimumTop() const
{
    return qMin(0, deskClientHeight() - height());
}

int AW_Container::clampTop(int y) const
{
    return qBound(minimumTop(), y, 0);
}

void AW_Container::moveTop(int y)
{
    move(0, clampTop(y));
}

int AW_Container::onScrollbarMoving(int dy)
{
    const int before = y();
    moveTop(before + dy);
    return y() - before;
}

int AW_Container::scrollRectIntoView(const QRect& rect)
{
    // The desk's visible part, in container coordinates.
    const int visibleTop = -y();
    const int visibleHeight = deskClientHeight();
    const int visibleBottom = visibleTop + visibleHeight;
    const int top = rect.top();
    const int bottom = rect.top() + rect.height();
    int dy = 0;
    if (rect.height() >= visibleHeight || top < visibleTop)
        dy = visibleTop + FocusTopOffset - top;
    else if (bottom > visibleBottom)
        dy = visibleBottom - bottom;
    if (dy == 0)
        return 0;
    const int moved = onScrollbarMoving(dy);
    resetScrollBar();
    return moved;
}

void AW_Container::focusItem(AW_Item* item, bool scrollIntoView)
{
    if (!item || indexOf(item) < 0)
        return;
    if (scrollIntoView)
        scrollRectIntoView(item->geometry());
    for (AW_Item* other : m_items)
        if (other != item)
            other->setActive(false);
    item->setActive(true);
    emit itemFocused(item);
}

void AW_Container::resetScrollBar()
{
    if (m_desk)
        m_desk->onContainerAddingOver();
}

AW_Item* AW_Container::getItem(int index) const
{
    if (index < 0 || index >= getItemNumber())
        return nullptr;
    return m_items[static_cast<size_t>(index)];
}

int AW_Container::indexOf(const AW_Item* item) const
{
    const auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

AW_Item* AW_Container::getActiveItem() const
{
    for (AW_Item* item : m_items)
        if (item->isActive())
            return item;
    return nullptr;
}
