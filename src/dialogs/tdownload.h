#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>
#include <memory>

class HttpGet;
class LobbyLauncher;
class Notifier;
class QLabel;
class QPushButton;
class CheckedSaveFile;

// The lobby download window: fetches the lobby installer over HTTP and starts it, or starts an
// installed lobby, or lets the solo game go on.
//
// The state of a download is the "tag" property of `infolabel`: 1 while a download runs or has
// completed, 2 when it was aborted or failed.
class Tdownload : public QDialog {
    Q_OBJECT
public:
    static constexpr char DefaultAddress[] = "http://www.orvo22.com/lobby/oslsetup.exe";
    // Larger than any installer; a server that sends more is cut off.
    static constexpr qint64 MaxDownloadSize = 256 * 1024 * 1024;
    enum State { Running = 1, Aborted = 2 };

    // The installer is saved into `downloadFolder` under the last part of `address`.
    // `exitProgram` ends the program (the main window's "Exit") once the installer or the
    // lobby has been started. `notifier` and `launcher` must outlive the window.
    Tdownload(const QString &downloadFolder, Notifier *notifier, LobbyLauncher *launcher,
              std::function<void()> exitProgram, const QUrl &address = QUrl(QString::fromLatin1(DefaultAddress)),
              QWidget *parent = nullptr);
    ~Tdownload() override;

    int state() const;
    bool downloading() const;

    void getbuttonClick();
    void abortbuttonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildLeftPanel();
    void buildRightPanels();
    void setState(State state);
    void setIdle(bool idle);

    void HttpCli1HeaderData();
    void HttpCli1DocData(const QByteArray &piece);
    void downloadFinished(bool complete);
    void startInstaller(const QString &path);
    void Button2Click();

    QString m_folder;
    Notifier *m_notifier;
    LobbyLauncher *m_launcher;
    std::function<void()> m_exitProgram;
    QUrl m_address;

    HttpGet *m_http = nullptr;
    std::unique_ptr<CheckedSaveFile> m_file;
    qint64 m_received = 0;
    bool m_bodyBegun = false;
    bool m_userAborted = false;

    QLabel *m_info = nullptr;
    QLabel *m_info2 = nullptr;
    QLabel *m_info3 = nullptr;
    QPushButton *m_get = nullptr;
    QPushButton *m_abort = nullptr;
};
