#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// A link: an address and its kind. Opening it puts the kind's prefix in front of the address
// (unless the address already starts with it) and asks the desktop to open the result with its
// default handler.
class TURL {
public:
    enum class Kind { File, Ftp, Gopher, Http, Https, Mailto, News, Telnet, Wais, None };
    // How an address is handed to the desktop; QDesktopServices::openUrl unless a test gives
    // its own. True when the desktop accepted it.
    using Opener = std::function<bool(const QUrl &)>;

    explicit TURL(QString address = {}, Kind kind = Kind::Http, Opener opener = {});

    static QString prefix(Kind kind);
    QString fullAddress() const;
    // False when the address is empty or not a valid URL, or the desktop refused it.
    bool open() const;

private:
    QString m_address;
    Kind m_kind;
    Opener m_opener;
};
