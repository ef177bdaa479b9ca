#include "words/tlzr.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>

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
    if (limit < 2 || src[x + 1] != c)
        return 1;
    int r = 2;
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

} // namespace

int TLZR::compress(const quint8 *src, int n, quint8 *dst)
{
    Q_ASSERT(n >= 0 && n <= ChunkSize);
    m_hash.fill(-1);
    qint16 *const hash = m_hash.data();

    dst[0] = FlagCompressed;
    int x = 0;      // next input byte
    int y = 3;      // next output byte
    int z = 1;      // where the current group's control word goes
    int items = 0;  // items in the current group
    unsigned control = 0;
    // Stop as soon as the block has outgrown the chunk; the chunk is then stored. An item adds
    // at most 4 bytes and a new group 2, so y stays below n + 7 <= BufferSize.
    while (x < n && y <= n) {
        if (items == GroupItems) {
            dst[z] = quint8(control >> 8);
            dst[z + 1] = quint8(control);
            z = y;
            y += 2;
            items = 0;
            control = 0;
        }
        ++items;
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
        // A match needs three bytes; in the last two positions the table no longer matters,
        // because no later position can match either, so they are not hashed (nor read past n).
        if (x + MinMatch <= n) {
            const unsigned h = hashAt(src + x);
            const int p = hash[h];
            hash[h] = qint16(x);
            if (p >= 0 && x - p <= MaxOffset) {
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
    control <<= GroupItems - items;
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

    // Every item checks its own input and output room before it touches a byte; the wide
    // copies below run only where the room for the whole 16 or 32 bytes has been checked.
    while (in < inEnd) {
        if (bits == 0) {
            if (inEnd - in < 3)
                return Corrupt; // a control word cut, or one with no item after it
            control = quint32(in[0]) << 24 | quint32(in[1]) << 16;
            in += 2;
            bits = 16;
        }
        if (!(control & 0x80000000u)) {
            // All literals up to the next copy item (or the end of the group) in one go. The
            // last group's unused bits are 0 too, so the block end may come first.
            int count = control ? std::min(bits, std::countl_zero(control)) : bits;
            count = int(std::min<qptrdiff>(count, inEnd - in));
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
            continue;
        }
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
            const quint8 *from = out - offset;
            if (offset >= 16 && outEnd - out >= 32) {
                // Two 16-byte steps never overlap their own source when offset >= 16.
                std::memcpy(out, from, 16);
                std::memcpy(out + 16, from + 16, 16);
            } else if (offset >= unsigned(len)) {
                std::memcpy(out, from, size_t(len));
            } else {
                for (int i = 0; i < len; ++i) // overlapping: each byte may be one just made
                    out[i] = from[i];
            }
            in += 2;
            out += len;
        }
        control <<= 1;
        --bits;
    }
    return int(out - dst);
}
