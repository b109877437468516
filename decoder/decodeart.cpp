// The decode driver: the whole art into one picture, or the picture at the
// screen's size and depth a pair of rows at a time. It decodes the control
// bytes from their Huffman code, finds the planes in them and lists the tasks
// (decodeplan.cpp), carves one block of memory for the tasks' bands and rows,
// and runs the tasks (decodetasks.cpp) on a team of two threads that was
// started first, so that the helper prepares the reduction meanwhile.
#include "decoder/art.h"

#include "base/apperror.h"
#include "base/team.h"
#include "decoder/artcheck.h"
#include "decoder/decodetasks.h"
#include "decoder/huffman.h"
#include "decoder/scale.h"
#include "palette/palette.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

static void CheckHuffman(const ArtFile *art, const HuffmanResult &h)
{
    switch (h.fault) {
    case kHuffmanOk:
        return;
    case kHuffmanNoData:
        ArtFault(art->path, __LINE__, "it has no compressed data");
    case kHuffmanEmptyTree:
        ArtFault(art->path, __LINE__, "its code tree has no nodes");
    case kHuffmanTreeCut:
        ArtFault(art->path, __LINE__, "its data ends inside its code tree");
    case kHuffmanBadNode:
        ArtFault(art->path, __LINE__, "node %d of its code tree refers to node %d, past the tree's end", h.node,
                 h.child);
    case kHuffmanTooLong:
        ArtFault(art->path, __LINE__, "its decoded stream is longer than the %ld bytes its header gives",
                 (long)art->header[kArtStreamSize]);
    }
}

// A team started before its list of tasks is made, run with no tasks if a
// fault report leaves first (as the host's tests' exits do, by unwinding).
struct StartedTeam {
    TeamStart *start;
    ~StartedTeam()
    {
        if (start)
            RunStartedTeam(start, nullptr, nullptr, 0);
    }
};

// The slots' low bands, the members' scratch and the chains' rows; the tasks
// run by the started team; the memory released.
static void RunPipe(ArtPipe *d, StartedTeam *team)
{
    const ArtGeometry &g = d->g;
    const int m = g.pieceSide, c = g.chromaSide, base = g.baseSide;
    auto topValues = [&](int a) { return a == base ? (size_t)0 : TopLevelValues(a / 2); };
    size_t low = (size_t)LowBandValues(m, base) + 2 * (size_t)LowBandValues(c, base);
    size_t scratch = m > base ? (size_t)(m / 2) * (m / 2) : 0;
    size_t work = topValues(m) + 2 * topValues(c) + 3 * (size_t)m;
    size_t values = g.perSide * low + 2 * scratch + d->plan.chains.size() * work;
    int32_t *room = (int32_t *)ArtAllocate(d->art->path, values * sizeof(int32_t));
    for (int i = 0; i < g.pieces; i++) {
        int32_t *slot = room + (i % g.perSide) * low;
        d->planes[i][0].memory = slot;
        d->planes[i][1].memory = slot + LowBandValues(m, base);
        d->planes[i][2].memory = d->planes[i][1].memory + LowBandValues(c, base);
    }
    for (int member = 0; member < 2; member++)
        d->scratch[member] = room + g.perSide * low + member * scratch;
    d->chains.resize(d->plan.chains.size());
    for (size_t n = 0; n < d->chains.size(); n++) {
        ChainState &chain = d->chains[n];
        chain.work = room + g.perSide * low + 2 * scratch + n * work;
        chain.blueTerm = chain.work + topValues(m) + 2 * topValues(c);
        chain.redTerm = chain.blueTerm + m;
        chain.words = (uint32_t *)(chain.redTerm + m);
    }
    TeamStart *start = team->start;
    team->start = nullptr;
    RunStartedTeam(start, PipeTaskRun, d, (int)d->plan.tasks.size());
    free(room);
}

// The plan of d's tasks, and the counts of the rounds with a seam. No fault
// from here on: the lists are the first blocks made with new, which a report
// would leave behind.
static void ListTasks(ArtPipe *d, bool halves)
{
    ArtRender *r = d->render;
    PlanTasks(d->g, halves, r ? &r->scaler[0] : nullptr, r ? r->height : 0, d->ringRows, &d->plan);
    const std::vector<SeamRows> &seams = d->plan.seams;
    d->rounds.reset(new SeamRound[seams.size()]);
    for (size_t i = 0; i < seams.size(); i++) {
        d->rounds[i].from = seams[i].from, d->rounds[i].to = seams[i].to;
        d->rounds[i].left.store(seams[i].chunks, std::memory_order_relaxed);
    }
}

// The control bytes of the art, decoded from its Huffman code.
static uint8_t *ControlBytes(ArtPipe *d)
{
    uint8_t *stream = (uint8_t *)ArtAllocate(d->art->path, d->g.streamBytes);
    HuffmanResult decoded = DecodeHuffman(stream, d->g.streamBytes, d->art->data, d->art->dataSize);
    CheckHuffman(d->art, decoded);
    d->end = stream + decoded.written;
    return stream;
}

