// The Huffman stage of the art decoder: the code tree stored at the start of
// an art file's compressed data, the 8-bit lookup table built from it, and the
// decoding of the whole data into the byte stream of control bytes.
//
// Tree format, read with the bit reader: an 8-bit node count N (1-255), then
// for each node 0 ... N - 1 two 9-bit fields, the child for bit 1 and the
// child for bit 0. A field below 256 is a leaf, the byte it stands for; 256 or
// more refers to node (value - 256). The root is node N - 1. Codes are read
// from the root, one bit at a time, the first bit lowest.
#pragma once

#include "decoder/bitreader.h"

#include <stddef.h>
#include <stdint.h>

constexpr int kCodeTreeNodes = 255;  // the node count is an 8-bit field
constexpr int kCodeWindowBits = 8;   // codes up to this long take one lookup

struct CodeNode {
    int one;   // child for bit 1: a byte (0-255) or 256 + node
    int zero;  // child for bit 0
};

// One entry per 8-bit window of the data, the window's lowest bit first.
struct CodeEntry {
    int byte;    // the decoded byte, or -1 for a longer code (or no code)
    int length;  // bits of the window the code takes, 1-8; 0 when no code
    int node;    // for a code longer than 8 bits the node to walk on from, else -1
};

// The tree and the table of the art being decoded: written by DecodeHuffman
// (or a test), read by the decoding that follows, on the wallpaper job's thread.
extern CodeNode CodeTree[kCodeTreeNodes];
extern CodeEntry CodeTable[1 << kCodeWindowBits];

// Fills CodeTable from the first nodeCount nodes of CodeTree (1-255, children
// already checked to be leaves or nodes below nodeCount): every window whose
// low L bits are a code of L <= 8 bits maps to its byte; a window that is the
// first 8 bits of a longer code maps to the node reached. Every node has two
// children, so every window gets an entry.
void BuildCodeTable(int nodeCount);

enum HuffmanFault {
    kHuffmanOk,
    kHuffmanNoData,        // not even a node count
    kHuffmanEmptyTree,     // a node count of 0
    kHuffmanTreeCut,       // the data ends inside the tree
    kHuffmanBadNode,       // a child refers to a node past the count
    kHuffmanTooLong,       // the decoded stream does not fit its buffer
};

struct HuffmanResult {
    size_t written;      // bytes written to the output
    HuffmanFault fault;  // kHuffmanOk when the data was decoded to its end
    int node, child;     // for kHuffmanBadNode: the node and the child it names
};

// Decodes data (size bytes, followed by at least 3 readable bytes) into out,
// which has room for capacity bytes: reads the tree, builds the table and
// decodes until the data is exhausted. Never reads or writes outside the two
// buffers; stops at the first fault.
HuffmanResult DecodeHuffman(uint8_t *out, size_t capacity, const uint8_t *data, size_t size);
