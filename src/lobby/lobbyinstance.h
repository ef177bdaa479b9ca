#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;
class QLockFile;

// One lobby window per user. The first lobby holds the lock file "lexitangle-lobby.lock" in the
// runtime folder and listens on the local socket "lexitangle-lobby.sock" beside it; a lobby
// started later (a link clicked in a browser while one is open) hands its link over and ends, so
// only one of them listens for the game on 127.0.0.1:9001.
//
// The request is one line: "open" to come forward, or "open LINK" with the link in UTF-8. What
// arrives there is untrusted: it is read to a bounded length within a bounded time, and the link
// is only handed on to be checked as any other link is.
class LobbyInstance : public QObject {
    Q_OBJECT
public:
    enum class Start {
        First,       // this lobby is the one: it listens for later ones
        HandedOver,  // another lobby runs and took the request: end this one
        NoAnswer,    // another lobby holds the lock but took nothing within AnswerTimeoutMs
    };

    static constexpr int AnswerTimeoutMs = 3000;
    static constexpr int RequestTimeoutMs = 2000;  // a peer that says nothing within this is cut off
    static constexpr int MaxPeers = 4;
    // "open " and a link cut to InviteLink::MaxLength + 1 characters of up to 4 UTF-8 bytes each.
    static constexpr qsizetype MaxRequestBytes = 1300;

    explicit LobbyInstance(const QString &directory, QObject *parent = nullptr);
    ~LobbyInstance() override;

    // link: given on the command line, or empty to only bring the running lobby forward.
    Start claimOrHandOver(const QString &link);
    QString socketPath() const { return m_socketPath; }

    static QByteArray request(const QString &link);
    // The link in a request line (empty for "open"), or nothing when the line is not a request.
    static std::optional<QString> readRequest(const QByteArray &line);

Q_SIGNALS:
    // A later lobby asked this one to come forward, with its link filled in when one is given.
    void requested(const QString &link);

private:
    void listen();
    void accept();
    void read(QLocalSocket *peer);
    bool handOver(const QByteArray &request) const;

    QString m_lockPath;
    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
