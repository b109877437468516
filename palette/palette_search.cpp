// The nearest-colour search: fast rather than exact. It descends the colour
// tree along the bits of the colour and compares distances only among the
// leaves below the node where the descent stops.
//
// - A leaf met on the way down is the answer, however large its cell.
// - A palette colour outside the stopping node's subtree is never looked at.
// - Among candidates at the same distance the first one, in depth-first order
//   with lower child indices first, wins.
// - A palette without entries (or none loaded yet) gives index 0 and black.
#include "palette/palette.h"

int CollectLeaves(const ColorTreeNode *node, int *list, int room)
{
    if (room <= 0)
        return 0;
    if (node->isLeaf) {
        list[0] = node->paletteIndex;
        return 1;
    }
    int count = 0;
    for (const ColorTreeNode *child : node->children)
        if (child)
            count += CollectLeaves(child, list + count, room - count);
    return count;
}

// The chosen palette index, or -1 when there is no entry to choose.
static int SearchPalette(PackedColor c)
{
    const PaletteTables &palette = ActivePalette;
    const ColorTreeNode *node = palette.root;
    if (!node)
        return -1;
    int blue = c & 0xFF, green = (c >> 8) & 0xFF, red = (c >> 16) & 0xFF;

    // The deepest nodes the descent can reach are leaves, so it never needs
    // more than TreeDepth path entries; a root leaf (TreeDepth 0) answers alone.
    for (int level = 0; level < palette.TreeDepth; level++) {
        int entry = palette.blueBits[blue][level] | palette.greenBits[green][level] | palette.redBits[red][level];
        const ColorTreeNode *child = node->children[entry];
        if (!child)
            break;
        if (child->isLeaf)
            return child->paletteIndex;
        node = child;
    }
    if (node->isLeaf)
        return node->paletteIndex;

    int candidates[kPaletteEntries];
    int count = 0;
    for (const ColorTreeNode *child : node->children)
        if (child)
            count += CollectLeaves(child, candidates + count, kPaletteEntries - count);

    const int32_t *square = palette.squares + 255;  // indexed by a difference -255..255
    int best = -1;
    int32_t bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < count; i++) {
        PackedColor candidate = palette.colors[candidates[i]];
        int32_t distance = square[red - (int)((candidate >> 16) & 0xFF)] +
                           square[green - (int)((candidate >> 8) & 0xFF)] +
                           square[blue - (int)(candidate & 0xFF)];
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidates[i];
        }
    }
    return best;
}

PackedColor NearestPaletteColor(PackedColor c)
{
    int index = SearchPalette(c);
    return index < 0 ? 0 : ActivePalette.colors[index];
}

int NearestPaletteIndex(PackedColor c)
{
    int index = SearchPalette(c);
    return index < 0 ? 0 : index;
}
