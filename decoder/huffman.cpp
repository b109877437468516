#include "decoder/huffman.h"

#include <assert.h>
#include <string.h>

#include <initializer_list>

CodeNode CodeTree[kCodeTreeNodes];
CodeEntry CodeTable[1 << kCodeWindowBits];

// Depth first from node, bit 1 before bit 0; code holds the depth bits of the
// path so far, the first bit lowest.
static void WalkCodeTree(int node, int depth, int code)
{
    for (int bit = 1; bit >= 0; bit--) {
        int child = bit ? CodeTree[node].one : CodeTree[node].zero;
        int path = code | bit << depth;
        int length = depth + 1;
        if (child < 256) {
            for (int high = 0; high < 1 << (kCodeWindowBits - length); high++)
                CodeTable[high << length | path] = CodeEntry{child, length, -1};
        } else if (length == kCodeWindowBits) {
            CodeTable[path] = CodeEntry{-1, kCodeWindowBits, child - 256};
        } else {
            WalkCodeTree(child - 256, length, path);
        }
    }
}

void BuildCodeTable(int nodeCount)
{
    for (CodeEntry &e : CodeTable)
        e = CodeEntry{-1, 0, -1};
    WalkCodeTree(nodeCount - 1, 0, 0);
}

// Reads and checks the tree; kHuffmanOk and the node count in *count, or the fault.
static HuffmanResult ReadCodeTree(BitReader *r, int *count)
{
    HuffmanResult result{0, kHuffmanOk, -1, -1};
    int n = ReadField(r, 8);
    if (n < 0) {
        result.fault = kHuffmanNoData;
        return result;
    }
    if (n == 0) {
        result.fault = kHuffmanEmptyTree;
        return result;
    }
    for (int i = 0; i < n; i++) {
        CodeTree[i].one = ReadField(r, 9);
        CodeTree[i].zero = ReadField(r, 9);
        if (CodeTree[i].one < 0 || CodeTree[i].zero < 0) {
            result.fault = kHuffmanTreeCut;
            return result;
        }
    }
    for (int i = 0; i < n; i++)
        for (int child : {CodeTree[i].one, CodeTree[i].zero})
            if (child >= 256 + n) {
                result.fault = kHuffmanBadNode;
                result.node = i;
                result.child = child - 256;
                return result;
            }
    *count = n;
    return result;
}

// Two codes at a time: for each 12-bit window of the data (lowest bit first),
// the first code's byte, the second's where it is no longer than 8 bits and
// ends inside the window, in bits 0-15; the bits the codes take in bits
// 16-19; how many codes in bits 20-21, none where the first code is longer
// than 8 bits.
constexpr int kPairBits = 12;
static void BuildPairTable(uint32_t *pairs)
{
    for (int w = 0; w < 1 << kPairBits; w++) {
        const CodeEntry &a = CodeTable[w & 0xFF];
        uint32_t entry = 0;
        if (a.byte >= 0) {
            entry = (uint32_t)a.byte | (uint32_t)a.length << 16 | 1u << 20;
            // The second window lacks its top bits past the 12th; a code that
            // ends before them is the same code whatever they are.
            const CodeEntry &b = CodeTable[(w >> a.length) & 0xFF];
            if (b.byte >= 0 && a.length + b.length <= kPairBits)
                entry = (uint32_t)a.byte | (uint32_t)b.byte << 8 | (uint32_t)(a.length + b.length) << 16 | 2u << 20;
        }
        pairs[w] = entry;
    }
}

// Bytes p ... p + n - 1 of the data as a little-endian number.
static inline uint64_t LoadLittle64(const uint8_t *p)
{
    uint64_t v;
    memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}
