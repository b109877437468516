// Plane bytes to control bytes, and control bytes to the Huffman-coded data:
// the inverses of TakeRuns and DecodeHuffman.
#include "tools/art/encode_stages.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <queue>
#include <utility>

namespace {

constexpr size_t kLongRun = 8192;  // zero bytes one control byte may write
constexpr size_t kShortRun = 32;   // zero or 255 bytes a one-byte control may write

struct TreeNode {
    int one, zero;  // a byte, or 256 + node
};

// Bits appended lowest first, bytes in order: the order the decoder reads.
struct BitWriter {
    std::vector<uint8_t> bytes;
    uint64_t pending = 0;
    int count = 0;  // bits in pending, below 32 between calls

    // value's low bits (at most 32 of them), lowest first.
    void Put(uint32_t value, int bits)
    {
        pending |= (uint64_t)(bits < 32 ? value & ((1u << bits) - 1) : value) << count;
        count += bits;
        while (count >= 8) {
            bytes.push_back((uint8_t)pending);
            pending >>= 8;
            count -= 8;
        }
    }
};

}  // namespace

// The Huffman tree of the counts. Merging the two rarest entries until one
// is left numbers every node after its children, so the root comes last, as
// the decoder wants. A single byte gets a node with itself on both sides.
static std::vector<TreeNode> BuildTree(const size_t counts[256])
{
    using Entry = std::pair<size_t, int>;  // (count, byte or 256 + node)
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> queue;
    for (int s = 0; s < 256; s++)
        if (counts[s])
            queue.push({counts[s], s});
    std::vector<TreeNode> nodes;
    if (queue.size() <= 1) {
        int only = queue.empty() ? 0 : queue.top().second;
        nodes.push_back({only, only});
        return nodes;
    }
    while (queue.size() > 1) {
        Entry a = queue.top();
        queue.pop();
        Entry b = queue.top();
        queue.pop();
        nodes.push_back({a.second, b.second});
        queue.push({a.first + b.first, 256 + (int)nodes.size() - 1});
    }
    return nodes;
}

// Codes of every leaf below child, as bit lists in reading order.
static void CollectCodes(const std::vector<TreeNode> &nodes, int child, std::vector<uint8_t> *path,
                         std::vector<std::vector<uint8_t>> *codes)
{
    if (child < 256) {
        if ((*codes)[child].empty())
            (*codes)[child] = *path;
        return;
    }
    const TreeNode &n = nodes[child - 256];
    path->push_back(1);
    CollectCodes(nodes, n.one, path, codes);
    path->back() = 0;
    CollectCodes(nodes, n.zero, path, codes);
    path->pop_back();
}

static std::vector<std::vector<uint8_t>> CodesOf(const std::vector<uint8_t> &controls,
                                                 std::vector<TreeNode> *tree)
{
    size_t counts[256] = {};
    for (uint8_t c : controls)
        counts[c]++;
    *tree = BuildTree(counts);
    std::vector<std::vector<uint8_t>> codes(256);
    std::vector<uint8_t> path;
    CollectCodes(*tree, 256 + (int)tree->size() - 1, &path, &codes);
    return codes;
}

static double LongRunBits(const RunCosts &c, size_t n)
{
    return c.symbol[0x40 | (n - 1) >> 8] + c.symbol[(n - 1) & 255];
}

void MakeRunCosts(const std::vector<uint8_t> &controls, RunCosts *costs)
{
    size_t counts[256] = {};
    for (uint8_t c : controls)
        counts[c]++;
    MakeRunCostsOfCounts(counts, costs);
}

