#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QLockFile;

// Makes sure only one copy of the program runs per program folder. The lock is
// held by the running process and is stale as soon as that process is gone, so a
// copy that crashed never blocks the next start. The running copy also listens
// for later copies and is told to come to the front.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one running copy.
    bool tryBecomePrimary();
    // From a later copy: ask the running copy to show itself.
    void askPrimaryToShow();

signals:
    void showRequested();

private:
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};

// A key for the program in the given folder.
QString instanceKeyFor(const QString &programFolder);
