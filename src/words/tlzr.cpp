#include "words/tlzr.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace {

constexpr int GroupItems = 16;
constexpr int MinRun = 16;
constexpr int MaxRun = 4095;
constexpr int MinMatch = 3;
constexpr int MaxMatch = 18;
constexpr int MaxOffset = 4095;

inline quint64 load64(const quint8 *p)
{
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return qFromLittleEndian(v); // byte 0 in the low bits, so countr_zero finds the first difference
}

inline unsigned hashAt(const quint8 *p)
{
    const quint32 key = ((quint32(p[0]) << 4 ^ p[1]) << 4) ^ p[2];
    return (key * 40543u >> 4) & 0x0FFF;
}

// How many bytes from x on equal src[x]: at least 1, at most MaxRun, never reaching n.
inline int runLength(const quint8 *src, int x, int n)
{
    const quint8 c = src[x];
    const int limit = std::min(MaxRun, n - x);
    int r = 1;
    const quint64 pattern = c * 0x0101010101010101ull;
    while (r + 8 <= limit) {
        const quint64 diff = load64(src + x + r) ^ pattern;
        if (diff)
            return r + std::countr_zero(diff) / 8;
        r += 8;
    }
    while (r < limit && src[x + r] == c)
        ++r;
    return r;
}

// Number of leading bytes that x and the earlier position p share, at most MaxMatch and never
// reaching n. p < x, so every byte read from p's side lies before the end as well.
inline int matchLength(const quint8 *src, int x, int p, int n)
{
    const int limit = std::min(MaxMatch, n - x);
    if (limit == MaxMatch) {
        quint64 diff = load64(src + x) ^ load64(src + p);
        if (diff)
            return std::countr_zero(diff) / 8;
        diff = load64(src + x + 8) ^ load64(src + p + 8);
        if (diff)
            return 8 + std::countr_zero(diff) / 8;
        int m = 16;
        while (m < MaxMatch && src[x + m] == src[p + m])
            ++m;
        return m;
    }
    int m = 0;
    while (m < limit && src[x + m] == src[p + m])
        ++m;
    return m;
}

// Appends len (3 to 18) bytes, each a copy of the byte offset positions back; the source may
// overlap the bytes being made. room is the space left in the chunk buffer (>= len).
inline void copyMatch(quint8 *out, const quint8 *from, unsigned offset, int len, qptrdiff room)
{
    if (room < 24) { // near the end of the buffer: exactly len bytes, one at a time
        for (int i = 0; i < len; ++i)
            out[i] = from[i];
        return;
    }
    // From here on 24 bytes are written whatever len is (fixed-size steps beat a branch on
    // the length); the tail beyond len is overwritten later or lies past the chunk's end. An
    // 8-byte step from at least 8 back reads only bytes already made.
    if (offset < 8) {
        for (int i = 0; i < 8; ++i)
            out[i] = from[i];
        // Continue from a whole number of periods back, at least 8: the same pattern.
        static constexpr quint8 period[8] = {0, 8, 8, 9, 8, 10, 12, 14};
        from = out + 8 - period[offset];
        out += 8;
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
        return;
    }
    std::memcpy(out, from, 8);
    std::memcpy(out + 8, from + 8, 8);
    std::memcpy(out + 16, from + 16, 8);
}

// Room at the start of a group that lets the rest of it run without per-item checks: its items
// take at most 16 * 4 input bytes, the literal copy reads up to 16 beyond an item's start, and
// without runs they make at most 16 * 18 bytes, the copies writing up to 24 beyond.
constexpr qptrdiff FastIn = GroupItems * 4 + 16;
constexpr qptrdiff FastOut = GroupItems * MaxMatch + 32;

// Decodes the remaining items of a group that started with FastIn and FastOut of room. Stops
// early, leaving the state at the item, before a run that would leave less than FastOut (the
// checked path then takes it). Returns false for a back-reference before the chunk's start.
inline bool decodeGroupFast(const quint8 *&in, quint8 *&out, quint32 &control, int &bits,
                            const quint8 *dst, const quint8 *outEnd)
{
    while (bits > 0) {
        // The literals before the next copy item, often none: copying 16 bytes regardless is
        // cheaper than a branch that guesses wrong half the time on text.
        const int count = std::min(bits, std::countl_zero(control));
        std::memcpy(out, in, 16);
        in += count;
        out += count;
        control <<= count;
        bits -= count;
        if (bits == 0)
            break;
        const unsigned offset = unsigned(in[0]) << 4 | unsigned(in[1]) >> 4;
        if (offset == 0) {
            const int count = (int(in[1]) << 8 | int(in[2])) + MinRun;
            if (outEnd - out - count < FastOut)
                return true;
            std::memset(out, in[3], size_t(count));
            in += 4;
            out += count;
        } else {
            if (offset > unsigned(out - dst))
                return false;
            copyMatch(out, out - offset, offset, (in[1] & 0x0F) + MinMatch, outEnd - out);
            out += (in[1] & 0x0F) + MinMatch;
            in += 2;
        }
        control <<= 1;
        --bits;
    }
    return true;
}

} // namespace

