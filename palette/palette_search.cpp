// The nearest-colour search: fast rather than exact.
//
// 1. The path of a colour: at level l (0 to TreeDepth - 1) the child index
//    4 * (bit 7 - l of blue) + 2 * (bit 7 - l of green) + (bit 7 - l of red).
// 2. The descent follows it from the root. A leaf met on the way is the
//    answer, however large its cell; a missing child stops the descent.
// 3. A root leaf (TreeDepth 0) answers every colour.
// 4. Otherwise the candidates are the leaves below the stopping node, depth
//    first, lower child indices first, not looking below a leaf; a palette
//    colour outside that subtree is never looked at.
// 5. The candidate at the smallest squared distance wins; among equal
//    distances the first.
// A palette without entries gives index 0 and black; so does the search
// before the first load, its jump table being all zero (no candidates).
//
// Each load turns the tree into a form that gives the same answers with less
// work per colour (the search runs for every pixel of an 8-bit wallpaper):
// - compact inner nodes, and the candidates of every node as one run of the
//   depth-first list of leaves;
// - a jump table that does the first four levels of the descent in one
//   look-up, by the top four bits of each component;
// - for each cell of the jump table where the descent ends, only the
//   candidates that can win for some colour of the cell, in their order:
//   dropping one that another beats at every colour of the cell changes no
//   answer. Most cells keep one candidate, which is then the answer at once.
#include "palette/palette_search.h"

#include "base/kernels.h"

SearchIndex ActiveSearchIndex;
bool SearchIndexBuilt = true;  // the all-zero index answers black

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

namespace {

struct IndexBuilder {
    const PaletteTables &palette;
    SearchIndex &index;
    int nodes;
    int leaves;

    void AppendLeaf(int paletteIndex)
    {
        if (leaves >= kPaletteEntries)
            return;
        PackedColor c = palette.colors[paletteIndex];
        index.leaves[leaves] = {(uint8_t)(c & 0xFF), (uint8_t)((c >> 8) & 0xFF), (uint8_t)((c >> 16) & 0xFF),
                                (uint8_t)leaves};
        index.leafOrder[leaves] = (uint8_t)paletteIndex;
        leaves++;
    }

    // The search node of an inner tree node, made after its parent's and
    // before its children's.
    int Flatten(const ColorTreeNode *node)
    {
        int number = nodes++;
        SearchNode &flat = index.nodes[number];
        flat.first = (uint16_t)leaves;
        for (int i = 0; i < 8; i++) {
            const ColorTreeNode *child = node->children[i];
            if (!child) {
                flat.child[i] = -1;
            } else if (child->isLeaf) {
                flat.child[i] = (int16_t)(-2 - leaves);
                AppendLeaf(child->paletteIndex);
            } else {
                flat.child[i] = (int16_t)Flatten(child);
            }
        }
        flat.count = (uint16_t)(leaves - flat.first);
        return number;
    }
};

// Whether another candidate m beats n at every colour of the cell from low to
// low + 15 in each channel: m nearer, or as near and listed first. The
// difference of the squared distances, the sum over the channels of
// (p - m)^2 - (p - n)^2 = (n - m)(2p - m - n), is linear in the colour p: its
// largest value over the cell takes, in each channel, the end of the cell
// where that term is larger. Each rival (a candidate in the cell's reach,
// their channels an array each) is tried against all the others at once,
// eight at a time, the places past the last too, whose answers are dropped:
// a loop the compiler vectorises.
constexpr int kPairwiseLimit = 32;  // candidates compared pair by pair at most
struct Rivals {
    int32_t blue[kPairwiseLimit], green[kPairwiseLimit], red[kPairwiseLimit];
};

static inline int32_t WorstTerm(int32_t m, int32_t n, int32_t low)
{
    int32_t d = n - m, s = m + n;
    int32_t atLow = d * (2 * low - s), atHigh = d * (2 * (low + 15) - s);
    return atLow > atHigh ? atLow : atHigh;
}

// Bit n of *beaten: whether another of the first count rivals beats rival n.
// The places from count up to the next multiple of 8 hold copies of rival 0.
KERNEL_BODY void BeatenBody(const Rivals *r, int count, int lowBlue, int lowGreen, int lowRed, uint32_t *beaten)
{
    const int tried = (count + 7) & ~7;
    uint32_t mask = 0;
    for (int n = 0; n < count; n++) {
        const int32_t blue = r->blue[n], green = r->green[n], red = r->red[n];
        int any = 0;
        for (int m = 0; m < tried; m++) {
            int32_t worst = WorstTerm(r->blue[m], blue, lowBlue) + WorstTerm(r->green[m], green, lowGreen) +
                            WorstTerm(r->red[m], red, lowRed);
            int beats = (worst < 0) | ((worst == 0) & (m < n));
            any |= beats & (m != n) & (m < count);
        }
        mask |= (uint32_t)any << n;
    }
    *beaten = mask;
}
KERNEL_LEVELS(Beaten, (const Rivals *r, int count, int lowBlue, int lowGreen, int lowRed, uint32_t *beaten),
              (r, count, lowBlue, lowGreen, lowRed, beaten))

// The squared distances from a candidate to the nearest and the farthest
// colour of the cell from low to low + 15 in each channel.
void CellDistances(const SearchCandidate &a, const int low[3], int *nearest, int *farthest)
{
    const int value[3] = {a.blue, a.green, a.red};
    *nearest = *farthest = 0;
    for (int c = 0; c < 3; c++) {
        int toLow = value[c] - low[c], toHigh = value[c] - (low[c] + 15);  // toLow >= toHigh
        int gap = toHigh > 0 ? toHigh : toLow < 0 ? -toLow : 0;
        int reach = toLow > -toHigh ? toLow : -toHigh;
        *nearest += gap * gap;
        *farthest += reach * reach;
    }
}

// Copies to out, in their order, the candidates of list that can be chosen
// for some colour of the cell; returns how many, or -1 when room is short.
// First every candidate whose nearest colour of the cell is farther than some
// candidate's farthest is left out; then, among the rest, every one that
// another beats throughout the cell.
int KeepCandidates(const SearchCandidate *list, int count, const int low[3], SearchCandidate *out, int room)
{
    int nearest[kPaletteEntries], farthest[kPaletteEntries];
    int bound = 0x7FFFFFFF;
    for (int i = 0; i < count; i++) {
        CellDistances(list[i], low, &nearest[i], &farthest[i]);
        bound = farthest[i] < bound ? farthest[i] : bound;
    }
    int inReach[kPaletteEntries];
    int reachable = 0;
    for (int i = 0; i < count; i++)
        if (nearest[i] <= bound)
            inReach[reachable++] = i;
    uint32_t beaten = 0;
    if (reachable <= kPairwiseLimit) {
        Rivals rivals;
        for (int i = 0; i < ((reachable + 7) & ~7); i++) {
            const SearchCandidate &c = list[inReach[i < reachable ? i : 0]];
            rivals.blue[i] = c.blue, rivals.green[i] = c.green, rivals.red[i] = c.red;
        }
        Beaten(&rivals, reachable, low[0], low[1], low[2], &beaten);
    }
    int kept = 0;
    for (int n = 0; n < reachable; n++) {
        if (n < kPairwiseLimit && (beaten >> n & 1))
            continue;
        if (kept == room)
            return -1;
        out[kept++] = list[inReach[n]];
    }
    return kept;
}

}  // namespace

