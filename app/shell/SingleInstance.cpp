#include "shell/SingleInstance.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include "shell/CommandLine.h"

namespace {

constexpr quint32 kMagic = 0x51444931;  // "QDI1"
constexpr qint64 kMaxMessageBytes = 1 << 20;
constexpr char kAnswer = 'A';

QString runtimeFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && runtime.startsWith('/') && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    return QDir::tempPath();
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(serverName(), parent) {}

SingleInstance::SingleInstance(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName() {
    QString name = QStringLiteral("quendrel-") + QString::number(::getuid());
    if (QStandardPaths::isTestModeEnabled())
        name += QStringLiteral("-test-") + QCoreApplication::applicationName();
    return name;
}

QString SingleInstance::socketPath(const QString& name) { return runtimeFolder() + QLatin1Char('/') + name; }

SingleInstance::Role SingleInstance::start(const CommandLine& commandLine, QString* error) {
    const QString socket = socketPath(m_name);
    QLockFile lock(socket + QStringLiteral(".lock"));
    // A lock whose owner died is taken over at once; a live owner is never timed out.
    lock.setStaleLockTime(0);
    if (!lock.tryLock(10000)) {
        if (error)
            *error = QStringLiteral("cannot lock %1").arg(lock.fileName());
        return Role::Failed;
    }

    QLocalSocket peer;
    peer.connectToServer(socket);
    if (peer.waitForConnected(1000)) {
        QByteArray message;
        QDataStream out(&message, QIODevice::WriteOnly);
        out << kMagic << commandLine.pathFlag() << commandLine.parameter();
        QByteArray framed;
        QDataStream frame(&framed, QIODevice::WriteOnly);
        frame << message;
        peer.write(framed);
        peer.waitForBytesWritten(kAnswerTimeoutMs);
        if (peer.waitForReadyRead(kAnswerTimeoutMs) && peer.read(1) == QByteArray(1, kAnswer))
            return Role::Secondary;
        if (error)
            *error = QStringLiteral("the running instance did not answer");
        return Role::Failed;
    }

    // Nobody answers: whatever socket file is there was left by a crashed instance.
    QLocalServer::removeServer(socket);
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(socket)) {
        if (error)
            *error = server->errorString();
        return Role::Failed;
    }
    connect(server.get(), &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    m_server = std::move(server);
    return Role::Primary;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A peer that never finishes its message is dropped.
        QTimer::singleShot(kAnswerTimeoutMs * 2, socket, [socket] { socket->abort(); });
        if (socket->bytesAvailable() > 0)
            readMessage(socket);
    }
}

void SingleInstance::readMessage(QLocalSocket* socket) {
    if (socket->bytesAvailable() > kMaxMessageBytes) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.startTransaction();
    QByteArray message;
    in >> message;
    if (!in.commitTransaction())
        return;  // wait for the rest
    QDataStream body(message);
    quint32 magic = 0;
    bool pathFlag = false;
    QString parameter;
    body >> magic >> pathFlag >> parameter;
    if (body.status() != QDataStream::Ok || magic != kMagic) {
        socket->abort();
        return;
    }
    socket->write(QByteArray(1, kAnswer));
    socket->flush();
    emit activationRequested(pathFlag, parameter);
}
