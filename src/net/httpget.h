#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QTcpSocket;

// One HTTP/1.0 GET, asked the way an old browser asks: the request line, Host, User-Agent
// and Accept, nothing more (no compression, no language, no keep-alive). The body of a 2xx
// answer ends at its Content-Length, or where the server closes the connection when it gives
// none. Redirections to other http addresses are followed a few times.
//
// Everything from the server is untrusted: the header is bounded, a body longer than its
// Content-Length is cut there, an answer that is not HTTP fails, and a connection that stays
// silent for `idleTimeoutMs` fails.
class HttpGet : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxHeaderBytes = 64 * 1024;
    static constexpr int MaxRedirects = 5;

    explicit HttpGet(QObject *parent = nullptr);
    ~HttpGet() override;

    void setUserAgent(const QByteArray &agent) { m_userAgent = agent; }
    void setAccept(const QByteArray &accept) { m_accept = accept; }
    void setIdleTimeout(int ms) { m_idle.setInterval(ms); }

    // Starts a request; a request still running is dropped first, without finished().
    void get(const QUrl &url);
    // Ends the running request: finished(false) follows at once. Nothing when none runs.
    void abort();
    bool running() const { return m_socket != nullptr; }
    // The status code of the last answer's status line, 0 before one arrived.
    int status() const { return m_status; }

Q_SIGNALS:
    // Each header line of the answer that is delivered (not of a redirection), status line
    // excluded, without its line end.
    void headerLine(const QByteArray &line);
    // Each piece of the body of a 2xx answer, in order.
    void bodyData(const QByteArray &piece);
    // Once per request: `complete` when a 2xx answer arrived whole.
    void finished(bool complete);

private:
    enum class Phase { StatusLine, Headers, Body };

    void start(const QUrl &url);
    void sendRequest();
    void readAnswer();
    bool readHeaderLines();
    bool takeHeader(const QByteArray &line);
    void deliverBody(QByteArray piece);
    void closed();
    void finish(bool complete);
    void dropSocket();

    QByteArray m_userAgent;
    QByteArray m_accept;
    QTimer m_idle;
    QTcpSocket *m_socket = nullptr;
    QUrl m_url;
    int m_redirects = 0;

    Phase m_phase = Phase::StatusLine;
    QByteArray m_buffer;
    int m_headerBytes = 0;
    int m_status = 0;
    QList<QByteArray> m_headers; // held back until the status says they belong to the answer
    qint64 m_length = -1;        // Content-Length, or -1
    qint64 m_received = 0;
    QUrl m_location;
    bool m_chunked = false;
};
