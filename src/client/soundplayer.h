#pragma once

#include <QString>

// Plays the program's sound clips by name. Windows talk to this seam so that tests can
// hand them a recording fake instead of a sound card.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // clipName is a clip's resource name such as "TICK" or "WAVE3"; the letter case
    // does not matter ("tick" names the same clip). A name that is not a clip plays
    // nothing. Never blocks; starting a clip cuts off the one that is playing.
    virtual void play(const QString &clipName) = 0;
};
