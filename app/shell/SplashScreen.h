#pragma once
// The splash image shown while the main window is built: a frameless picture of the
// program's name, centred on the screen, closed at the first 100 ms tick of the event loop
// or at any key or mouse press. Never shown for a start with "/minimized".
#include <QSplashScreen>

class SplashScreen : public QSplashScreen {
    Q_OBJECT
public:
    SplashScreen();
    // Shows the splash and arranges its closing; it deletes itself once closed.
    static SplashScreen* showNow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
