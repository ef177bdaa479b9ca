#pragma once

#include <QList>
#include <QPixmap>

#include <optional>

class QImage;

// The 31 tile pictures of the board and the word slots, looked up by cell code:
// 0 a plain white tile, 1..26 the letters A..Z, 27 the last-tile frame, 28 the path
// frame (both transparent inside, drawn over a tile), 29 the empty cell, 30 the empty
// word slot. A set always holds exactly 31 pictures of 42 x 42 logical pixels.
// Needs a QGuiApplication (the pictures are QPixmaps).
class TileSet {
public:
    static constexpr int TileSize = 42;
    static constexpr int Count = 31;
    enum Index {
        PlainTile = 0,
        FirstLetter = 1,
        LastLetter = 26,
        LastTileFrame = 27,
        PathFrame = 28,
        EmptyCell = 29,
        EmptySlot = 30,
    };

    // The pictures the program draws itself, sharp at the given device pixel ratio.
    static TileSet builtIn(qreal devicePixelRatio = 1.0);
    // A tile group: picture i is the square at x = 42 * i, y = 0 of the strip, with pure
    // white made transparent. Whatever part of the 1302 x 42 strip the image does not
    // cover stays transparent. Empty for a null image.
    static std::optional<TileSet> fromStrip(const QImage &strip);

    // Any index outside 0..30 gives the empty cell picture, so a bad code read from the
    // network can never index past the list.
    const QPixmap &picture(int index) const;
    int count() const { return int(m_pictures.size()); }

private:
    TileSet() = default;

    QList<QPixmap> m_pictures;
};
