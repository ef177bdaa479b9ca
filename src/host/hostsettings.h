#pragma once

// The two choices of the hosting player that the host reads at the moment it needs them, so
// a change in the menu takes effect at the next pause or winner without telling the host.
class HostSettings {
public:
    virtual ~HostSettings() = default;
    // Seconds of pause between two rounds.
    virtual int timeBetweenRounds() const = 0;
    // Whether a new game with the same settings starts a minute after a winner.
    virtual bool autoStart() const = 0;
    // Whether a board too poor in words is dealt again ("Better Boards"); off, every round
    // gets exactly one deal.
    virtual bool betterBoards() const { return false; }
};

// The menu's defaults, for a host that runs without a window.
class DefaultHostSettings : public HostSettings {
public:
    int timeBetweenRounds() const override { return 10; }
    bool autoStart() const override { return false; }
};
