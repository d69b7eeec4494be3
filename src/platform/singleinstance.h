#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLockFile;

// Makes sure only one copy of the program runs per program folder. The lock is
// held by the running process and is stale as soon as that process is gone, so a
// copy that crashed never blocks the next start. The running copy also listens
// for later copies and is told to come to the front.
//
// The lock and the socket live in the user's runtime folder (XDG_RUNTIME_DIR),
// or in a folder of the user's own under the temporary folder.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one running copy. Atomic: of several
    // copies starting at the same moment exactly one gets true.
    bool tryBecomePrimary();
    // From a later copy: ask the running copy to show itself. Returns at once,
    // whether or not a running copy hears it.
    void askPrimaryToShow();

signals:
    void showRequested();

private:
    void listen();
    void readRequests();

    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    int m_socket = -1;
    bool m_primary = false;
};

// A key for the program in the given folder: the same for every spelling of the
// folder (links, "..", a trailing slash), different for different folders.
QString instanceKeyFor(const QString &programFolder);
