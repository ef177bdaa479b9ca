#pragma once

#include <QtGlobal>

#include <array>

// The LZRW1-KH engine: encodes one chunk of at most 32768 bytes into one block and decodes one
// block back. Chunks never refer to each other, so the engine keeps no state between calls
// except the hash table, which it owns so that it is allocated once and only cleared per chunk.
//
// Block data: byte 0 is the flag (0x80 stored, anything else compressed). A compressed block
// is a series of groups, each a 16-bit control word (high byte first, used from the top bit
// down: 0 literal, 1 copy item) followed by up to 16 items. A copy item b0 b1 with
// offset = b0*16 + b1/16 is a back-reference of (b1 & 15) + 3 bytes when offset is 1..4095,
// or, when offset is 0, a run b0 b1 b2 b3 of b1*256 + b2 + 16 copies of b3.
class TLZR
{
public:
    static constexpr int ChunkSize = 32768;
    // Size an encoder output buffer must have: the encoder only notices that a block has
    // outgrown its chunk a few bytes after the fact, and then stores the chunk (n + 1 bytes).
    static constexpr int BufferSize = ChunkSize + 16;
    // The longest block an encoder ever produces: a stored full chunk.
    static constexpr int MaxBlockSize = ChunkSize + 1;
    static constexpr int Corrupt = -1;

    static constexpr quint8 FlagCompressed = 0x40;
    static constexpr quint8 FlagStored = 0x80;

    // Encodes src[0, n) with 0 <= n <= ChunkSize into dst, which holds BufferSize bytes, and
    // returns the block length (1 to n + 1). Reads no byte outside src[0, n). Deterministic.
    int compress(const quint8 *src, int n, quint8 *dst);

    // Decodes the block src[0, length) into dst, which holds ChunkSize bytes, and returns the
    // chunk length, or Corrupt when the block would produce more than ChunkSize bytes, refers
    // before the start of the chunk or ends inside an item or a control word. Never reads
    // outside src[0, length) nor writes outside dst[0, ChunkSize); on Corrupt the contents of
    // dst are unspecified.
    static int decompress(const quint8 *src, int length, quint8 *dst);

private:
    // Last position (within the current chunk) at which each 3-byte hash was seen, or, for
    // none yet, a position too far back for any offset to reach.
    std::array<qint16, 4096> m_hash;
};
