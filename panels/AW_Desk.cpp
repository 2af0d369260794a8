#include "panels/AW_Desk.h"

#include "panels/AW_Container.h"
#include "panels/AW_Item.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

AW_Desk::AW_Desk(QWidget* parent)
    : TIW_Root(parent)
{
    // Item pointers travel in signals, also across queued connections and signal spies.
    qRegisterMetaType<AW_Item*>();
    m_container = new AW_Container(this);
    m_container->setGeometry(0, 0, 0, 0);
    m_container->show();

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setSingleStep(LineStep);
    // The bar's menu offers "top" and "bottom", requests this desk leaves alone.
    m_scrollBar->setContextMenuPolicy(Qt::NoContextMenu);
    m_scrollBar->setAccessibleName(tr("Scroll the panels"));
    m_scrollBar->hide();
    connect(m_scrollBar, &QAbstractSlider::actionTriggered, this, &AW_Desk::onScrollAction);
    connect(m_scrollBar, &QAbstractSlider::valueChanged, this, &AW_Desk::scrollPositionChanged);

    connect(m_container, &AW_Container::itemOpenChanged, this, &AW_Desk::itemOpenChanged);
    connect(m_container, &AW_Container::itemOpenHeightChanged, this, &AW_Desk::itemOpenHeightChanged);
    connect(m_container, &AW_Container::itemFocused, this, &AW_Desk::itemFocused);
    connect(qApp, &QApplication::focusChanged, this, &AW_Desk::onFocusChanged);

    setAccessibleName(tr("Panels"));
    setAccessibleDescription(
        tr("A column of folding panels. Space or Enter on a caption bar folds or unfolds its panel."));
}

AW_Desk::~AW_Desk()
{
    disconnect(qApp, nullptr, this, nullptr);
    // The container's items emit while they go; nobody should hear them from a dying desk.
    disconnect(m_container, nullptr, this, nullptr);
}

AW_Item* AW_Desk::addItem(const QString& caption, const QString& hint, QWidget* page, bool open)
{
    AW_Item* item = m_container->addItem(caption, hint);
    if (page)
        item->attachDialog(page);
    item->setOpen(open, AW_Item::FoldFocus::None);
    return item;
}

int AW_Desk::itemCount() const
{
    return m_container->getItemNumber();
}

AW_Item* AW_Desk::item(int index) const
{
    return m_container->getItem(index);
}

AW_Item* AW_Desk::activeItem() const
{
    return m_container->getActiveItem();
}

bool AW_Desk::setItemOpen(int index, bool open)
{
    AW_Item* it = item(index);
    if (!it)
        return false;
    it->open(open);
    return true;
}

void AW_Desk::focusItem(AW_Item* item, bool scrollIntoView)
{
    if (item && m_container->indexOf(item) >= 0)
        item->focusMe(scrollIntoView);
}

QRect AW_Desk::clientRect() const
{
    const int bar = m_scrollBarShown ? m_scrollBar->sizeHint().width() : 0;
    return {0, 0, qMax(0, width() - bar), height()};
}

int AW_Desk::scrollPosition() const
{
    return m_scrollBar->value();
}

int AW_Desk::maximumScrollPosition() const
{
    return m_scrollBar->maximum();
}

QSize AW_Desk::sizeHint() const
{
    return {300, 400};
}

void AW_Desk::placeScrollBar()
{
    const int bar = m_scrollBar->sizeHint().width();
    m_scrollBar->setGeometry(width() - bar, 0, bar, height());
    m_scrollBar->raise();
}

void AW_Desk::resizeEvent(QResizeEvent* /*event*/)
{
    placeScrollBar();
    applyClientSize();
}

void AW_Desk::applyClientSize()
{
    const int width = qMax(0, clientRect().width() - ContainerInset);
    const bool sizeChanged = m_container->width() != width;
    m_container->resize(width, m_container->height());
    m_container->moveTop(m_container->y()); // the client height may have changed the range
    if (sizeChanged)
        m_container->rePositionAll(width);
    else
        onContainerAddingOver();
}

