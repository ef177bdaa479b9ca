#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

// One running copy per runtime directory. The first copy holds the lock file of the marker and
// listens on a local socket beside it; a later copy finds the lock taken, asks the first copy
// through that socket to restore or raise its window, and ends before creating any window.
// QLockFile notices a lock whose owner died (kill -9) and takes it over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // marker: the marker's name ("22ovro"); directory: where the marker lives.
    SingleInstance(const QString &marker, const QString &directory, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another copy runs. With activate set, that copy is asked to show its window.
    bool anotherCopyRuns(bool activate);

    // The user's runtime directory ($XDG_RUNTIME_DIR), else the temporary directory.
    static QString runtimeDirectory();

Q_SIGNALS:
    // A later copy asked this one to restore or raise its window.
    void activationRequested();

private:
    void listenForLaterCopies();
    static void askFirstCopyToActivate(const QString &socketPath);

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
