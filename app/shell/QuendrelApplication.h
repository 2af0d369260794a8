#pragma once
// The application object: start-up in order (language, settings, single instance, command
// line, placement, splash, main window, tray, hot key) and the event loop. main() only
// builds it and calls run().
#include <memory>
#include <QApplication>

class AppSettings;
class CMainFrame;

class QuendrelApplication : public QApplication {
    Q_OBJECT
public:
    QuendrelApplication(int& argc, char** argv);
    ~QuendrelApplication() override;

    // Runs the program; the exit status. A second start hands its request to the running
    // instance and returns 0 at once.
    int run();

private:
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;
};
