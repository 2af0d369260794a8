// FramePlacement: restore and capture rules of the main window's rectangle.
#include "shell/FramePlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "shell/SettingsRecords.h"

FramePlacement FramePlacement::fromStored(int left, int top, int right, int bottom, int state)
{
    FramePlacement p;
    p.maximized = state != 0;
    if (right > left && bottom > top)
        p.normal = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    return p;
}

FramePlacement FramePlacement::fromRecord(const WindowPlacement& r)
{
    return fromStored(r.MainWinLeft, r.MainWinTop, r.MainWinRight, r.MainWinBottom, r.MainWinState);
}

void FramePlacement::toRecord(WindowPlacement& r) const
{
    r.MainWinLeft = left();
    r.MainWinTop = top();
    r.MainWinRight = right();
    r.MainWinBottom = bottom();
    r.MainWinState = state();
}

QRect FramePlacement::restoredRect(const QList<QRect>& screens) const
{
    const QRect primary = screens.isEmpty() ? QRect() : screens.first();
    if (normal.isEmpty())
        return maximized ? primary : QRect();
    for (const QRect& screen : screens)
        if (screen.intersects(normal))
            return normal;
    if (primary.isEmpty())
        return normal;
    // The screen it was on is gone: keep the size (within the primary screen), move it there.
    QRect moved(primary.topLeft(), normal.size().boundedTo(primary.size()));
    return moved;
}

void FramePlacement::applyTo(QWidget* window, bool& showMaximized) const
{
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        screens.append(primary->availableGeometry());
    for (QScreen* s : QGuiApplication::screens())
        if (s != QGuiApplication::primaryScreen())
            screens.append(s->availableGeometry());
    const QRect rect = restoredRect(screens);
    showMaximized = !rect.isNull() && maximized;
    if (!rect.isNull())
        window->setGeometry(rect);
    Qt::WindowStates states = window->windowState() & ~Qt::WindowMaximized;
    if (showMaximized)
        states |= Qt::WindowMaximized;
    window->setWindowState(states);
}

bool FramePlacement::captureFrom(const QWidget* window)
{
    if (window->isMinimized() || !window->isVisible())
        return false;
    maximized = window->isMaximized();
    if (!maximized) {
        normal = window->geometry();
        return true;
    }
    // A window maximized from the start has no normal rectangle of its own yet (or reports
    // the maximized one): the stored one stays.
    const QRect rect = window->normalGeometry();
    if (!rect.isEmpty() && rect != window->geometry())
        normal = rect;
    return true;
}
