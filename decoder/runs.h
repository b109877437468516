// The run-length stage of the art decoder: control bytes from the Huffman
// stage's byte stream expand into the raw bytes of each piece's coefficient
// planes (32-bit little-endian integers).
//
// A control byte b is classed by its top three bits (b AND 0xE0):
//   0x00  b + 1 zero bytes (1-32)
//   0x20  one byte (b AND 15) * 16; bit 4 plays no part
//   0x40  with the next byte n: (b AND 31) * 256 + n + 1 zero bytes (1-8192)
//   0x60  one byte (b AND 15) * 16 + 15
//   0x80  (b AND 31) + 1 bytes of 255 (1-32)
//   0xA0  nothing
//   0xC0  the (b AND 31) + 1 bytes after it, copied (1-32)
//   0xE0  nothing
#pragma once

#include <stddef.h>
#include <stdint.h>

constexpr size_t kLongestRun = 8192;  // bytes one control byte may write
constexpr size_t kCarryArea = 16384;  // bytes after a piece's planes that take a run's overshoot

// Expands control bytes from *cursor (the stream ends at end) into dest until
// at least count bytes are written, and moves *cursor past what it consumed.
// Returns the bytes written: up to kLongestRun - 1 more than count, so dest
// needs room for count + kLongestRun - 1 bytes. Fewer than count means the
// stream ran out (a control byte whose operands are missing is not consumed).
// With zeroed set, dest is known to hold zeros already, and zero runs are
// skipped instead of written.
size_t ExpandRuns(uint8_t *dest, const uint8_t **cursor, const uint8_t *end, size_t count, bool zeroed = false);

// Fills one piece's planes: planes holds planeBytes bytes followed by the
// carry area, and *carry bytes of the previous piece's last run wait at the
// carry area's start (0 before the first piece). Moves them to the start,
// expands runs after them, and leaves the new overshoot at the carry area's
// start with its length in *carry. False when the stream ends first. With
// zeroed set, everything but the waiting carry holds zeros, and only the bytes
// that are not zero are written; the carry area past the new carry is left
// zero, so that the buffer serves the next piece once its planes are cleared.
bool FillPiecePlanes(uint8_t *planes, size_t planeBytes, size_t *carry, const uint8_t **cursor,
                     const uint8_t *end, bool zeroed = false);

// A place in the control bytes: the control byte at `at`, of whose bytes the
// first `done` are already taken. Pieces, planes and blocks start in the
// middle of a run as often as not.
struct RunCursor {
    const uint8_t *at;
    size_t done;
};

// Takes exactly count bytes from the cursor into dest (a null dest takes them
// without writing, to move the cursor on) and returns count; fewer when the
// stream ends first (a control byte whose operands are missing is not
// consumed). With zeroed set, dest holds zeros already and zero runs are
// skipped. Writes nothing past dest + count.
size_t TakeRuns(RunCursor *cursor, const uint8_t *end, uint8_t *dest, size_t count, bool zeroed);
