#pragma once
// The main window's placement: the normal (restored) rectangle in screen pixels and the
// maximized flag, as the settings keep them ("MainWinLeft", "MainWinTop", "MainWinRight",
// "MainWinBottom" with right and bottom exclusive, "MainWinState").
//
// Restoring: an empty rectangle with the flag clear changes nothing; an empty rectangle
// with the flag set becomes the available desktop area, maximized; a maximized placement
// keeps its normal rectangle for un-maximizing; otherwise the window takes the rectangle.
// A rectangle that lies on no screen any more is moved onto the primary screen.
// Capturing: a minimized or hidden window keeps the earlier placement.
#include <QRect>

class QWidget;
struct WindowPlacement;

class FramePlacement {
public:
    bool maximized = true;
    QRect normal;  // null/empty: no stored rectangle

    static FramePlacement fromStored(int left, int top, int right, int bottom, int state);
    static FramePlacement fromRecord(const WindowPlacement& record);
    void toRecord(WindowPlacement& record) const;
    int left() const { return normal.left(); }
    int top() const { return normal.top(); }
    int right() const { return normal.isNull() ? 0 : normal.right() + 1; }
    int bottom() const { return normal.isNull() ? 0 : normal.bottom() + 1; }
    int state() const { return maximized ? 1 : 0; }

    // The rectangle restoring gives the window (null: leave the window as it is), for a
    // desktop whose available areas are `screens` (the first one primary).
    QRect restoredRect(const QList<QRect>& screens) const;

    // Sets the window's geometry and its maximized state; does not show the window.
    // `showMaximized` receives whether the window is to be shown maximized.
    void applyTo(QWidget* window, bool& showMaximized) const;
    // Takes the placement from the window; false (nothing taken) while it is minimized or
    // hidden, so that the placement of the last time it was shown stays.
    bool captureFrom(const QWidget* window);

    bool operator==(const FramePlacement&) const = default;
};