static inline uint32_t LoadLittle32(const uint8_t *p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

HuffmanResult DecodeHuffman(uint8_t *out, size_t capacity, const uint8_t *data, size_t size)
{
    BitReader r;
    BitReaderStart(&r, data, size);
    int nodeCount = 0;
    HuffmanResult result = ReadCodeTree(&r, &nodeCount);
    if (result.fault != kHuffmanOk)
        return result;
    BuildCodeTable(nodeCount);
    uint32_t pairs[1 << kPairBits];
    BuildPairTable(pairs);

    // The loop keeps the reader in locals and writes through a pointer that
    // cannot alias them, so that they stay in registers; it reads bits exactly
    // as ReadField and ReadTreeBit do.
    const uint8_t *in = data;
    uint8_t *__restrict o = out;
    uint32_t word = r.word;
    int bits = r.bits;
    size_t pos = r.pos;
    auto refill = [&]() {
        if (pos >= size)
            return false;
        word = (uint32_t)in[pos] | (uint32_t)in[pos + 1] << 8 | (uint32_t)in[pos + 2] << 16 |
               (uint32_t)in[pos + 3] << 24;
        bits = 32;
        pos += 4;
        return true;
    };
    auto field = [&](int n) {
        if (n <= bits) {
            int value = (int)(word & ((1u << n) - 1));
            word >>= n;
            bits -= n;
            if (bits == 0 && !refill())
                return -1;
            return value;
        }
        int value = 0;
        for (int i = 0; i < n; i++) {
            if (bits == 0 && !refill())
                return -1;
            value |= (int)(word & 1) << i;
            word >>= 1;
            bits--;
        }
        return value;
    };

    // The window w holds the next 8 bits of the data, lowest first; after a
    // code of L bits it takes L new bits at its top.
    // Bits of the data are numbered from the first byte's lowest; the next
    // bit the reader gives is p = 8 pos - bits, and the window holds bits
    // p - 8 ... p - 1. The reader refills at pos, pos + 4, ... and the first
    // of those at or past the data's end fails, ending the decoding when a
    // field reaches it. Far from that refill and from the output's end, the
    // codes are taken straight from the data, two to a look-up, and the
    // reader is then set to where the exact steps below would have left it:
    // every refill between was one that succeeds.
    size_t written = 0;
    int w = -1;
    auto fast = [&]() {
        const size_t start = pos, stopBits = (pos >= size ? pos : pos + (size - pos + 3) / 4 * 4) * 8;
        size_t q = pos * 8 - (size_t)bits - kCodeWindowBits;  // the window's first bit
        bool more = true;
        // A round reads 8 bytes from bit q's byte (at most 2 past the data's
        // end), takes at most 4 x 12 bits and writes at most 8 bytes.
        while (more && q + 56 < stopBits && (q >> 3) + 5 <= size && capacity - written >= 8) {
            uint64_t v = LoadLittle64(in + (q >> 3)) >> (q & 7);
            unsigned used = 0;
            for (int k = 0; k < 4; k++) {
                uint32_t e = pairs[(v >> used) & ((1u << kPairBits) - 1)];
                if (e >> 20 == 0) {  // a code longer than the window: the exact steps take it
                    more = false;
                    break;
                }
                o[written] = (uint8_t)e;
                o[written + 1] = (uint8_t)(e >> 8);
                written += e >> 20;
                used += (e >> 16) & 15;
            }
            q += used;
        }
        size_t p = q + kCodeWindowBits;
        if (p == start * 8 - (size_t)bits)
            return;
        // The refill boundary just past bit p - 1: bits = 8 pos - p, 1-32.
        pos = start + (p + 32 - start * 8) / 32 * 4;
        bits = (int)(pos * 8 - p);
        word = LoadLittle32(in + pos - 4) >> (32 - bits);
        w = (int)(((uint32_t)in[q >> 3] | (uint32_t)in[(q >> 3) + 1] << 8) >> (q & 7)) & 0xFF;
    };

    w = field(kCodeWindowBits);
    while (w >= 0) {
        fast();
        const CodeEntry e = CodeTable[w];
        assert(e.byte >= 0 || e.node >= 0);
        if (e.byte >= 0) {
            if (written == capacity) {
                result.fault = kHuffmanTooLong;
                break;
            }
            o[written++] = (uint8_t)e.byte;
            int more = field(e.length);
            if (more < 0)
                break;
            w = w >> e.length | more << (kCodeWindowBits - e.length);
        } else {
            // A code longer than the window: one tree step per further bit,
            // an empty word refilled with one byte.
            int node = e.node, child = -1;
            for (;;) {
                if (bits == 0) {
                    if (pos >= size)
                        break;
                    word = in[pos++];
                    bits = 8;
                }
                int bit = word & 1;
                word >>= 1;
                bits--;
                child = bit ? CodeTree[node].one : CodeTree[node].zero;
                if (child < 256)
                    break;
                node = child - 256;
                child = -1;
            }
            if (child >= 0) {
                if (written == capacity) {
                    result.fault = kHuffmanTooLong;
                    break;
                }
                o[written++] = (uint8_t)child;
            }
            w = field(kCodeWindowBits);
        }
    }
    result.written = written;
    return result;
}
