#include "client/qtsoundplayer.h"

#include <QAudioDevice>
#include <QSoundEffect>
#include <QUrl>

// Q_INIT_RESOURCE declares an extern function, so it must be used at global scope (not
// inside an anonymous namespace). lexiui is a static library: without this call the
// linker would leave the sound resources out.
static void registerSoundResources()
{
    Q_INIT_RESOURCE(sounds);
}

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent)
{
    registerSoundResources();
    m_haveOutput = !QMediaDevices::audioOutputs().isEmpty();
    connect(&m_devices, &QMediaDevices::audioOutputsChanged, this, &QtSoundPlayer::onOutputsChanged);
}

QStringList QtSoundPlayer::clipNames()
{
    QStringList names = {
        QStringLiteral("CLEAR"), QStringLiteral("CLICK"), QStringLiteral("ENTERED"),
        QStringLiteral("GAMEOVER"), QStringLiteral("GOODWORD"), QStringLiteral("INVALID"),
        QStringLiteral("ROTATE"), QStringLiteral("ROUNDOVER"), QStringLiteral("SENDWORD"),
        QStringLiteral("TICK"), QStringLiteral("TURN"), QStringLiteral("TURNNEW"),
    };
    for (int n = 1; n <= 20; ++n)
        names << QStringLiteral("WAVE%1").arg(n);
    return names;
}

QString QtSoundPlayer::clipFor(const QString &name)
{
    // The longest name is "ROUNDOVER"; anything longer cannot match and is not scanned.
    if (name.isEmpty() || name.size() > 9)
        return {};
    QString upper;
    upper.reserve(name.size());
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            upper += QChar(u - u'a' + u'A');
        else if ((u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9'))
            upper += c;
        else
            return {};
    }
    return clipNames().contains(upper) ? upper : QString();
}

bool QtSoundPlayer::isClip(const QString &name)
{
    return !clipFor(name).isEmpty();
}

QString QtSoundPlayer::resourcePath(const QString &name)
{
    const QString clip = clipFor(name);
    return clip.isEmpty() ? QString() : QStringLiteral(":/sounds/%1.wav").arg(clip);
}

void QtSoundPlayer::play(const QString &clipName)
{
    if (!m_haveOutput)
        return;
    const QString clip = clipFor(clipName);
    if (clip.isEmpty())
        return;
    QSoundEffect *effect = effectFor(clip);
    if (m_current)
        m_current->stop();
    m_current = effect;
    // play() returns at once; a clip still loading starts as soon as it is ready.
    effect->play();
}

QSoundEffect *QtSoundPlayer::effectFor(const QString &clip)
{
    QSoundEffect *&effect = m_effects[clip];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath(clip)));
    }
    return effect;
}

void QtSoundPlayer::onOutputsChanged()
{
    // A QSoundEffect stays bound to the output that was the default when it was made,
    // so any change of outputs drops the effects; the next play() makes new ones.
    if (m_current)
        m_current->stop();
    m_current = nullptr;
    qDeleteAll(m_effects);
    m_effects.clear();
    m_haveOutput = !QMediaDevices::audioOutputs().isEmpty();
}
