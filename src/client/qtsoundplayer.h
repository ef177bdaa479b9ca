#pragma once

#include <QHash>
#include <QMediaDevices>
#include <QObject>
#include <QStringList>

#include "client/soundplayer.h"

class QSoundEffect;

// Plays the clips carried in the ":/sounds" resources with QSoundEffect.
//
// One clip sounds at a time: starting one stops the one that is playing. Playing never
// waits: QSoundEffect loads and plays in the background, and nothing here ever waits
// for a clip to finish (with no audio device QSoundEffect never reports the end).
// Without an audio output the player does nothing at all, and it picks up a device
// that appears later.
class QtSoundPlayer : public QObject, public SoundPlayer {
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);

    void play(const QString &clipName) override;

    // The 32 clip names, in capitals, as the resources are named.
    static QStringList clipNames();
    // The clip's resource name for a name in any letter case ("wave3" gives "WAVE3"),
    // or an empty string when the name is not exactly one of the clips. Only plain
    // ASCII letters and digits can match, so no name from the network can reach
    // another resource or a file.
    static QString clipFor(const QString &name);
    static bool isClip(const QString &name);
    // ":/sounds/NAME.wav" for a clip name as clipFor() accepts it; empty otherwise.
    static QString resourcePath(const QString &name);

    bool hasAudioOutput() const { return m_haveOutput; }

private:
    QSoundEffect *effectFor(const QString &clip);
    void onOutputsChanged();

    QMediaDevices m_devices;
    bool m_haveOutput = false;
    // Created on first use and kept, so a clip is decoded once per run.
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_current = nullptr;
};
