#pragma once

#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

// While a table is hosted: the addresses others can use, each with its invite link, and
// "Copy Invite Link", which puts the chosen one (the first, unless another is selected) on the
// clipboard.
class InvitePanel : public QWidget {
    Q_OBJECT
public:
    explicit InvitePanel(QWidget *parent = nullptr);

    // This machine's addresses on the local network; clears the router's.
    void showLocalAddresses(const QStringList &addresses);
    // The router's address on the internet, once the port is open: listed first.
    void addExternalAddress(const QString &address);
    QString chosenLink() const;

Q_SIGNALS:
    void linkCopied(const QString &link);

private:
    void addRow(const QString &address, const QString &where, int at);
    void copyLink();

    QLabel *m_caption;
    QListWidget *m_list;
    QPushButton *m_copy;
};
