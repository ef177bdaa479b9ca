#include <QTest>

#include "net/wsaerrors.h"

#include <cerrno>
#include <cstring>

class TestWsaErrors : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The named ranges and their edges; everything else is unknown.
    void names_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("interrupted") << 10004 << "WSAEINTR";
        QTest::newRow("below the first") << 10003 << "UNKNOWN ERROR";
        QTest::newRow("gap after EINTR") << 10005 << "UNKNOWN ERROR";
        QTest::newRow("too many files") << 10024 << "WSAEMFILE";
        QTest::newRow("before the block") << 10034 << "UNKNOWN ERROR";
        QTest::newRow("block start") << 10035 << "WSAEWOULDBLOCK";
        QTest::newRow("reset") << 10054 << "WSAECONNRESET";
        QTest::newRow("refused") << 10061 << "WSAECONNREFUSED";
        QTest::newRow("block end") << 10071 << "WSAEREMOTE";
        QTest::newRow("after the block") << 10072 << "UNKNOWN ERROR";
        QTest::newRow("not ready") << 10091 << "WSASYSNOTREADY";
        QTest::newRow("not initialised") << 10093 << "WSANOTINITIALISED";
        QTest::newRow("gap before disconnect") << 10094 << "UNKNOWN ERROR";
        QTest::newRow("graceful disconnect") << 10101 << "WSAEDISCON";
        QTest::newRow("host not found") << 11001 << "WSAHOST_NOT_FOUND";
        QTest::newRow("no data") << 11004 << "WSANO_DATA";
        QTest::newRow("past the lookups") << 11005 << "UNKNOWN ERROR";
        QTest::newRow("zero") << 0 << "UNKNOWN ERROR";
        QTest::newRow("negative") << -10061 << "UNKNOWN ERROR";
    }
    void names()
    {
        QFETCH(int, code);
        QFETCH(QString, name);
        QCOMPARE(wsaErrorName(code), name);
    }

    void text() { QCOMPARE(wsaErrorText(10061), QString("Error #10061 (WSAECONNREFUSED)")); }

    // What Qt reports on Linux, and the code the program shows for it.
    void qtErrors_data()
    {
        using E = QAbstractSocket;
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("code");
        QTest::newRow("refused") << int(E::ConnectionRefusedError) << "Connection refused" << 10061;
        QTest::newRow("remote closed") << int(E::RemoteHostClosedError) << "" << 10054;
        QTest::newRow("host not found") << int(E::HostNotFoundError) << "" << 11001;
        QTest::newRow("timeout") << int(E::SocketTimeoutError) << "" << 10060;
        QTest::newRow("address in use") << int(E::AddressInUseError) << "" << 10048;
        QTest::newRow("access") << int(E::SocketAccessError) << "" << 10013;
        QTest::newRow("network unreachable, Qt text")
            << int(E::NetworkError) << "Network unreachable" << 10051;
        QTest::newRow("host unreachable, Qt text")
            << int(E::NetworkError) << "Host unreachable" << 10065;
        QTest::newRow("connect timed out, Qt text")
            << int(E::NetworkError) << "Connection timed out" << 10060;
        QTest::newRow("host unreachable, system text")
            << int(E::NetworkError) << QString::fromLocal8Bit(std::strerror(EHOSTUNREACH))
            << 10065;
        QTest::newRow("reset, system text")
            << int(E::NetworkError) << QString::fromLocal8Bit(std::strerror(ECONNRESET)) << 10054;
        QTest::newRow("network error without detail") << int(E::NetworkError) << "" << 10050;
        QTest::newRow("too many files") << int(E::SocketResourceError)
                                        << QString::fromLocal8Bit(std::strerror(EMFILE)) << 10024;
        QTest::newRow("resources without detail") << int(E::SocketResourceError) << "" << 10055;
        QTest::newRow("unknown, nothing to go on") << int(E::UnknownSocketError) << "" << 0;
    }
    void qtErrors()
    {
        QFETCH(int, error);
        QFETCH(QString, detail);
        QFETCH(int, code);
        QCOMPARE(wsaCodeFor(QAbstractSocket::SocketError(error), detail), code);
    }

    void errnoValues_data()
    {
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("code");
        QTest::newRow("ECONNREFUSED") << ECONNREFUSED << 10061;
        QTest::newRow("ECONNRESET") << ECONNRESET << 10054;
        QTest::newRow("EPIPE reads as a reset") << EPIPE << 10054;
        QTest::newRow("EAGAIN") << EAGAIN << 10035;
        QTest::newRow("ENETUNREACH") << ENETUNREACH << 10051;
        QTest::newRow("EHOSTUNREACH") << EHOSTUNREACH << 10065;
        QTest::newRow("ETIMEDOUT") << ETIMEDOUT << 10060;
        QTest::newRow("ENOENT has no counterpart") << ENOENT << 0;
    }
    void errnoValues()
    {
        QFETCH(int, err);
        QFETCH(int, code);
        QCOMPARE(wsaCodeForErrno(err), code);
    }
};

QTEST_GUILESS_MAIN(TestWsaErrors)
#include "tst_wsaerrors.moc"
