#include "net/httpget.h"

#include <QNetworkProxy>
#include <QTcpSocket>

namespace {

constexpr int DefaultIdleTimeoutMs = 60 * 1000;
constexpr int HttpPort = 80;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// "HTTP/1.x NNN reason": the status code, or 0 when the line is no HTTP status line.
int statusOf(const QByteArray &line)
{
    if (!line.startsWith("HTTP/"))
        return 0;
    const qsizetype space = line.indexOf(' ');
    if (space < 0 || line.size() < space + 4)
        return 0;
    const QByteArray code = line.mid(space + 1, 3);
    for (char c : code)
        if (c < '0' || c > '9')
            return 0;
    if (line.size() > space + 4 && line.at(space + 4) != ' ')
        return 0;
    return code.toInt();
}

// A decimal length, or -1 when the text is not one.
qint64 lengthOf(const QByteArray &text)
{
    if (text.isEmpty() || text.size() > 18)
        return -1;
    for (char c : text)
        if (c < '0' || c > '9')
            return -1;
    return text.toLongLong();
}

} // namespace

HttpGet::HttpGet(QObject *parent)
    : QObject(parent)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(DefaultIdleTimeoutMs);
    connect(&m_idle, &QTimer::timeout, this, [this] { finish(false); });
}

HttpGet::~HttpGet()
{
    dropSocket();
}

void HttpGet::get(const QUrl &url)
{
    dropSocket();
    m_redirects = 0;
    start(url);
}

void HttpGet::abort()
{
    if (running())
        finish(false);
}

void HttpGet::start(const QUrl &url)
{
    m_url = url;
    m_phase = Phase::StatusLine;
    m_buffer.clear();
    m_headerBytes = 0;
    m_status = 0;
    m_headers.clear();
    m_length = -1;
    m_received = 0;
    m_location.clear();
    m_chunked = false;

    m_socket = new QTcpSocket(this);
    // The installer comes straight from the maker's server, never through a proxy.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::connected, this, &HttpGet::sendRequest);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpGet::readAnswer);
    connect(m_socket, &QTcpSocket::disconnected, this, &HttpGet::closed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A server that closes ends the body; what is still buffered is read on disconnected().
        if (error != QAbstractSocket::RemoteHostClosedError)
            finish(false);
    });
    m_idle.start();
    if (url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
        // Reported from the event loop, like any other failure, and only for this request.
        QTcpSocket *socket = m_socket;
        QTimer::singleShot(0, socket, [this, socket] {
            if (m_socket == socket)
                finish(false);
        });
        return;
    }
    m_socket->connectToHost(url.host(), quint16(url.port(HttpPort)));
}

void HttpGet::sendRequest()
{
    QByteArray target = m_url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (m_url.hasQuery())
        target += '?' + m_url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']'; // an IPv6 address
    if (m_url.port(HttpPort) != HttpPort)
        host += ':' + QByteArray::number(m_url.port());
    QByteArray request = "GET " + target + " HTTP/1.0\r\nHost: " + host + "\r\n";
    if (!m_userAgent.isEmpty())
        request += "User-Agent: " + m_userAgent + "\r\n";
    if (!m_accept.isEmpty())
        request += "Accept: " + m_accept + "\r\n";
    request += "\r\n";
    m_socket->write(request);
}

void HttpGet::readAnswer()
{
    if (!m_socket)
        return;
    m_idle.start();
    QByteArray data = m_socket->readAll();
    if (m_phase == Phase::Body) {
        deliverBody(std::move(data));
        return;
    }
    m_buffer += data;
    if (!readHeaderLines())
        return;
    // The header is complete; what came after it is the start of the body.
    QByteArray rest = std::move(m_buffer);
    m_buffer.clear();
    if (isRedirect(m_status) && m_location.isValid() && m_redirects < MaxRedirects) {
        ++m_redirects;
        const QUrl next = m_location;
        dropSocket();
        start(next);
        return;
    }
    for (const QByteArray &line : std::as_const(m_headers)) {
        Q_EMIT headerLine(line);
        if (!m_socket)
            return; // the listener ended the request
    }
    if (m_status < 200 || m_status > 299 || m_chunked) {
        finish(false);
        return;
    }
    m_phase = Phase::Body;
    if (m_length == 0)
        finish(true);
    else
        deliverBody(std::move(rest));
}

// Reads header lines from the buffer; true once the blank line after them has been read.
bool HttpGet::readHeaderLines()
{
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end < 0) {
            if (m_headerBytes + m_buffer.size() > MaxHeaderBytes)
                finish(false);
            return false;
        }
        m_headerBytes += int(end + 1);
        if (m_headerBytes > MaxHeaderBytes) {
            finish(false);
            return false;
        }
        QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (m_phase == Phase::StatusLine) {
            m_status = statusOf(line);
            if (m_status == 0) {
                finish(false);
                return false;
            }
            m_phase = Phase::Headers;
            continue;
        }
        if (line.isEmpty())
            return true;
        if (!takeHeader(line)) {
            finish(false);
            return false;
        }
    }
}

// Keeps a header line for the listener and notes what the transfer needs of it; false for a
// line that makes the answer unusable.
bool HttpGet::takeHeader(const QByteArray &line)
{
    m_headers.append(line);
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return true; // not a field; shown like the others, used for nothing
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "content-length") {
        m_length = lengthOf(value);
        return m_length >= 0;
    }
    if (name == "transfer-encoding")
        m_chunked = value.toLower() != "identity";
    if (name == "location") {
        const QUrl next = m_url.resolved(QUrl::fromEncoded(value));
        m_location = next.scheme() == QLatin1String("http") ? next : QUrl();
    }
    return true;
}

void HttpGet::deliverBody(QByteArray piece)
{
    if (m_length >= 0 && piece.size() > m_length - m_received)
        piece.truncate(qsizetype(m_length - m_received)); // whatever follows is not ours
    if (!piece.isEmpty()) {
        m_received += piece.size();
        Q_EMIT bodyData(piece);
        if (!m_socket)
            return; // the listener ended the request
    }
    if (m_length >= 0 && m_received == m_length)
        finish(true);
}

void HttpGet::closed()
{
    if (!m_socket)
        return;
    if (m_socket->bytesAvailable() > 0)
        readAnswer();
    if (!m_socket)
        return;
    // Without a length the body ends where the server closes; with one, it must be whole.
    finish(m_phase == Phase::Body && m_length < 0);
}

void HttpGet::finish(bool complete)
{
    if (!m_socket)
        return;
    dropSocket();
    Q_EMIT finished(complete);
}

void HttpGet::dropSocket()
{
    m_idle.stop();
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