int TLZR::compress(const quint8 *src, int n, quint8 *dst)
{
    Q_ASSERT(n >= 0 && n <= ChunkSize);
    // Empty entries hold a position so far back that no offset can reach it, which spares the
    // emptiness test: x - Empty > MaxOffset for every x.
    constexpr qint16 Empty = std::numeric_limits<qint16>::min();
    m_hash.fill(Empty);
    qint16 *const hash = m_hash.data();

    dst[0] = FlagCompressed;
    int x = 0; // next input byte
    int y = 3; // next output byte
    int z = 1; // where the current group's control word goes
    // The current group's control bits behind a marker bit: the marker reaches bit 16 when the
    // group holds 16 items.
    unsigned control = 1;
    // Stop as soon as the block has outgrown the chunk; the chunk is then stored. An item adds
    // at most 4 bytes and a new group 2, so y stays below n + 7 <= BufferSize.
    while (x < n && y <= n) {
        if (control >= 1u << GroupItems) {
            dst[z] = quint8(control >> 8);
            dst[z + 1] = quint8(control);
            z = y;
            y += 2;
            control = 1;
        }
        if (x + 1 < n && src[x + 1] == src[x]) {
            const int run = runLength(src, x, n);
            if (run >= MinRun) {
                dst[y] = 0;
                dst[y + 1] = quint8((run - MinRun) >> 8);
                dst[y + 2] = quint8(run - MinRun);
                dst[y + 3] = src[x];
                y += 4;
                x += run;
                control = control << 1 | 1;
                continue;
            }
        }
        // A match needs three bytes; in the last two positions the table no longer matters,
        // because no later position can match either, so they are not hashed (nor read past n).
        if (x + MinMatch <= n) {
            const unsigned h = hashAt(src + x);
            const int p = hash[h];
            hash[h] = qint16(x);
            if (x - p <= MaxOffset) {
                const int m = matchLength(src, x, p, n);
                if (m >= MinMatch) {
                    const unsigned key = unsigned(x - p) << 4 | unsigned(m - MinMatch);
                    dst[y] = quint8(key >> 8);
                    dst[y + 1] = quint8(key);
                    y += 2;
                    x += m;
                    control = control << 1 | 1;
                    continue;
                }
            }
        }
        dst[y++] = src[x++];
        control <<= 1;
    }
    const int items = std::bit_width(control) - 1;
    control = (control ^ 1u << items) << (GroupItems - items);
    dst[z] = quint8(control >> 8);
    dst[z + 1] = quint8(control);

    if (y <= n)
        return y;
    dst[0] = FlagStored;
    if (n > 0)
        std::memcpy(dst + 1, src, size_t(n));
    return n + 1;
}

int TLZR::decompress(const quint8 *src, int length, quint8 *dst)
{
    if (length <= 1)
        return 0;
    if (src[0] == FlagStored) {
        const int n = length - 1;
        if (n > ChunkSize)
            return Corrupt;
        std::memcpy(dst, src + 1, size_t(n));
        return n;
    }
    if (length < 3)
        return Corrupt; // the first control word is cut

    const quint8 *in = src + 3;
    const quint8 *const inEnd = src + length;
    quint8 *out = dst;
    quint8 *const outEnd = dst + ChunkSize;
    // The control bits still to use sit at the top of a 32-bit word, so the next item's bit is
    // the top bit and the shifts bring in zeros: bits below the remaining ones are always 0.
    quint32 control = quint32(src[1]) << 24 | quint32(src[2]) << 16;
    int bits = 16;
    if (inEnd - in >= FastIn && outEnd - out >= FastOut
        && !decodeGroupFast(in, out, control, bits, dst, outEnd))
        return Corrupt;

    // Outside the fast groups every item checks its own input and output room before it
    // touches a byte; the wide copies run only where their whole width has been checked.
    while (in < inEnd) {
        if (bits == 0) {
            if (inEnd - in < 3)
                return Corrupt; // a control word cut, or one with no item after it
            control = quint32(in[0]) << 24 | quint32(in[1]) << 16;
            in += 2;
            bits = 16;
            if (inEnd - in >= FastIn && outEnd - out >= FastOut) {
                if (!decodeGroupFast(in, out, control, bits, dst, outEnd))
                    return Corrupt;
                continue;
            }
        }
        if (!(control & 0x80000000u)) {
            // The literals up to the next copy item, the end of the group or the end of the
            // block (the last group's unused bits are 0 too), all in one go.
            const int count =
                int(std::min<qptrdiff>(std::min(bits, std::countl_zero(control)), inEnd - in));
            if (outEnd - out < count)
                return Corrupt;
            if (inEnd - in >= 16 && outEnd - out >= 16)
                std::memcpy(out, in, 16);
            else
                std::memcpy(out, in, size_t(count));
            in += count;
            out += count;
            control <<= count;
            bits -= count;
            if (bits == 0 || in == inEnd)
                continue;
        }

        // The top bit is 1: a copy item.
        if (inEnd - in < 2)
            return Corrupt;
        const unsigned offset = unsigned(in[0]) << 4 | unsigned(in[1]) >> 4;
        if (offset == 0) {
            if (inEnd - in < 4)
                return Corrupt;
            const int count = (int(in[1]) << 8 | int(in[2])) + MinRun;
            if (outEnd - out < count)
                return Corrupt;
            std::memset(out, in[3], size_t(count));
            in += 4;
            out += count;
        } else {
            const int len = (in[1] & 0x0F) + MinMatch;
            if (offset > unsigned(out - dst) || outEnd - out < len)
                return Corrupt;
            copyMatch(out, out - offset, offset, len, outEnd - out);
            in += 2;
            out += len;
        }
        control <<= 1;
        --bits;
    }
    return int(out - dst);
}
