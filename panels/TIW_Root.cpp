#include "panels/TIW_Root.h"

#include <QPaintEvent>
#include <QPainter>

TIW_Root::TIW_Root(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor TIW_Root::backgroundColor() const
{
    return palette().color(QPalette::Button);
}

void TIW_Root::paintBackground(QPainter& painter)
{
    painter.fillRect(rect(), backgroundColor());
}

void TIW_Root::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintBackground(painter);
}
