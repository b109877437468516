// An octree colour quantizer. Pixels go down an eight-level tree by their bits
// (level d takes bit 7 - d of each component); each node counts the pixels
// that passed through it and sums their components. While the tree has too
// many leaves, the deepest inner nodes whose children are all leaves are
// merged into leaves, those with the fewest pixels first. A leaf's colour is
// the mean of its pixels.
#include "tools/palette_maker.h"

#include <stdio.h>

#include <algorithm>

namespace {

struct OctreeNode {
    int children[8];  // node numbers; -1 where absent
    int depth;        // the root is 0
    bool leaf;
    uint64_t count;
    uint64_t sum[3];  // red, green, blue
};

// Leaves kept while pixels are still coming, before the final reduction.
constexpr int kWorkingLeaves = 4096;

struct Octree {
    std::vector<OctreeNode> nodes;
    std::vector<int> unused;  // freed node numbers
    int leaves = 0;

    int NewNode(int depth)
    {
        OctreeNode node = {};
        std::fill(node.children, node.children + 8, -1);
        node.depth = depth;
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

    void Add(const uint8_t *rgb)
    {
        int at = 0;
        for (;;) {
            OctreeNode &node = nodes[at];
            node.count++;
            for (int c = 0; c < 3; c++)
                node.sum[c] += rgb[c];
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
        nodes[at].leaf = false;
        nodes[at].count = 0;  // marks the slot as unused
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

    // Merges until at most target leaves are left.
    void Reduce(int target)
    {
        while (leaves > target) {
            // The deepest inner nodes: their children are all leaves.
            int deepest = -1;
            std::vector<int> inner;
            for (int at = 0; at < (int)nodes.size(); at++) {
                const OctreeNode &node = nodes[at];
                if (node.leaf || (node.count == 0 && at != 0))
                    continue;
                if (node.depth > deepest) {
                    deepest = node.depth;
                    inner.clear();
                }
                if (node.depth == deepest)
                    inner.push_back(at);
            }
            if (inner.empty())
                return;
            std::stable_sort(inner.begin(), inner.end(),
                             [&](int a, int b) { return nodes[a].count < nodes[b].count; });
            for (int at : inner) {
                if (leaves <= target)
                    break;
                Merge(at);
            }
        }
    }
};

void CollectCells(const Octree &tree, int at, PaletteCell &walk, std::vector<PaletteCell> &cells)
{
    const OctreeNode &node = tree.nodes[at];
    if (node.leaf) {
        PaletteCell cell = walk;
        uint8_t *components[3] = {&cell.red, &cell.green, &cell.blue};
        for (int c = 0; c < 3; c++)
            *components[c] = (uint8_t)((node.sum[c] + node.count / 2) / node.count);
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

// Pure black (child 0 at every level) or white (child 7) as an entry, unless a
// cell's colour is already that colour. Where the picture has no cell on the
// colour's path, its entry is a new cell just below the deepest node met;
// where a cell holds it, the entry's path goes on below that cell, where the
// search never looks.
void AddPureColor(const Octree &tree, const std::vector<PaletteCell> &cells, uint8_t value, uint8_t index,
                  std::vector<PaletteCell> &out)
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
            out.push_back(extra);
            return;
        }
    }
    extra.depth = 8;
    std::fill(extra.path, extra.path + 8, index);
    out.push_back(extra);
}

}  // namespace

std::vector<PaletteCell> MakeOctreePalette(const uint8_t *rgb, size_t count, int colors)
{
    colors = std::min(std::max(colors, 1), 256);
    int cellTarget = colors >= 3 ? colors - 2 : colors;
    Octree tree;
    tree.NewNode(0);
    int working = std::max(kWorkingLeaves, cellTarget);
    for (size_t i = 0; i < count; i++) {
        tree.Add(rgb + 3 * i);
        if (tree.leaves > working)
            tree.Reduce(working * 3 / 4);
    }
    std::vector<PaletteCell> cells;
    if (count == 0)
        return cells;
    tree.Reduce(cellTarget);
    PaletteCell walk = {};
    CollectCells(tree, 0, walk, cells);
    std::vector<PaletteCell> out = cells;
    if (colors >= 3) {
        AddPureColor(tree, cells, 0, 0, out);
        AddPureColor(tree, cells, 255, 7, out);
    }
    return out;
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
