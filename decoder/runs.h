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