void AW_Desk::onContainerAddingOver()
{
    const int clientHeight = height();
    const int stackHeight = m_container->height();
    const bool needed = clientHeight < stackHeight;
    // The Qt bar's maximum is the last top position (not the document length), so the
    // position always equals the distance the container is scrolled up.
    m_scrollBar->setRange(0, needed ? stackHeight - clientHeight : 0);
    m_scrollBar->setPageStep(qMax(1, clientHeight));
    m_scrollBar->setValue(-m_container->y());
    if (needed != m_scrollBarShown) {
        m_scrollBarShown = needed;
        m_scrollBar->setVisible(needed);
        placeScrollBar();
        applyClientSize(); // the client width changed with the bar
    }
}

void AW_Desk::vScroll(ScrollCode code, int thumbPosition)
{
    const int pos = m_scrollBar->value();
    const int min = m_scrollBar->minimum();
    const int max = m_scrollBar->maximum();
    const int page = m_scrollBar->pageStep();
    int dy = 0; // how far the container moves down
    switch (code) {
    case ScrollCode::LineUp:
        if (pos == min)
            return;
        dy = LineStep;
        break;
    case ScrollCode::LineDown:
        if (pos == max)
            return;
        dy = -LineStep;
        break;
    case ScrollCode::PageUp:
        if (pos == min)
            return;
        dy = page;
        break;
    case ScrollCode::PageDown:
        if (pos == max)
            return;
        dy = -page;
        break;
    case ScrollCode::ThumbPosition:
    case ScrollCode::ThumbTrack:
        dy = pos - thumbPosition;
        break;
    case ScrollCode::Top:
    case ScrollCode::Bottom:
    case ScrollCode::EndScroll:
        return;
    }
    m_container->onScrollbarMoving(dy);
    m_scrollBar->setValue(-m_container->y());
}

void AW_Desk::scrollTo(int position)
{
    vScroll(ScrollCode::ThumbPosition, qBound(0, position, maximumScrollPosition()));
}

void AW_Desk::onScrollAction(int action)
{
    const int target = m_scrollBar->sliderPosition();
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        vScroll(ScrollCode::LineDown);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        vScroll(ScrollCode::LineUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        vScroll(ScrollCode::PageDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        vScroll(ScrollCode::PageUp);
        break;
    case QAbstractSlider::SliderMove:
        vScroll(ScrollCode::ThumbTrack, target);
        break;
    default:
        break;
    }
    // The bar applies sliderPosition() after this slot: keep it where the stack is.
    m_scrollBar->setSliderPosition(-m_container->y());
}

void AW_Desk::wheelEvent(QWheelEvent* event)
{
    int pixels = 0;
    if (!event->pixelDelta().isNull()) {
        pixels = event->pixelDelta().y();
    } else {
        // One notch (120) scrolls as many 20-pixel lines as the desktop asks for.
        const int perNotch = LineStep * qMax(1, QApplication::wheelScrollLines());
        m_wheelRemainder += event->angleDelta().y();
        pixels = m_wheelRemainder * perNotch / 120;
        m_wheelRemainder -= pixels * 120 / perNotch;
    }
    if (pixels != 0)
        scrollTo(scrollPosition() - pixels);
    event->accept();
}

void AW_Desk::onFocusChanged(QWidget* /*old*/, QWidget* now)
{
    if (!now || !m_container->isAncestorOf(now))
        return;
    QWidget* w = now;
    while (w && w->parentWidget() != m_container)
        w = w->parentWidget();
    auto* item = qobject_cast<AW_Item*>(w);
    if (!item)
        return;
    // Focus that arrives by keyboard (Tab, a shortcut) brings its control into view; a
    // mouse press must not move the bar away under the pointer.
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        m_container->scrollRectIntoView(QRect(now->mapTo(m_container, QPoint(0, 0)), now->size()));
    m_container->focusItem(item, false);
}