static void BuildTree(const PaletteTables &palette, SearchIndex &index)
{
    IndexBuilder builder{palette, index, 0, 0};
    const ColorTreeNode *root = palette.root;
    if (root->isLeaf) {
        // The root's entry answers every colour.
        builder.AppendLeaf(root->paletteIndex);
        for (JumpCell &cell : index.jump)
            cell = {kJumpOne, CandidateBits(index.leaves[0])};
        return;
    }
    builder.Flatten(root);

    int levels = palette.TreeDepth < kJumpLevels ? palette.TreeDepth : kJumpLevels;
    int pooled = 0;
    for (int cell = 0; cell < 4096; cell++) {
        int low[3] = {(cell >> 8) << 4, ((cell >> 4) & 15) << 4, (cell & 15) << 4};  // blue, green, red
        int node = 0, first = 0, count = -1;
        for (int level = 0; level < levels && count < 0; level++) {
            const SearchNode &at = index.nodes[node];
            int child = at.child[palette.blueBits[low[0]][level] | palette.greenBits[low[1]][level] |
                                 palette.redBits[low[2]][level]];
            if (child == -1)
                first = at.first, count = at.count;
            else if (child < -1)
                first = -2 - child, count = 1;
            else
                node = child;
        }
        if (count < 0) {
            // Only the rest of the colour decides: the descent goes on.
            if (levels < palette.TreeDepth || index.nodes[node].count == 0) {
                index.jump[cell] = {kJumpGo | node, 0};
                continue;
            }
            first = index.nodes[node].first, count = index.nodes[node].count;
        }
        // The candidates that no other beats throughout the cell; the one
        // nearest to any colour of the cell is always among them.
        int start = pooled;
        int kept = KeepCandidates(index.leaves + first, count, low, index.pool + pooled, kCandidatePool - pooled);
        pooled = kept < 0 ? start : pooled + kept;  // no room: the cell keeps all its candidates
        if (pooled - start == 1) {
            index.jump[cell] = {kJumpOne, CandidateBits(index.pool[start])};
            pooled = start;
        } else if (pooled == start && count > 0) {
            index.jump[cell] = {kJumpLeaves | first | count << 16, 0};
        } else {
            index.jump[cell] = {start | (pooled - start) << 16, 0};
        }
    }
}

void BuildSearchIndex(const PaletteTables &palette, SearchIndex &index)
{
    BuildTree(palette, index);
    // The row reduction takes black and white as they are, without a search,
    // and takes a one-answer cell's answer without looking at the colour:
    // the two cells that hold them list their one candidate instead, where
    // it stands in the leaf list (the same answer for every other colour).
    for (int cell = 0; cell < 4096; cell += 4095)
        if (index.jump[cell].list == kJumpOne)
            index.jump[cell] = {kJumpLeaves | (int32_t)(index.jump[cell].one >> 24) | 1 << 16, 0};
}

void EnsureSearchIndex()
{
    if (!SearchIndexBuilt) {
        BuildSearchIndex(ActivePalette, ActiveSearchIndex);
        SearchIndexBuilt = true;
    }
}

void PrepareSearch() { EnsureSearchIndex(); }

PackedColor NearestPaletteColor(PackedColor c)
{
    EnsureSearchIndex();
    int64_t best = SearchPalette(ActivePalette, ActiveSearchIndex, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return best < 0 ? 0 : (PackedColor)(best & 0xFFFFFF);
}

int NearestPaletteIndex(PackedColor c)
{
    EnsureSearchIndex();
    int64_t best = SearchPalette(ActivePalette, ActiveSearchIndex, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
    return best < 0 ? 0 : ActiveSearchIndex.leafOrder[best >> 24];
}
