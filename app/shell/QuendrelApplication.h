#pragma once
// The application object: start-up in order (language, settings, single instance, command
// line, placement, splash, main window, tray, hot key) and the event loop. main() only
// builds it and calls run().
#include <memory>
#include <QApplication>

class AppSettings;
class CMainFrame;
class GlobalHotKey;
class SingleInstance;

class QuendrelApplication : public QApplication {
    Q_OBJECT
public:
    QuendrelApplication(int& argc, char** argv);
    ~QuendrelApplication() override;

    // Runs the program; the exit status. A second start hands its request to the running
    // instance and returns 0 at once.
    int run();

private:
    // A parameter handed in at start or by a second instance: folders for the option
    // side with the path flag, else a result file (not readable yet: a message says so).
    void takeParameter(bool pathFlag, const QString& parameter);
    void registerHotKey();

    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<GlobalHotKey> m_hotKey;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<CMainFrame> m_frame;
};