uint8_t *DecodeArt(const ArtFile *art)
{
    StartedTeam team{StartTeam(nullptr, nullptr)};
    ArtPipe d;
    d.art = art;
    d.g = CheckArtHeader(art);
    d.picture = (uint8_t *)ArtAllocate(art->path, d.g.imageBytes);
    d.ringRows = d.g.height;
    d.rowBytes = (size_t)d.g.width * 3;
    d.render = nullptr;
    uint8_t *stream = ControlBytes(&d);
    PlacePlanes(&d, stream, true);
    ListTasks(&d, true);
    RunPipe(&d, &team);
    free(stream);
    return d.picture;
}

// What the reduction needs before its first rows, made by the helper while
// the caller makes the list of tasks: the error rows and the tables of the
// diffusion (8 and 16 bits), and the palette's search (8 bits: the rows
// handed on look their colours up in it too).
struct Reduction {
    int depth, kernel, width;
    bool diffused;
};
static void PrepareReduction(void *context)
{
    const Reduction *r = (const Reduction *)context;
    if (r->diffused && (r->depth == 8 || r->depth == 16))
        StartDiffusion(r->kernel, r->width);
    if (r->depth == 8)
        PrepareSearch();
}

// A rendering's size is fatal when no screen could have it.
static void CheckRenderSize(const ArtFile *art, int width, int height)
{
    AppAssert(width >= 1 && height >= 1 && width <= kMaxScaledSide && height <= kMaxScaledSide, "D42SAVE",
              __LINE__, "Art file %s cannot be rendered at %d x %d pixels", art->path, width, height);
}

void RenderArtRows(const ArtFile *art, int width, int height, int depth, int kernel, ArtRowSink sink, void *context)
{
    CheckRenderSize(art, width, height);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    ArtPipe d;
    d.art = art;
    d.sink = sink, d.context = context;
    d.render = nullptr;
    if (width == artWidth && height == artHeight) {
        // The decoded picture as it is, a band of rows a task.
        d.picture = DecodeArt(art);
        Reduction reduction{depth, kernel, width, false};
        TeamStart *start = StartTeam(PrepareReduction, &reduction);
        d.g = CheckArtHeader(art);
        d.rowBytes = (size_t)width * 3;
        for (int band = 0; band * kChunkRows < height; band++)
            d.plan.tasks.push_back(BandTask(band));
        RunStartedTeam(start, PipeTaskRun, &d, (int)d.plan.tasks.size());
        free(d.picture);
        return;
    }
    Reduction reduction{depth, kernel, width, true};
    StartedTeam team{StartTeam(PrepareReduction, &reduction)};
    d.g = CheckArtHeader(art);
    d.rowBytes = (size_t)artWidth * 3;
    d.ringRows = RingRows(artHeight, height);
    d.picture = (uint8_t *)ArtAllocate(art->path, (size_t)d.ringRows * d.rowBytes);

    ArtRender r;
    d.render = &r;
    r.width = width, r.height = height, r.depth = depth;
    r.stride = (size_t)ScaledRowBytes(width);
    r.fill = (int)(r.stride - (size_t)width * 3);
    int pairs = (height + 1) / 2;
    uint8_t *rows = (uint8_t *)calloc(r.stride * 4, 1);
    AppAssert(rows != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d", art->path,
              width, height);
    for (int member = 0; member < 2; member++) {
        r.rows[member] = rows + member * 2 * r.stride;
        StartArtScaler(&r.scaler[member], art->path, d.picture, artWidth, artHeight, d.ringRows, width, height);
    }
    uint8_t *stream = ControlBytes(&d);
    PlacePlanes(&d, stream, false);
    ListTasks(&d, false);
    r.progress = new (std::nothrow) PairProgress[pairs];
    AppAssert(r.progress != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d",
              art->path, width, height);
    for (int i = 0; i < pairs; i++)
        r.progress[i].value.store(0);
    RunPipe(&d, &team);
    free(stream);
    for (int member = 0; member < 2; member++)
        EndArtScaler(&r.scaler[member]);
    delete[] r.progress;
    free(rows);
    free(d.picture);
}

// RenderArt's sink: the rows into one buffer, ScaledRowBytes apart.
struct RenderedRows {
    uint8_t *buffer;
    size_t stride;
};

static void KeepRow(void *context, int y, const uint8_t *pixels, int)
{
    RenderedRows *r = (RenderedRows *)context;
    uint8_t *row = r->buffer + (size_t)y * r->stride;
    memcpy(row, pixels, r->stride);
}

uint8_t *RenderArt(const ArtFile *art, int width, int height, int depth, int kernel)
{
    CheckRenderSize(art, width, height);
    int artWidth = ArtWidth(art), artHeight = ArtHeight(art);
    if (width == artWidth && height == artHeight)
        return DecodeArt(art);
    // As large as the scaling in place once needed: callers may use the room.
    RenderedRows r = {nullptr, (size_t)ScaledRowBytes(width)};
    size_t bytes = r.stride * (size_t)std::max(artHeight, height) + 4;
    r.buffer = (uint8_t *)calloc(bytes, 1);
    AppAssert(r.buffer != nullptr, "D42SAVE", __LINE__, "Not enough memory to scale art file %s to %d x %d",
              art->path, width, height);
    RenderArtRows(art, width, height, depth, kernel, KeepRow, &r);
    return r.buffer;
}
