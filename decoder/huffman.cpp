#include "decoder/huffman.h"

#include <assert.h>

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

HuffmanResult DecodeHuffman(uint8_t *out, size_t capacity, const uint8_t *data, size_t size)
{
    BitReader r;
    BitReaderStart(&r, data, size);
    int nodeCount = 0;
    HuffmanResult result = ReadCodeTree(&r, &nodeCount);
    if (result.fault != kHuffmanOk)
        return result;
    BuildCodeTable(nodeCount);

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
    size_t written = 0;
    int w = field(kCodeWindowBits);
    while (w >= 0) {
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