void MakeRunCostsOfCounts(const size_t counts[256], RunCosts *costs)
{
    bool none = std::all_of(counts, counts + 256, [](size_t n) { return n == 0; });
    if (none) {
        // A first guess: short runs and single bytes cheap, the rest dear.
        for (int s = 0; s < 256; s++)
            costs->symbol[s] = s < 0x20 || (s & 0xE0) == 0x80 ? 5 : (s & 0xC0) == 0 || s >= 0x60 ? 6 : 9;
    } else {
        std::vector<TreeNode> tree = BuildTree(counts);
        std::vector<std::vector<uint8_t>> codes(256);
        std::vector<uint8_t> path;
        CollectCodes(tree, 256 + (int)tree.size() - 1, &path, &codes);
        // A byte the stream lacks would cost a little more than its rarest one.
        size_t longest = 0;
        for (const auto &code : codes)
            longest = std::max(longest, code.size());
        for (int s = 0; s < 256; s++)
            costs->symbol[s] = codes[s].empty() ? longest + 2.0 : (double)codes[s].size();
    }
    CompleteRunCosts(costs);
}

void CompleteRunCosts(RunCosts *costs)
{
    // The cheapest parse of every zero run up to one long control's length:
    // short runs (1-32) and at most one long run (33 on), which leaves at
    // most 32 bytes to short runs after it.
    costs->zero.assign(kLongRun + 1, 0);
    costs->zeroHead.assign(kLongRun + 1, 0);
    for (size_t n = 1; n <= kLongRun; n++) {
        double best = INFINITY;
        size_t head = 0;
        for (size_t s = 1; s <= std::min(n, kShortRun); s++) {
            double b = costs->symbol[s - 1] + costs->zero[n - s];
            if (b < best)
                best = b, head = s;
        }
        for (size_t rest = 0; rest <= kShortRun && n >= kShortRun + 1 + rest; rest++) {
            double b = LongRunBits(*costs, n - rest) + costs->zero[rest];
            if (b < best)
                best = b, head = n - rest;
        }
        costs->zero[n] = best;
        costs->zeroHead[n] = (uint16_t)head;
    }
    costs->zeroFloor = costs->zero;
    for (size_t n = kLongRun; n-- > 0;)
        costs->zeroFloor[n] = std::min(costs->zeroFloor[n], costs->zeroFloor[n + 1]);
    costs->ffFloor[0] = 0;
    costs->ffFloor[kShortRun] = costs->symbol[0x80 | (kShortRun - 1)];
    for (size_t n = kShortRun - 1; n >= 1; n--)
        costs->ffFloor[n] = std::min(costs->symbol[0x80 | (n - 1)], costs->ffFloor[n + 1]);
}

double ZeroFloorBits(const RunCosts &costs, size_t n)
{
    size_t whole = n / kLongRun, rest = n % kLongRun;
    return whole * costs.zeroFloor[kLongRun] + costs.zeroFloor[rest];
}

double FfFloorBits(const RunCosts &costs, size_t n)
{
    size_t whole = n / kShortRun, rest = n % kShortRun;
    return whole * costs.ffFloor[kShortRun] + costs.ffFloor[rest];
}

double ZeroRunBits(const RunCosts &costs, size_t n)
{
    size_t whole = n / kLongRun, rest = n % kLongRun;
    return whole * LongRunBits(costs, kLongRun) + costs.zero[rest];
}

double FfRunBits(const RunCosts &costs, size_t n)
{
    size_t whole = n / kShortRun, rest = n % kShortRun;
    return whole * costs.symbol[0x80 | (kShortRun - 1)] + (rest ? costs.symbol[0x80 | (rest - 1)] : 0);
}

static void PutRun(std::vector<uint8_t> &out, size_t run)
{
    if (run <= kShortRun) {
        out.push_back((uint8_t)(run - 1));
    } else {
        out.push_back((uint8_t)(0x40 | (run - 1) >> 8));
        out.push_back((uint8_t)((run - 1) & 255));
    }
}

static bool SingleControl(uint8_t x) { return (x & 15) == 0 || (x & 15) == 15; }

