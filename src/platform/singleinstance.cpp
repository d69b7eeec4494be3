#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The one thing a later copy ever says, in one datagram.
constexpr char kShowMessage[] = "show\n";
constexpr size_t kShowMessageSize = sizeof(kShowMessage) - 1;

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

QString socketPath(const QString &key)
{
    return instanceFolder() + u'/' + baseName(key) + QStringLiteral(".socket");
}

// The running copy's address: its socket file, or, when the folder's path is too
// long for a socket, a name of the user's own in the abstract namespace.
socklen_t socketAddress(const QString &key, sockaddr_un *address)
{
    std::memset(address, 0, sizeof *address);
    address->sun_family = AF_UNIX;
    QByteArray name = QFile::encodeName(socketPath(key));
    std::size_t offset = 0;
    if (name.size() >= qsizetype(sizeof address->sun_path)) {
        name = (baseName(key) + u'-' + QString::number(::getuid())).toUtf8();
        offset = 1; // a leading zero byte names an abstract socket
    }
    std::memcpy(address->sun_path + offset, name.constData(), name.size());
    return socklen_t(offsetof(sockaddr_un, sun_path) + offset + name.size());
}

int datagramSocket()
{
    return ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
}

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent), m_key(key)
{
}

SingleInstance::~SingleInstance()
{
    if (m_socket >= 0) {
        ::close(m_socket);
        sockaddr_un address;
        socketAddress(m_key, &address);
        if (address.sun_path[0] != 0) // an abstract name goes with the socket
            ::unlink(address.sun_path);
    }
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
    listen(); // without it the copy runs on, it just cannot be called
    return true;
}

void SingleInstance::listen()
{
    // Holding the lock, this process is the only one that may own the socket: a
    // socket left behind is a dead copy's and can go.
    sockaddr_un address;
    const socklen_t length = socketAddress(m_key, &address);
    const bool file = address.sun_path[0] != 0;
    if (file)
        ::unlink(address.sun_path);
    const int fd = datagramSocket();
    if (fd < 0)
        return;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), length) != 0) {
        ::close(fd);
        return;
    }
    if (file)
        ::chmod(address.sun_path, S_IRUSR | S_IWUSR); // only the user may call
    m_socket = fd;
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &SingleInstance::readRequests);
}

void SingleInstance::askPrimaryToShow()
{
    // One datagram, never waited for: a running copy that is busy or gone costs
    // nothing.
    sockaddr_un address;
    const socklen_t length = socketAddress(m_key, &address);
    const int fd = datagramSocket();
    if (fd < 0)
        return;
    ::sendto(fd, kShowMessage, kShowMessageSize, MSG_NOSIGNAL,
             reinterpret_cast<sockaddr *>(&address), length);
    ::close(fd);
}

void SingleInstance::readRequests()
{
    char buffer[64];
    ssize_t size;
    while ((size = ::recv(m_socket, buffer, sizeof buffer, 0)) >= 0) {
        // Anything but the show request is ignored.
        if (std::size_t(size) == kShowMessageSize &&
            std::memcmp(buffer, kShowMessage, kShowMessageSize) == 0)
            emit showRequested();
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
