#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr int kConnectTimeoutMs = 500;
constexpr int kWriteTimeoutMs = 500;
// Unix socket paths must fit in 108 bytes.
constexpr qsizetype kMaxSocketPath = 100;
const QByteArray kShowMessage = QByteArrayLiteral("show\n");

QString instanceFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    // A folder of the user's own, so other users' files never stand in the way.
    const QString own =
        QDir::tempPath() + QStringLiteral("/deskalarm-") + QString::number(::getuid());
    if (QDir().mkpath(own))
        QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
    return own;
}

QString baseName(const QString &key)
{
    return QStringLiteral("deskalarm-") + key;
}

QString lockFilePath(const QString &key)
{
    return instanceFolder() + u'/' + baseName(key) + QStringLiteral(".lock");
}

QString serverName(const QString &key)
{
    const QString path = instanceFolder() + u'/' + baseName(key) + QStringLiteral(".socket");
    // A bare name lands in the temporary folder; only used when the path is too long.
    return QFile::encodeName(path).size() <= kMaxSocketPath ? path : baseName(key);
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent), m_key(key)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

bool SingleInstance::tryBecomePrimary()
{
    if (m_primary)
        return true;
    m_lock = std::make_unique<QLockFile>(lockFilePath(m_key));
    // Only a lock whose process is gone is stale: a copy that has run for hours
    // keeps its lock.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        const bool heldByAnother = m_lock->error() == QLockFile::LockFailedError;
        m_lock.reset();
        // A folder that cannot hold the lock must not keep the program from
        // running at all: better a second copy than none.
        if (heldByAnother)
            return false;
    }
    m_primary = true;

    // Holding the lock, this process is the only one that may own the socket: a
    // socket left behind is a dead copy's and can go.
    const QString name = serverName(m_key);
    QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    m_server->listen(name); // without it the copy runs on, it just cannot be called
    return true;
}

void SingleInstance::askPrimaryToShow()
{
    QLocalSocket socket;
    socket.connectToServer(serverName(m_key));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return;
    socket.write(kShowMessage);
    socket.waitForBytesWritten(kWriteTimeoutMs);
    socket.disconnectFromServer();
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() == kShowMessage)
                    emit showRequested();
            }
            // Nothing else is ever said; a caller that talks on is cut off.
            if (socket->bytesAvailable() > kShowMessage.size())
                socket->abort();
        });
    }
}

QString instanceKeyFor(const QString &programFolder)
{
    const QFileInfo folder(programFolder);
    QString canonical = folder.canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(folder.absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha256);
    return QString::fromLatin1(hash.toHex().left(16));
}