void AppendRuns(const uint8_t *bytes, size_t n, const RunCosts *costs, std::vector<uint8_t> *controls)
{
    std::vector<uint8_t> &out = *controls;
    size_t i = 0;
    while (i < n) {
        uint8_t b = bytes[i];
        size_t run = 1;
        if (b == 0 || b == 255) {
            // Eight bytes at a time through the long runs of zero coefficients.
            uint64_t same = b ? ~0ull : 0;
            uint64_t word;
            while (i + run + 8 <= n && (memcpy(&word, bytes + i + run, 8), word == same))
                run += 8;
            while (i + run < n && bytes[i + run] == b)
                run++;
        }
        if (b == 0) {
            i += run;
            for (; run > kLongRun; run -= kLongRun)
                PutRun(out, kLongRun);
            while (run > 0) {
                size_t head = costs ? costs->zeroHead[run] : std::min(run, kLongRun);
                PutRun(out, head);
                run -= head;
            }
        } else if (b == 255) {
            i += run;
            for (; run > 0; run -= std::min(run, kShortRun))
                out.push_back((uint8_t)(0x80 | (std::min(run, kShortRun) - 1)));
        } else if (SingleControl(b)) {
            out.push_back((uint8_t)((b & 15) == 0 ? 0x20 | b >> 4 : 0x60 | b >> 4));
            i++;
        } else {
            // A literal run: bytes that no single control byte writes, up to 32.
            size_t start = i;
            while (i < n && i - start < kShortRun && !SingleControl(bytes[i]))
                i++;
            out.push_back((uint8_t)(0xC0 | (i - start - 1)));
            out.insert(out.end(), bytes + start, bytes + i);
        }
    }
}

size_t HuffmanPackedSizeOfCounts(const size_t counts[256])
{
    std::vector<TreeNode> nodes = BuildTree(counts);
    std::vector<std::vector<uint8_t>> codes(256);
    std::vector<uint8_t> path;
    CollectCodes(nodes, 256 + (int)nodes.size() - 1, &path, &codes);
    size_t bits = 8 + 18 * nodes.size();
    for (int s = 0; s < 256; s++)
        bits += counts[s] * codes[s].size();
    // Whole words, then the word of padding (as HuffmanPack).
    return (bits + 31) / 32 * 4 + 4;
}

size_t HuffmanPackedSize(const std::vector<uint8_t> &controls)
{
    size_t counts[256] = {};
    for (uint8_t c : controls)
        counts[c]++;
    return HuffmanPackedSizeOfCounts(counts);
}

std::vector<uint8_t> HuffmanPack(const std::vector<uint8_t> &controls)
{
    std::vector<TreeNode> nodes;
    std::vector<std::vector<uint8_t>> codes = CodesOf(controls, &nodes);
    BitWriter w;
    w.Put((uint32_t)nodes.size(), 8);
    for (const TreeNode &n : nodes) {
        w.Put((uint32_t)n.one, 9);
        w.Put((uint32_t)n.zero, 9);
    }
    // Each code as one value of its bits, the first bit lowest; the tree is
    // at most 255 nodes deep, so a long code goes in pieces of 32 bits.
    std::vector<std::vector<uint32_t>> words(256);
    for (int s = 0; s < 256; s++)
        for (size_t i = 0; i < codes[s].size(); i++) {
            if (i % 32 == 0)
                words[s].push_back(0);
            words[s].back() |= (uint32_t)codes[s][i] << (i % 32);
        }
    w.bytes.reserve(controls.size() / 2);
    for (uint8_t c : controls) {
        size_t length = codes[c].size();
        if (length <= 32) {
            w.Put(words[c][0], (int)length);
            continue;
        }
        for (size_t i = 0; i < length; i += 32)
            w.Put(words[c][i / 32], (int)std::min<size_t>(32, length - i));
    }
    // The decoder keeps 8 bits ahead and reads words: zero bits to the end of
    // the word and one word more let it reach every code. The codes these
    // bits spell decode past the stream's real end and are never expanded.
    while (w.count != 0 || w.bytes.size() % 4 != 0)
        w.Put(0, 1);
    w.Put(0, 32);
    return w.bytes;
}
