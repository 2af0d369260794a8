#pragma once
// A colour swatch of the Search option page: a small button filled with its colour. A click
// (or Space) opens the colour dialog (object name "colourDialog", Qt's own dialog so it is
// the same on every desktop); when the dialog is confirmed with another colour the swatch
// takes it, repaints itself and emits colourChanged(). Cancel changes nothing.
// User-interface thread only.
#include <QAbstractButton>
#include <QColor>

class ColourSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget* parent = nullptr);

    void setColour(const QColor& colour);
    QColor colour() const { return m_colour; }

    // Colours as stored in the settings: 0x00BBGGRR.
    static QColor fromColorRef(int colorRef);
    static int toColorRef(const QColor& colour);

    QSize sizeHint() const override;

signals:
    void colourChanged(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void chooseColour();

    QColor m_colour = Qt::black;
};
