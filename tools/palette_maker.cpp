// An octree colour quantizer. Pixels go down an eight-level tree by their bits
// (level d takes bit 7 - d of each component); each node counts the pixels
// that passed through it and sums their components. While the tree has too
// many leaves, the deepest inner nodes whose children are all leaves are
// merged into leaves, those with the fewest pixels first. A leaf's colour is
// the mean of its pixels, which lies in the leaf's cell.
//
// The row reduction writes pure black and pure white as they are, and the
// bitmap writer then looks them up in the palette; so in palettes of
// kPinnedColors or more they get cells of their own: the paths down to them
// are pinned (never merged), and each ends in a one-colour leaf at the eighth
// level. Every pinned level may keep up to seven more leaves beside the path,
// too many for smaller palettes, which get them as extra entries instead.
#include "tools/palette_maker.h"

#include <stdio.h>

#include <algorithm>

namespace {

struct OctreeNode {
    int children[8];  // node numbers; -1 where absent
    int depth;        // the root is 0
    bool used;        // false for a freed slot
    bool leaf;
    bool pinned;      // on the path to pure black or white: never merged
    uint64_t count;
    uint64_t sum[3];  // red, green, blue
};

// Leaves kept while pixels are still coming, before the final reduction.
constexpr int kWorkingLeaves = 4096;
constexpr int kPinnedColors = 64;

struct Octree {
    std::vector<OctreeNode> nodes;
    std::vector<int> unused;  // freed node numbers
    int leaves = 0;

    int NewNode(int depth)
    {
        OctreeNode node = {};
        std::fill(node.children, node.children + 8, -1);
        node.depth = depth;
        node.used = true;
        node.leaf = depth == 8;
        if (node.leaf)
            leaves++;
        if (!unused.empty()) {
            int at = unused.back();
            unused.pop_back();
            nodes[at] = node;
            return at;
        }
        nodes.push_back(node);
        return (int)nodes.size() - 1;
    }

    static int ChildIndex(const uint8_t *rgb, int depth)
    {
        int shift = 7 - depth;
        return 4 * ((rgb[2] >> shift) & 1) + 2 * ((rgb[1] >> shift) & 1) + ((rgb[0] >> shift) & 1);
    }

    // Walks rgb's path as far as it goes (to a leaf), making missing nodes;
    // counts the pixel on every node when count is set, pins them when pin is.
    void Walk(const uint8_t *rgb, bool count, bool pin)
    {
        int at = 0;
        for (;;) {
            OctreeNode &node = nodes[at];
            if (count) {
                node.count++;
                for (int c = 0; c < 3; c++)
                    node.sum[c] += rgb[c];
            }
            node.pinned = node.pinned || pin;
            if (node.leaf)
                return;
            int index = ChildIndex(rgb, node.depth);
            int child = node.children[index];
            if (child < 0) {
                child = NewNode(node.depth + 1);  // may move the nodes
                nodes[at].children[index] = child;
            }
            at = child;
        }
    }

    void Free(int at)
    {
        for (int &child : nodes[at].children)
            if (child >= 0) {
                Free(child);
                child = -1;
            }
        if (nodes[at].leaf)
            leaves--;
        nodes[at].used = false;
        unused.push_back(at);
    }

    void Merge(int at)
    {
        for (int &child : nodes[at].children)
            if (child >= 0) {
                Free(child);
                child = -1;
            }
        nodes[at].leaf = true;
        leaves++;
    }

    // Merges until at most target leaves are left; false when only pinned
    // nodes are left to merge.
    bool Reduce(int target)
    {
        while (leaves > target) {
            // The deepest mergeable inner nodes: their children are all leaves.
            int deepest = -1;
            std::vector<int> inner;
            for (int at = 0; at < (int)nodes.size(); at++) {
                const OctreeNode &node = nodes[at];
                if (!node.used || node.leaf || node.pinned)
                    continue;
                bool childrenLeaves = true;
                for (int child : node.children)
                    childrenLeaves = childrenLeaves && (child < 0 || nodes[child].leaf);
                if (!childrenLeaves)
                    continue;
                if (node.depth > deepest) {
                    deepest = node.depth;
                    inner.clear();
                }
                if (node.depth == deepest)
                    inner.push_back(at);
            }
            if (inner.empty())
                return false;
            std::stable_sort(inner.begin(), inner.end(),
                             [&](int a, int b) { return nodes[a].count < nodes[b].count; });
            for (int at : inner) {
                if (leaves <= target)
                    break;
                Merge(at);
            }
        }
        return true;
    }

