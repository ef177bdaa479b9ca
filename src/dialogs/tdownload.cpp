#include "dialogs/tdownload.h"

#include "dialogs/lobbylauncher.h"
#include "widgets/dialoglook.h"
#include "net/httpget.h"
#include "words/checkedsavefile.h"
#include "words/notifier.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

#include <utility>

// lexiui is a static library: without this reference the linker leaves the picture out.
// Q_INIT_RESOURCE declares an extern function, so it stays at global scope.
static void registerLobbyPicture()
{
    Q_INIT_RESOURCE(lobby);
}

namespace {

constexpr int Width = 724;
constexpr int Height = 500;
// A stalled transfer gives up after this long without data.
constexpr int TransferTimeoutMs = 60 * 1000;

QFrame *whitePanel(QWidget *parent, const QRect &place)
{
    auto *panel = new QFrame(parent);
    panel->setGeometry(place);
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    panel->setPalette(palette);
    return panel;
}

QLabel *text(QWidget *parent, const QString &content, const QRect &place, const QString &name = {})
{
    auto *label = new QLabel(content, parent);
    label->setGeometry(place);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    if (!name.isEmpty())
        label->setObjectName(name);
    return label;
}

} // namespace

Tdownload::Tdownload(const QString &downloadFolder, Notifier *notifier, LobbyLauncher *launcher,
                     std::function<void()> exitProgram, const QUrl &address, QWidget *parent)
    : QDialog(parent)
    , m_folder(downloadFolder)
    , m_notifier(notifier)
    , m_launcher(launcher)
    , m_exitProgram(std::move(exitProgram))
    , m_address(address)
    , m_http(new HttpGet(this))
{
    setObjectName(QStringLiteral("download"));
    setWindowTitle(QStringLiteral("Download The Orvo22 Lobby"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(Width, Height);
    DialogLook::applyBackground(this);
    // Asked as the old browser of the lobby's days asked.
    m_http->setUserAgent("Mozilla/3.0 (compatible)");
    m_http->setAccept("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    m_http->setIdleTimeout(TransferTimeoutMs);
    connect(m_http, &HttpGet::headerLine, this, &Tdownload::HttpCli1HeaderData);
    connect(m_http, &HttpGet::bodyData, this, &Tdownload::HttpCli1DocData);
    connect(m_http, &HttpGet::finished, this, &Tdownload::downloadFinished);
    buildLeftPanel();
    buildRightPanels();
    setIdle(true);
}

Tdownload::~Tdownload()
{
    m_http->disconnect(this);
}

bool Tdownload::downloading() const
{
    return m_http->running();
}

void Tdownload::buildLeftPanel()
{
    QFrame *left = whitePanel(this, QRect(6, 6, 450, 487));
    registerLobbyPicture();
    auto *picture = new QLabel(left);
    picture->setObjectName(QStringLiteral("image_lobby"));
    picture->setGeometry(5, 5, 440, 220);
    picture->setAlignment(Qt::AlignCenter);
    // On a screen above 100 % the picture drawn at twice the size, so it is not blown up.
    const bool large = qApp->devicePixelRatio() > 1;
    QPixmap lobby(large ? QStringLiteral(":/art/lobby@2x.jpg") : QStringLiteral(":/art/lobby.jpg"));
    if (large)
        lobby.setDevicePixelRatio(2);
    picture->setPixmap(lobby);
    picture->setAccessibleName(QStringLiteral("The Orvo22 Lobby"));

    QLabel *pitch = text(left,
                         QStringLiteral("Download The Orvo22 Lobby Now to play this  and other "
                                        "exciting games online with other players!"),
                         QRect(15, 230, 420, 60));
    QFont bold = pitch->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    pitch->setFont(bold);

    m_get = new QPushButton(QStringLiteral("Download And Install The Orvo22 Lobby Now"), left);
    m_get->setObjectName(QStringLiteral("getbutton"));
    m_get->setGeometry(75, 296, 300, 32);
    m_info = text(left, QString(), QRect(15, 336, 420, 40), QStringLiteral("infolabel"));
    m_abort = new QPushButton(QStringLiteral("Stop Download"), left);
    m_abort->setObjectName(QStringLiteral("abortbutton"));
    m_abort->setGeometry(150, 380, 150, 28);
    m_info3 = text(left, QString(), QRect(15, 418, 420, 40), QStringLiteral("infolabel3"));
    m_info2 = text(left, QString(), QRect(15, 460, 420, 20), QStringLiteral("infolabel2"));
    m_info2->hide();

    connect(m_get, &QPushButton::clicked, this, &Tdownload::getbuttonClick);
    connect(m_abort, &QPushButton::clicked, this, &Tdownload::abortbuttonClick);
}

void Tdownload::buildRightPanels()
{
    QFrame *solo = whitePanel(this, QRect(461, 6, 257, 228));
    text(solo, QStringLiteral("To proceed to the game without the ability to play against others "
                              "click the button below."),
         QRect(10, 10, 237, 60));
    auto *playSolo = new QPushButton(QStringLiteral("Play Solo Game"), solo);
    playSolo->setObjectName(QStringLiteral("Button1"));
    playSolo->setGeometry(53, 80, 150, 30);
    text(solo, QStringLiteral("Note: Even if you are playing offline, you will need to configure "
                              "your FIREWALL to allow the game to access the internet components."),
         QRect(10, 125, 237, 95));

    QFrame *others = whitePanel(this, QRect(461, 237, 257, 257));
    text(others, QStringLiteral("If you already have The Orvo22 Lobby and you wish to play with "
                                "others then click the button below to close this game and open "
                                "The Orvo22 Lobby."),
         QRect(10, 10, 237, 90));
    auto *playOthers = new QPushButton(QStringLiteral("Play with Others"), others);
    playOthers->setObjectName(QStringLiteral("Button2"));
    playOthers->setGeometry(53, 115, 150, 30);

    connect(playSolo, &QPushButton::clicked, this, &QDialog::close);
    connect(playOthers, &QPushButton::clicked, this, &Tdownload::Button2Click);
}

void Tdownload::showEvent(QShowEvent *event)
{
    // Centred on the desktop, not on the main window behind it.
    if (QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

int Tdownload::state() const
{
    return m_info->property("tag").toInt();
}

void Tdownload::setState(State state)
{
    m_info->setProperty("tag", int(state));
}

void Tdownload::setIdle(bool idle)
{
    m_get->setEnabled(idle);
    m_abort->setEnabled(!idle);
}

void Tdownload::getbuttonClick()
{
    if (downloading())
        return;
    setState(Running);
    const QString fileName = m_address.fileName();
    m_info2->setText(fileName);
    m_received = 0;
    m_bodyBegun = false;
    m_userAborted = false;

    // Written beside its final place and renamed into it at the end: a complete download
    // always, a broken one only where it replaces no earlier file; never one that a write or
    // the final flush failed for.
    m_file = std::make_unique<CheckedSaveFile>(QDir(m_folder).filePath(fileName));
    if (fileName.isEmpty() || !m_file->open()) {
        m_file.reset();
        m_info->setText(QStringLiteral("Download Aborted"));
        setState(Aborted);
        return;
    }
    setIdle(false);
    m_info->setText(QStringLiteral("Loading"));

    m_http->get(m_address);
}

void Tdownload::HttpCli1HeaderData()
{
    if (!m_bodyBegun)
        m_info->setText(m_info->text() + QLatin1Char('.'));
}

void Tdownload::HttpCli1DocData(const QByteArray &piece)
{
    // Only the body of a good answer arrives here: an error page is never the installer.
    if (!m_bodyBegun) {
        m_bodyBegun = true;
        m_info3->setText(QStringLiteral("Downloading: ") + m_info2->text());
    }
    if (m_received + piece.size() > MaxDownloadSize || !m_file->write(piece)) {
        m_http->abort();
        return;
    }
    m_received += piece.size();
    m_info->setText(QString::number(m_received) + QStringLiteral(" bytes"));
}

void Tdownload::downloadFinished(bool complete)
{
    bool saved = false;
    if (complete && state() != Aborted)
        saved = m_file->commit();
    else if (!QFileInfo::exists(m_file->fileName()))
        m_file->commit(); // what arrived stays, as it always has, where it replaces nothing
    else
        m_file->cancel(); // an earlier download stays whole
    // A transfer that could not be stored (a full disk) says why; the old file stays as it was.
    const QString unsaved = m_userAborted ? QString() : m_file->errorString();
    const QString path = m_file->fileName();
    m_file.reset();

    if (!saved) {
        // A user's abort keeps its own wording in the first status line.
        if (!m_userAborted)
            m_info->setText(QStringLiteral("Download Aborted"));
        if (!unsaved.isEmpty())
            m_info3->setText(QStringLiteral("Could not save ") + m_info2->text() + QStringLiteral(": ") + unsaved);
        setState(Aborted);
    } else {
        m_info->setText(QStringLiteral("Received ") + QString::number(QFileInfo(path).size())
                        + QStringLiteral(" bytes"));
    }
    setIdle(true);
    if (state() != Aborted)
        startInstaller(path);
}

void Tdownload::startInstaller(const QString &path)
{
    m_info3->setText(QStringLiteral("Installing"));
    if (!m_launcher || !m_launcher->startInstaller(path)) {
        if (m_notifier)
            m_notifier->showMessage(QStringLiteral("An Error has Occurred."));
        return;
    }
    if (m_exitProgram)
        m_exitProgram();
}

void Tdownload::abortbuttonClick()
{
    m_userAborted = true;
    setState(Aborted);
    m_http->abort();
    m_info->setText(QStringLiteral("Download has been aborted."));
    m_info3->setText(QStringLiteral("Download Aborted"));
}

void Tdownload::Button2Click()
{
    if (m_launcher && m_launcher->startLobby()) {
        if (m_exitProgram)
            m_exitProgram();
        return;
    }
    if (m_notifier)
        m_notifier->showMessage(QStringLiteral(
            "Please close the game and open the Orvo22 Lobby using the icon on your desktop or "
            "using the your Window's start-up menu."));
}
