// The list of tasks of a decoding, from the art's geometry alone (what each
// kind of task does and why the list has its order: decodeplan.h). Made
// apart from the decoding so that the waits, the order that keeps two
// threads from ever touching the same rows at once, can be tested alone.
#include "decoder/decodeplan.h"

#include "base/apperror.h"

#include <algorithm>

static PipeTask NewTask(PipeKind kind)
{
    PipeTask t;
    t.kind = kind;
    t.piece = t.plane = t.bytesFrom = t.bytesTo = -1;
    t.chain = t.rowsFrom = t.rowsTo = t.round = t.number = -1;
    t.waitCount = 0;
    return t;
}

PipeTask PrepareTask(int piece, int plane, int bytesFrom, int bytesTo)
{
    PipeTask t = NewTask(kPrepare);
    t.piece = piece, t.plane = plane, t.bytesFrom = bytesFrom, t.bytesTo = bytesTo;
    return t;
}

PipeTask RunsTask(int piece, int plane, int bytesFrom, int bytesTo)
{
    PipeTask t = PrepareTask(piece, plane, bytesFrom, bytesTo);
    t.kind = kRuns;
    return t;
}

PipeTask ChunkTask(int chain, int rowsFrom, int rowsTo, int round)
{
    PipeTask t = NewTask(kChunk);
    t.chain = chain, t.rowsFrom = rowsFrom, t.rowsTo = rowsTo, t.round = round;
    return t;
}

PipeTask PairTask(int pair)
{
    PipeTask t = NewTask(kPair);
    t.number = pair;
    return t;
}

PipeTask BandTask(int band)
{
    PipeTask t = NewTask(kBand);
    t.number = band;
    return t;
}

void AddWait(PipeTask *t, int number)
{
    if (number < 0)
        return;
    AppAssert(t->waitCount < kMaxWaits, "D42SAVE", __LINE__, "A decoding task waits for more than %d others",
              kMaxWaits);
    t->waits[t->waitCount++] = number;
}

int PieceRows(const ArtGeometry &g, int i)
{
    if (i / g.perSide < g.perSide - 1)
        return g.pieceSide;
    return g.height - (g.perSide - 1) * g.pieceSide;
}

int LowBandValues(int a, int baseSide) { return a == baseSide ? a * a : (a / 2) * (a / 2); }

int ChainSplit(const ArtGeometry &g, int piece, bool halves) { return halves ? PieceRows(g, piece) / 8 * 4 : 0; }

int RingRows(int artHeight, int height)
{
    long long ring = 2 * kChunkRows + 2LL * (artHeight / height) + 16;
    return ring < artHeight ? (int)ring : artHeight;
}

// What the listing knows of the tasks listed so far.
struct Planning {
    const ArtGeometry &g;
    const ArtScaler *scaler;     // null when only decoding
    int height, ringRows;        // output rows; decoded rows kept
    TaskPlan *plan;
    int prepared[4][3];          // by piece and plane: its kPrepare task
    std::vector<int> lastOfChain;  // by chain: its last task so far, or -1
    std::vector<int> pairTask;     // by pair: its task
    int nextPair;                // the first pair not listed
    int readPast;                // the pairs before it read no ring entry that a chunk still to come writes
    std::vector<int> lastRound;  // with a seam: the chunks of the round listed last
};

static int Listed(Planning *p, const PipeTask &t)
{
    p->plan->tasks.push_back(t);
    return (int)p->plan->tasks.size() - 1;
}

// The rows of the decoded picture that output row y (not the last) reads:
// two rows scaled across, each reading the first pixel of the row after it.
static void RowsRead(const ArtScaler &s, int y, int *lowest, int *highest)
{
    int position = (int)((y * s.vStep) >> 8);
    int k = std::max(0, std::min(position >> 8, s.artHeight - 2));
    *lowest = k;
    *highest = std::min(k + 2, s.artHeight - 1);
}

// The rows of the decoded picture that pair n reads.
static void RowsOfPair(const Planning &p, int n, int *lowest, int *highest)
{
    *lowest = p.g.height, *highest = 0;
    for (int y = 2 * n; y < std::min(2 * n + 2, p.height - 1); y++) {
        int lo, hi;
        RowsRead(*p.scaler, y, &lo, &hi);
        *lowest = std::min(*lowest, lo), *highest = std::max(*highest, hi);
    }
}

// The low bands of a row of pieces, each into its slot once the chains of
// the piece above that held the slot are done.
static void PlanLowBands(Planning *p, int left)
{
    const ArtGeometry &g = p->g;
    for (int i = left; i < left + g.perSide; i++)
        for (int k = 0; k < 3; k++) {
            int side = k == 0 ? g.pieceSide : g.chromaSide;
            int bytes = LowBandValues(side, g.baseSide) * 4, half = !p->scaler && k == 0 ? bytes / 2 : 0;
            PipeTask prepare = PrepareTask(i, k, 0, half > 0 ? 0 : bytes);
            for (size_t n = 0; n < p->plan->chains.size(); n++)
                if (i >= g.perSide && p->plan->chains[n].piece == i - g.perSide)
                    AddWait(&prepare, p->lastOfChain[n]);
            PipeTask slotFree = prepare;
            for (int part = 0; half > 0 && part < 2; part++) {
                PipeTask runs = RunsTask(i, k, part == 0 ? 0 : half, part == 0 ? half : bytes);
                for (int w = 0; w < slotFree.waitCount; w++)
                    AddWait(&runs, slotFree.waits[w]);
                AddWait(&prepare, Listed(p, runs));
            }
            p->prepared[i][k] = Listed(p, prepare);
        }
}