    void Unpin()
    {
        for (OctreeNode &node : nodes)
            node.pinned = false;
    }
};

// The colour of a leaf: the mean of its pixels, or for a pinned leaf without
// pixels the one colour of its eight-level cell.
void CellColour(const OctreeNode &node, const PaletteCell &walk, uint8_t out[3])
{
    for (int c = 0; c < 3; c++) {
        if (node.count) {
            out[c] = (uint8_t)((node.sum[c] + node.count / 2) / node.count);
            continue;
        }
        int value = 0;
        for (int level = 0; level < walk.depth; level++)
            value |= ((walk.path[level] >> c) & 1) << (7 - level);  // red is bit 0 of an index
        out[c] = (uint8_t)value;
    }
}

void CollectCells(const Octree &tree, int at, PaletteCell &walk, std::vector<PaletteCell> &cells)
{
    const OctreeNode &node = tree.nodes[at];
    if (node.leaf) {
        if (!node.count && !node.pinned)
            return;
        uint8_t rgb[3];
        CellColour(node, walk, rgb);
        PaletteCell cell = walk;
        cell.red = rgb[0], cell.green = rgb[1], cell.blue = rgb[2];
        cells.push_back(cell);
        return;
    }
    for (int index = 0; index < 8; index++)
        if (node.children[index] >= 0) {
            walk.path[walk.depth++] = (uint8_t)index;
            CollectCells(tree, node.children[index], walk, cells);
            walk.depth--;
        }
}

// Pure black (child 0 at every level) or white (child 7) as an extra entry,
// when the pinned paths did not fit the count, unless a cell's colour is
// already that colour. Where the picture has no cell on the colour's path, its
// entry is a new cell just below the deepest node met; where a cell holds it,
// the entry's path goes on below that cell, where the search never looks.
void AddPureColor(const Octree &tree, std::vector<PaletteCell> &cells, uint8_t value, uint8_t index)
{
    for (const PaletteCell &cell : cells)
        if (cell.red == value && cell.green == value && cell.blue == value)
            return;
    PaletteCell extra = {value, value, value, 0, {}};
    int at = 0;
    while (!tree.nodes[at].leaf) {
        extra.path[extra.depth++] = index;
        at = tree.nodes[at].children[index];
        if (at < 0) {
            cells.push_back(extra);
            return;
        }
    }
    extra.depth = 8;
    std::fill(extra.path, extra.path + 8, index);
    cells.push_back(extra);
}

}  // namespace

std::vector<PaletteCell> MakeOctreePalette(const uint8_t *rgb, size_t count, int colors)
{
    colors = std::min(std::max(colors, 1), 256);
    std::vector<PaletteCell> cells;
    if (count == 0)
        return cells;
    Octree tree;
    tree.NewNode(0);
    bool pure = colors >= 3;
    const uint8_t black[3] = {0, 0, 0}, white[3] = {255, 255, 255};
    if (colors >= kPinnedColors) {
        tree.Walk(black, false, true);
        tree.Walk(white, false, true);
    }
    int working = std::max(kWorkingLeaves, colors);
    for (size_t i = 0; i < count; i++) {
        tree.Walk(rgb + 3 * i, true, false);
        if (tree.leaves > working)
            tree.Reduce(working * 3 / 4);
    }
    bool pinnedFit = colors >= kPinnedColors && tree.Reduce(colors);
    if (!pinnedFit) {
        tree.Unpin();
        tree.Reduce(pure ? colors - 2 : colors);
    }
    PaletteCell walk = {};
    CollectCells(tree, 0, walk, cells);
    if (pure && !pinnedFit) {
        AddPureColor(tree, cells, 0, 0);
        AddPureColor(tree, cells, 255, 7);
    }
    return cells;
}

std::string FormatPalette(const std::vector<PaletteCell> &cells)
{
    std::string text;
    for (const PaletteCell &cell : cells) {
        char line[64];
        snprintf(line, sizeof line, "%d %d %d -", cell.red, cell.green, cell.blue);
        text += line;
        for (int level = 0; level < cell.depth; level++) {
            text += ' ';
            text += (char)('0' + cell.path[level]);
        }
        text += '\n';
    }
    return text;
}
