#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/singleinstance.h"

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The first copy runs; a second one in the same directory is refused and raises the first.
    void secondCopyIsRefusedAndActivatesFirst()
    {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("22ovro"), dir.path());
        QVERIFY(!first.anotherCopyRuns(true));
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        SingleInstance second(QStringLiteral("22ovro"), dir.path());
        QVERIFY(second.anotherCopyRuns(true));
        QVERIFY(activated.wait(5000));
    }

    // Without the activate flag the first copy is left alone.
    void secondCopyWithoutActivateSendsNothing()
    {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("22ovro"), dir.path());
        QVERIFY(!first.anotherCopyRuns(true));
        QSignalSpy activated(&first, &SingleInstance::activationRequested);
        SingleInstance second(QStringLiteral("22ovro"), dir.path());
        QVERIFY(second.anotherCopyRuns(false));
        QVERIFY(!activated.wait(200));
    }

    // Copies with different runtime directories are independent.
    void differentDirectoriesAreIndependent()
    {
        QTemporaryDir a, b;
        SingleInstance first(QStringLiteral("22ovro"), a.path());
        SingleInstance other(QStringLiteral("22ovro"), b.path());
        QVERIFY(!first.anotherCopyRuns(true));
        QVERIFY(!other.anotherCopyRuns(true));
    }

    // A lock left by a copy that was killed (its process is gone) is taken over.
    void lockOfDeadCopyIsTakenOver()
    {
        QTemporaryDir dir;
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForFinished());
        const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
        QFile stale(dir.filePath(QStringLiteral("22ovro.lock")));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray::number(deadPid) + "\nlexitangle\n\n");
        stale.close();
        QFile socketLeftover(dir.filePath(QStringLiteral("22ovro.sock")));
        QVERIFY(socketLeftover.open(QIODevice::WriteOnly));
        socketLeftover.close();

        SingleInstance fresh(QStringLiteral("22ovro"), dir.path());
        QVERIFY(!fresh.anotherCopyRuns(true));
        QSignalSpy activated(&fresh, &SingleInstance::activationRequested);
        SingleInstance later(QStringLiteral("22ovro"), dir.path());
        QVERIFY(later.anotherCopyRuns(true));
        QVERIFY(activated.wait(5000));
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
