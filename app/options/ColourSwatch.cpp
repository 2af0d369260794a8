// ColourSwatch: a button showing a colour, edited with QColorDialog.
#include "options/ColourSwatch.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "shell/ResultDisplayOptions.h"

ColourSwatch::ColourSwatch(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, &ColourSwatch::chooseColour);
}

QColor ColourSwatch::fromColorRef(int colorRef)
{
    return ResultDisplayOptions::fromColorRef(unsigned(colorRef));
}

int ColourSwatch::toColorRef(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return int(unsigned(rgb.red()) | (unsigned(rgb.green()) << 8) | (unsigned(rgb.blue()) << 16));
}

void ColourSwatch::setColour(const QColor& colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

QSize ColourSwatch::sizeHint() const
{
    const int h = fontMetrics().height() + 8;
    return {h * 3, h};
}

void ColourSwatch::chooseColour()
{
    QColorDialog dialog(m_colour, this);
    dialog.setObjectName(QStringLiteral("colourDialog"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    dialog.setWindowTitle(accessibleName());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QColor chosen = dialog.selectedColor();
    if (!chosen.isValid() || chosen.rgb() == m_colour.rgb())
        return;
    setColour(QColor(chosen.rgb()));
    emit colourChanged(m_colour);
}

void ColourSwatch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(1, 1, -2, -2);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.setBrush(isEnabled() ? m_colour : palette().color(QPalette::Disabled, QPalette::Button));
    painter.drawRect(frame);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
