// The bit reader under the Huffman stage of the art decoder.
//
// The compressed data is read least-significant bit first, in 32-bit
// little-endian words (which gives the same order as taking each byte's lowest
// bit first). A read fails at the end of the data; the caller stops there. Word
// loads may touch up to 3 bytes past the data's end, so the data must be
// followed by at least 3 readable bytes (the art handle keeps 108 spare bytes).
#pragma once

#include <stddef.h>
#include <stdint.h>

struct BitReader {
    const uint8_t *data;
    size_t size;    // bytes of data
    size_t pos;     // bytes consumed from the start of the data
    uint32_t word;  // the bits not yet taken, lowest first
    int bits;       // bits left in word, 0-32
};

inline void BitReaderStart(BitReader *r, const uint8_t *data, size_t size)
{
    r->data = data;
    r->size = size;
    r->pos = 0;
    r->word = 0;
    r->bits = 0;
}

// Loads the next 4 bytes as a little-endian word; false at the end of the data.
inline bool BitReaderRefill(BitReader *r)
{
    if (r->pos >= r->size)
        return false;
    const uint8_t *p = r->data + r->pos;
    r->word = (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
    r->bits = 32;
    r->pos += 4;
    return true;
}

// One bit, 0 or 1; -1 at the end of the data.
inline int ReadBit(BitReader *r)
{
    if (r->bits == 0 && !BitReaderRefill(r))
        return -1;
    int bit = r->word & 1;
    r->word >>= 1;
    r->bits--;
    return bit;
}

// A field of n bits (1-9), lowest bit first; -1 when it fails. A field taken
// whole from the current word that empties it refills at once, and fails when
// that refill finds the end of the data, although its own bits were there.
inline int ReadField(BitReader *r, int n)
{
    if (n <= r->bits) {
        int value = (int)(r->word & ((1u << n) - 1));
        r->word >>= n;
        r->bits -= n;
        if (r->bits == 0 && !BitReaderRefill(r))
            return -1;
        return value;
    }
    int value = 0;
    for (int i = 0; i < n; i++) {
        int bit = ReadBit(r);
        if (bit < 0)
            return -1;
        value |= bit << i;
    }
    return value;
}

// One bit for the walk through the code tree (codes longer than 8 bits): an
// empty word is refilled with one byte, not four.
inline int ReadTreeBit(BitReader *r)
{
    if (r->bits == 0) {
        if (r->pos >= r->size)
            return -1;
        r->word = r->data[r->pos];
        r->bits = 8;
        r->pos += 1;
    }
    int bit = r->word & 1;
    r->word >>= 1;
    r->bits--;
    return bit;
}
