#include "panels/AW_Item.h"

#include "panels/AW_Container.h"
#include "panels/AW_Label.h"

#include <QApplication>
#include <QPainter>

namespace {

bool takesTabFocus(const QWidget* w, const QWidget* page)
{
    return w->isEnabled() && (w == page || w->isVisibleTo(page)) && (w->focusPolicy() & Qt::TabFocus);
}

} // namespace

AW_Item::AW_Item(AW_Container* container)
    : TIW_Root(container)
    , m_container(container)
    , m_label(new AW_Label(this))
{
    m_label->setGeometry(0, 0, 0, CaptionHeight);
    connect(m_label, &AW_Label::captionActivated, this, &AW_Item::onLabelPressed);
    resize(0, InitialHeight);
}

AW_Item::~AW_Item()
{
    if (m_page) {
        disconnect(m_page, nullptr, this, nullptr);
        delete m_page;
    }
}

void AW_Item::setCaptionText(const QString& caption, const QString& hint)
{
    m_label->setCaption(caption, hint);
    setAccessibleName(caption);
}

QString AW_Item::caption() const
{
    return m_label->caption();
}

QString AW_Item::hint() const
{
    return m_label->hint();
}

void AW_Item::attachDialog(QWidget* page)
{
    if (page == m_page)
        return;
    if (m_page) {
        disconnect(m_page, nullptr, this, nullptr);
        delete m_page;
        m_page = nullptr;
    }
    if (!page)
        return;
    int pageHeight = page->testAttribute(Qt::WA_Resized) ? page->height() : page->sizeHint().height();
    if (pageHeight < 0)
        pageHeight = page->height();
    page->setParent(this);
    m_page = page;
    connect(page, &QObject::destroyed, this, [this] { m_page = nullptr; });
    // The page's controls come right after the caption bar in the Tab order.
    QWidget::setTabOrder(m_label, page);
    page->setVisible(m_open);
    setOpenHeight(pageHeight + PageMargin);
}

void AW_Item::setOpenHeight(int height)
{
    if (m_open)
        resize(width(), height);
    else
        m_savedHeight = height;
    placeChildren();
    m_container->relayout();
    emit openHeightChanged(height);
}

void AW_Item::open(bool open)
{
    setOpen(open, FoldFocus::Page);
}

void AW_Item::setOpen(bool open, FoldFocus focus)
{
    if (open == m_open)
        return;
    if (open) {
        const int h = m_savedHeight;
        m_savedHeight = 0;
        m_open = true;
        resize(width(), h);
        if (m_page)
            m_page->show();
    } else {
        m_savedHeight = height();
        m_open = false;
        // A hidden page keeps no keyboard focus: it would otherwise wander to another item.
        if (m_page) {
            if (m_page->isAncestorOf(QApplication::focusWidget()) || m_page->hasFocus())
                m_label->setFocus(Qt::OtherFocusReason);
            m_page->hide();
        }
        resize(width(), CaptionHeight);
    }
    placeChildren();
    setLabelBitmap(open);
    m_container->relayout();
    emit openChanged(open);

    if (focus == FoldFocus::None)
        return;
    m_container->focusItem(this, true);
    if (focus == FoldFocus::Page)
        focusPage();
    else
        m_label->setFocus(Qt::OtherFocusReason);
}

bool AW_Item::isActive() const
{
    return m_label->isActive();
}

void AW_Item::setActive(bool active)
{
    if (active == m_label->isActive())
        return;
    m_label->setActive(active);
    emit activeChanged(active);
}

void AW_Item::focusMe(bool scrollIntoView)
{
    m_container->focusItem(this, scrollIntoView);
    if (scrollIntoView)
        focusPage();
}

void AW_Item::focusPage()
{
    if (!m_page || !m_open) {
        m_label->setFocus(Qt::OtherFocusReason);
        return;
    }
    QWidget* target = m_page->focusWidget();
    if (target && !(target == m_page || m_page->isAncestorOf(target)))
        target = nullptr;
    if (target && !takesTabFocus(target, m_page))
        target = nullptr;
    if (!target) {
        QWidget* w = m_page;
        do {
            if ((w == m_page || m_page->isAncestorOf(w)) && takesTabFocus(w, m_page)) {
                target = w;
                break;
            }
            w = w->nextInFocusChain();
        } while (w && w != m_page);
    }
    (target ? target : static_cast<QWidget*>(m_label))->setFocus(Qt::OtherFocusReason);
}

void AW_Item::onEditorWindowChanged(int height)
{
    const int wanted = height + EditorSlack;
    if (openHeight() < wanted)
        setOpenHeight(wanted);
}

void AW_Item::changeParentSize()
{
    m_container->relayout();
}

void AW_Item::setLabelBitmap(bool open)
{
    m_label->setOpen(open);
}

void AW_Item::onLabelPressed(bool byKeyboard)
{
    setOpen(!m_open, byKeyboard ? FoldFocus::Caption : FoldFocus::Page);
}

void AW_Item::placeChildren()
{
    // Children keep the open geometry while the item is closed, so a width change made
    // while closed is not lost when it opens again.
    m_label->setGeometry(0, 0, width(), CaptionHeight);
    if (m_page)
        m_page->setGeometry(PageLeft, PageTop, qMax(0, width() - PageMargin),
                            qMax(0, openHeight() - PageMargin));
}

void AW_Item::resizeEvent(QResizeEvent* /*event*/)
{
    placeChildren();
}

void AW_Item::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    paintBackground(p);
    const int bottom = height() - (m_open ? 3 : 5);
    const int right = width() - 1;
    const QPoint frame[] = {{0, bottom}, {0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
    p.setPen(Qt::black);
    p.drawPolyline(frame, 5);
}
