#include "decoder/runs.h"

#include <string.h>

size_t TakeRuns(RunCursor *cursor, const uint8_t *end, uint8_t *dest, size_t count, bool zeroed)
{
    const uint8_t *s = cursor->at;
    size_t done = cursor->done, written = 0;
    while (written < count && s < end) {
        unsigned b = *s;
        size_t n, operands = 0;  // bytes of the run, and bytes after the control byte
        int kind = (int)(b & 0xE0);
        switch (kind) {
        case 0x00: n = b + 1; break;
        case 0x40:
            if (end - s < 2)
                goto out;
            n = (b & 31) * 256 + s[1] + 1;
            operands = 1;
            break;
        case 0x20:
        case 0x60: n = 1; break;
        case 0x80: n = (b & 31) + 1; break;
        case 0xC0:
            n = (b & 31) + 1;
            if ((size_t)(end - s - 1) < n)
                goto out;
            operands = n;
            break;
        default: n = 0; break;  // 0xA0 and 0xE0 write nothing
        }
        size_t take = n - done < count - written ? n - done : count - written;
        if (dest && take) {
            uint8_t *d = dest + written;
            switch (kind) {
            case 0x00:
            case 0x40:
                if (!zeroed)
                    memset(d, 0, take);
                break;
            case 0x20: *d = (uint8_t)((b & 15) * 16); break;
            case 0x60: *d = (uint8_t)((b & 15) * 16 + 15); break;
            case 0x80: memset(d, 255, take); break;
            case 0xC0: memcpy(d, s + 1 + done, take); break;
            }
        }
        written += take;
        done += take;
        if (done == n) {
            s += 1 + operands;
            done = 0;
        }
    }
out:
    cursor->at = s;
    cursor->done = done;
    return written;
}