// The chunk of chain n at piece rows from ... to - 1 of the row of pieces
// whose top is picture row top.
static void PlanChunk(Planning *p, int n, int from, int to, int top)
{
    const ChainRows &chain = p->plan->chains[n];
    const bool seam = p->g.perSide == 2 && p->g.width > 2;
    PipeTask t = ChunkTask(n, from, to, seam ? (int)p->plan->seams.size() : -1);
    for (int k = 0; k < 3; k++)
        AddWait(&t, p->prepared[chain.piece][k]);
    AddWait(&t, p->lastOfChain[n]);
    // Every earlier row's seam is mended before new rows take their entries
    // of the ring, and pairs that wait for a round's chunks have every row
    // above too.
    for (int w : p->lastRound)
        if (w != p->lastOfChain[n])
            AddWait(&t, w);
    if (p->scaler) {
        // The ring's entries this task writes held rows up to
        // top + to - 1 - ringRows: the pairs that read them must be done
        // (and the pairs still to come read none).
        int overwritten = top + to - p->ringRows;
        while (p->readPast < p->nextPair) {
            int lowest, highest;
            RowsOfPair(*p, p->readPast, &lowest, &highest);
            if (lowest >= overwritten)
                break;
            p->readPast++;
        }
        AddWait(&t, p->readPast >= 1 ? p->pairTask[p->readPast - 1] : -1);
        AddWait(&t, p->readPast >= 2 ? p->pairTask[p->readPast - 2] : -1);
    }
    p->lastOfChain[n] = Listed(p, t);
}

// Every pair whose rows are all decoded once picture row decoded is, after
// the round that begins at task roundStart.
static void PlanPairs(Planning *p, int decoded, int roundStart)
{
    int pairs = (p->height + 1) / 2;
    while (p->nextPair < pairs) {
        int lowest, highest;
        RowsOfPair(*p, p->nextPair, &lowest, &highest);
        if (highest > decoded)
            break;
        PipeTask t = PairTask(p->nextPair);
        for (int w = roundStart; w < (int)p->plan->tasks.size(); w++)
            if (p->plan->tasks[w].kind == kChunk)
                AddWait(&t, w);
        AddWait(&t, p->nextPair >= 2 ? p->pairTask[p->nextPair - 2] : -1);
        p->pairTask[p->nextPair] = Listed(p, t);
        p->nextPair++;
    }
}

void PlanTasks(const ArtGeometry &g, bool halves, const ArtScaler *scaler, int height, int ringRows, TaskPlan *plan)
{
    for (int i = 0; i < g.pieces; i++) {
        int rows = PieceRows(g, i), split = ChainSplit(g, i, halves);
        if (split > 0)
            plan->chains.push_back(ChainRows{i, 0, split});
        plan->chains.push_back(ChainRows{i, split, rows});
    }
    Planning p{g, scaler, height, ringRows, plan, {}, std::vector<int>(plan->chains.size(), -1),
               std::vector<int>(scaler ? (height + 1) / 2 : 0, -1), 0, 0, {}};
    // A picture of two pieces a side has a seam (a 2-pixel-wide one has no
    // right neighbour for it).
    const bool seam = g.perSide == 2 && g.width > 2;
    for (int band = 0; band < g.perSide; band++) {
        int left = band * g.perSide, top = band * g.pieceSide;
        PlanLowBands(&p, left);
        // Rounds: the next rows of every chain of the band, left to right;
        // when only decoding, each chain whole.
        int rows = PieceRows(g, left), step = scaler ? kChunkRows : rows;
        for (int at = 0; at < rows; at += step) {
            int roundStart = (int)plan->tasks.size();
            for (size_t n = 0; n < plan->chains.size(); n++) {
                const ChainRows &chain = plan->chains[n];
                int from = scaler ? std::max(chain.first, at) : chain.first;
                int to = scaler ? std::min(chain.last, at + step) : chain.last;
                if (chain.piece >= left && chain.piece < left + g.perSide && from < to)
                    PlanChunk(&p, (int)n, from, to, top);
            }
            int end = top + std::min(rows, at + step);
            if (seam) {
                p.lastRound.clear();
                for (int w = roundStart; w < (int)plan->tasks.size(); w++)
                    p.lastRound.push_back(w);
                plan->seams.push_back({top + at, end, (int)p.lastRound.size()});
            }
            if (scaler)
                PlanPairs(&p, end - 1, roundStart);
        }
    }
}
