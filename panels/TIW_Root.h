#pragma once
// Base widget of the panel library: fills its whole area with the palette's button colour
// before anything else is drawn. Subclasses paint on top of it in their own paintEvent
// after calling paintBackground(). User-interface thread only.
#include <QWidget>

class QPainter;

class TIW_Root : public QWidget
{
    Q_OBJECT
public:
    explicit TIW_Root(QWidget* parent = nullptr);

    // The colour the background is filled with (the palette's button colour).
    QColor backgroundColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void paintBackground(QPainter& painter);
};
