#include "detachedstart.h"

#include "appscope.h"

#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// A pipe whose ends close on exec and with this object.
class Pipe
{
public:
    Pipe()
    {
        if (::pipe2(m_ends, O_CLOEXEC) != 0)
            m_ends[0] = m_ends[1] = -1;
    }
    ~Pipe()
    {
        close(0);
        close(1);
    }
    Pipe(const Pipe &) = delete;
    Pipe &operator=(const Pipe &) = delete;

    bool isOpen() const { return m_ends[0] != -1; }
    int readEnd() const { return m_ends[0]; }
    int writeEnd() const { return m_ends[1]; }
    void close(int end)
    {
        if (m_ends[end] != -1)
            ::close(m_ends[end]);
        m_ends[end] = -1;
    }

private:
    int m_ends[2];
};

// True when all `size` bytes came; false at the end of the pipe before that.
bool readFully(int fd, void *data, size_t size)
{
    ssize_t n;
    do
        n = ::read(fd, data, size);
    while (n == -1 && errno == EINTR);
    return n == ssize_t(size);
}

struct Channels
{
    int startedWrite; // the program's process id goes here
    int releaseRead;  // ends when the clock lets the program go on
    int releaseWrite; // the clock's end, closed here at once
    int failureWrite; // errno of a failed chdir or exec
};

// The started program's process, between fork and exec: async-signal-safe calls
// only. It says its process id, waits until the clock has moved it where it
// belongs, then runs the program. Were the clock to die meanwhile, the pipe ends
// and the program runs all the same.
[[noreturn]] void becomeProgram(char *const argv[], const char *folder, const Channels &channels)
{
    ::close(channels.releaseWrite);
    const pid_t self = ::getpid();
    [[maybe_unused]] ssize_t n = ::write(channels.startedWrite, &self, sizeof self);
    char released;
    while (::read(channels.releaseRead, &released, 1) == -1 && errno == EINTR) {
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    if (!folder || ::chdir(folder) == 0)
        ::execve(argv[0], argv, environ);
    const int error = errno;
    n = ::write(channels.failureWrite, &error, sizeof error);
    ::_exit(127);
}

} // namespace

bool startDetachedProgram(const QString &program, const QStringList &arguments,
                          const QString &workingDirectory)
{
    QByteArrayList encoded{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        encoded << argument.toLocal8Bit();
    std::vector<char *> argv;
    for (QByteArray &argument : encoded)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(workingDirectory);

    Pipe started, release, failure;
    if (!started.isOpen() || !release.isOpen() || !failure.isOpen())
        return false;
    const Channels channels{started.writeEnd(), release.readEnd(), release.writeEnd(),
                            failure.writeEnd()};
    // Two forks, so that the program is nobody's child here and is reaped by the
    // session's subreaper or init; the first one also leaves the clock's session.
    const pid_t intermediate = ::fork();
    if (intermediate == -1)
        return false;
    if (intermediate == 0) {
        ::setsid();
        if (::fork() == 0)
            becomeProgram(argv.data(), folder.isEmpty() ? nullptr : folder.constData(), channels);
        ::_exit(0);
    }
    started.close(1);
    release.close(0);
    failure.close(1);
    while (::waitpid(intermediate, nullptr, 0) == -1 && errno == EINTR) {
    }
    pid_t pid = 0;
    if (!readFully(started.readEnd(), &pid, sizeof pid))
        return false; // the second fork failed
    // Held before exec, the program can have started nothing of its own yet, so
    // whatever it starts later is in the scope with it.
    moveToOwnScope(pid, QFileInfo(program).fileName());
    release.close(1);
    int error = 0;
    return !readFully(failure.readEnd(), &error, sizeof error);
}
