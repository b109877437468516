// The plain quantiser that the optimised one is measured against, and the
// stream cut into the ranges of a whole pass.
#include "tools/art/encode_stages.h"

#include <math.h>

#include <algorithm>

std::vector<StreamRange> WholeStream(const CoefficientStream &stream)
{
    std::vector<StreamRange> ranges;
    size_t n = stream.values.size();
    for (size_t from = 0; from < n; from += kQuantizeBlock)
        ranges.push_back({from, (uint32_t)std::min(kQuantizeBlock, n - from), 1});
    return ranges;
}

static int32_t PlainValue(const CoefficientStream &stream, size_t i, float weight, int step)
{
    return weight > 0 ? (int32_t)lrint(stream.values[i] / step) * step : 0;
}

void QuantizePlainly(const CoefficientStream &stream, int step, int32_t *out)
{
    for (const CoefficientStream::Segment &s : stream.segments)
        for (size_t i = s.start; i < s.start + s.count; i++)
            out[i] = PlainValue(stream, i, s.weight, step);
}

void QuantizeRangesPlainly(const CoefficientStream &stream, const std::vector<StreamRange> &ranges, int step,
                           int32_t *out)
{
    for (const StreamRange &range : ranges) {
        size_t from = range.start, to = range.start + range.count;
        auto seg = std::upper_bound(stream.segments.begin(), stream.segments.end(), from,
                                    [](size_t at, const CoefficientStream::Segment &s) { return at < s.start + s.count; });
        for (; seg != stream.segments.end() && seg->start < to; ++seg)
            for (size_t i = std::max(from, seg->start); i < std::min(to, seg->start + seg->count); i++)
                out[i] = PlainValue(stream, i, seg->weight, step);
    }
}
