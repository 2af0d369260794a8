#pragma once
// The caption bar of one folding panel: an owner-drawn push button, 16 pixels high, that
// shows the caption on the left, the hint (a shortcut text) right-aligned, and a 16 x 15
// fold image at the right end. It takes the keyboard focus (Tab or click) and is activated
// by a mouse click, Space or Enter; either way it emits captionActivated(). It never
// changes its own open or active state: its AW_Item does. User-interface thread only.
#include <QImage>
#include <QPushButton>
#include <QString>

class AW_Label : public QPushButton
{
    Q_OBJECT
public:
    static constexpr int ImageWidth = 16;
    static constexpr int ImageHeight = 15;
    static constexpr int ImageRightOffset = 20; // image at (right - 20, top + 1)
    static constexpr int HintRightInset = 22;   // the hint ends 22 pixels left of the right edge
    static constexpr int TextLeftInset = 5;

    static inline const QColor OpenFill{100, 132, 183};
    static inline const QColor ClosedFill{136, 136, 136};
    static inline const QColor ActiveText{255, 255, 0};
    static inline const QColor InactiveText{255, 255, 255};
    // Pixels of this colour in the drawn caption images are made transparent.
    static inline const QColor ImageKeyColour{255, 0, 0};

    explicit AW_Label(QWidget* parent = nullptr);

    // The caption (also the accessible name) and the hint (also the accessible description).
    void setCaption(const QString& caption, const QString& hint);
    QString caption() const { return m_caption; }
    QString hint() const { return m_hint; }

    // Open selects the fill colour and image; active selects the text colour. Both repaint
    // only when they change.
    void setOpen(bool open);
    bool isOpen() const { return m_open; }
    void setActive(bool active);
    bool isActive() const { return m_active; }

    // True while the mouse is over the bar and the bar's window is active.
    bool isHovered() const { return m_hover; }

    // One of the four caption images, drawn by the library: 16 x 15, ARGB32, the pixels
    // drawn in ImageKeyColour made fully transparent. Needs a QGuiApplication.
    static QImage captionImage(bool open, bool hovered);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A click, or Space / Enter while the bar has the keyboard focus.
    void captionActivated(bool byKeyboard);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setHover(bool hover);

    QString m_caption; // not the button text: a '&' in a caption is no mnemonic here
    QString m_hint;
    bool m_hover = false;
    bool m_open = true;
    bool m_active = false;
};
