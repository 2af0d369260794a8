#include "panels/AW_Label.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

// Two chevrons on a round button, pointing down (closed: it unfolds) or up (open: it
// folds). Drawn without antialiasing on the key colour, as a colour-keyed image is.
QImage drawCaptionImage(bool open, bool hovered)
{
    QImage image(AW_Label::ImageWidth, AW_Label::ImageHeight, QImage::Format_ARGB32);
    image.fill(AW_Label::ImageKeyColour);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        const QColor face = hovered ? QColor(255, 241, 176) : QColor(255, 255, 255);
        const QColor rim = hovered ? QColor(176, 96, 16) : QColor(58, 78, 120);
        const QColor mark = hovered ? QColor(200, 80, 0) : QColor(36, 58, 110);
        p.setPen(rim);
        p.setBrush(face);
        p.drawEllipse(QRect(0, 0, 14, 14)); // covers 15 x 15 pixels with the outline
        p.setPen(mark);
        for (int y0 : {3, 7}) {
            for (int thick = 0; thick < 2; ++thick) {
                const int y = y0 + thick;
                if (open) {
                    p.drawLine(4, y + 3, 7, y);
                    p.drawLine(7, y, 10, y + 3);
                } else {
                    p.drawLine(4, y, 7, y + 3);
                    p.drawLine(7, y + 3, 10, y);
                }
            }
        }
    }
    const QRgb key = AW_Label::ImageKeyColour.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xff000000u) == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

const QPixmap& cachedPixmap(bool open, bool hovered)
{
    static std::array<QPixmap, 4> pixmaps;
    QPixmap& pm = pixmaps[(open ? 2 : 0) + (hovered ? 1 : 0)];
    if (pm.isNull())
        pm = QPixmap::fromImage(AW_Label::captionImage(open, hovered));
    return pm;
}

} // namespace

AW_Label::AW_Label(QWidget* parent)
    : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    setDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { emit captionActivated(false); });
}

void AW_Label::setCaption(const QString& caption, const QString& hint)
{
    m_caption = caption;
    m_hint = hint;
    setAccessibleName(caption);
    setAccessibleDescription(hint);
    update();
}

void AW_Label::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    update();
}

void AW_Label::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    update();
}

QImage AW_Label::captionImage(bool open, bool hovered)
{
    return drawCaptionImage(open, hovered);
}

QSize AW_Label::sizeHint() const
{
    return {120, 16};
}

QSize AW_Label::minimumSizeHint() const
{
    return {0, 16};
}

void AW_Label::paintEvent(QPaintEvent* /*event*/)
{
    QPainter p(this);
    const QRect r = rect();
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.fillRect(r.adjusted(1, 1, -1, -1), m_open ? OpenFill : ClosedFill);

    // Text one pixel higher than the bar, between the left inset and the hint's right edge.
    const QRect textArea(r.left() + TextLeftInset, r.top() - 1,
                         r.width() - HintRightInset - TextLeftInset, r.height());
    const QFontMetrics fm = fontMetrics();
    const QString captionText = m_caption + QStringLiteral("   ");
    int hintWidth = 0;
    if (!m_hint.isEmpty() && textArea.width() > 0) {
        hintWidth = fm.horizontalAdvance(m_hint) + 2; // elidedText needs a little room beyond the advance
        if (fm.horizontalAdvance(captionText) + hintWidth > textArea.width())
            hintWidth = qMin(hintWidth, textArea.width() / 2);
    }
    p.setPen(m_active ? ActiveText : InactiveText);
    const QRect captionRect = textArea.adjusted(0, 0, -hintWidth, 0);
    if (captionRect.width() > 0)
        p.drawText(captionRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   fm.elidedText(captionText, Qt::ElideRight, captionRect.width()));
    if (hintWidth > 0) {
        const QRect hintRect(textArea.right() - hintWidth + 1, textArea.top(), hintWidth, textArea.height());
        p.drawText(hintRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   fm.elidedText(m_hint, Qt::ElideRight, hintRect.width()));
    }

    if (hasFocus()) {
        QPen pen(InactiveText);
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawRect(QRect(2, 2, r.width() - HintRightInset, r.height() - 5));
    }

    p.drawPixmap(r.right() + 1 - ImageRightOffset, r.top() + 1, cachedPixmap(m_open, m_hover));
}

void AW_Label::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
            event->ignore(); // Ctrl+Enter and the like belong to the window
            return;
        }
        event->accept();
        if (!event->isAutoRepeat())
            emit captionActivated(true);
        return;
    default:
        break;
    }
    QPushButton::keyPressEvent(event);
}

void AW_Label::keyReleaseEvent(QKeyEvent* event)
{
    // Space is taken on the press; the base class would click again on the release.
    if (event->key() == Qt::Key_Space && !isDown()) {
        event->accept();
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

void AW_Label::setHover(bool hover)
{
    if (m_hover == hover)
        return;
    m_hover = hover;
    update();
}

void AW_Label::enterEvent(QEnterEvent* event)
{
    if (window()->isActiveWindow())
        setHover(true);
    QPushButton::enterEvent(event);
}

void AW_Label::leaveEvent(QEvent* event)
{
    setHover(false);
    QPushButton::leaveEvent(event);
}

void AW_Label::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_hover && window()->isActiveWindow() && rect().contains(event->position().toPoint()))
        setHover(true);
    QPushButton::mouseMoveEvent(event);
}

void AW_Label::focusInEvent(QFocusEvent* event)
{
    QPushButton::focusInEvent(event);
    update();
}

void AW_Label::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    update();
}
