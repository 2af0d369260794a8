#pragma once
// One running program per user: a per-user QLocalServer.
//
// start() decides, under a QLockFile, whether this process is the first: it tries to reach
// a running instance; when one answers, the command line is handed to it (pathFlag and the
// parameter as given) and start() returns Secondary, after which the caller ends. When
// none answers, a socket left by a crashed instance is removed and this process listens:
// Primary. The lock makes two starts at the same moment end with exactly one Primary.
//
// Names: serverName() is "quendrel-<uid>" (with "-test-<application name>" under
// QStandardPaths test mode, so tests never reach a running copy); the socket and the lock
// lie in $XDG_RUNTIME_DIR when set, else in the temporary folder, and the socket is
// reachable by its user only. Tests may pass a name of their own.
//
// The primary emits activationRequested() for every hand-over, on the thread that owns
// the object (the user-interface thread); the window then shows itself.
#include <memory>
#include <QLocalServer>
#include <QObject>
#include <QString>

class CommandLine;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role { Primary, Secondary, Failed };

    explicit SingleInstance(QObject* parent = nullptr);
    SingleInstance(const QString& name, QObject* parent);
    ~SingleInstance() override;

    static QString serverName();
    // Full path of the socket for a name.
    static QString socketPath(const QString& name);

    // Decides the role (see above). Failed: the lock could not be had, or the running
    // instance took the connection but did not answer; `error` then says why.
    Role start(const CommandLine& commandLine, QString* error = nullptr);
    bool isPrimary() const { return m_server != nullptr; }

    // Milliseconds to wait for the running instance's answer.
    static constexpr int kAnswerTimeoutMs = 5000;

signals:
    void activationRequested(bool pathFlag, const QString& parameter);

private:
    void onNewConnection();
    void readMessage(QLocalSocket* socket);

    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
};
