#include "decoder/runs.h"

#include <string.h>

size_t ExpandRuns(uint8_t *dest, const uint8_t **cursor, const uint8_t *end, size_t count, bool zeroed)
{
    const uint8_t *s = *cursor;
    size_t written = 0;
    while (written < count && s < end) {
        unsigned b = *s;
        size_t n;
        switch (b & 0xE0) {
        case 0x00:
            n = b + 1;
            if (!zeroed)
                memset(dest + written, 0, n);
            written += n;
            break;
        case 0x20:
            dest[written++] = (uint8_t)((b & 15) * 16);
            break;
        case 0x40:
            if (end - s < 2)
                goto out;
            n = (b & 31) * 256 + s[1] + 1;
            if (!zeroed)
                memset(dest + written, 0, n);
            written += n;
            s++;
            break;
        case 0x60:
            dest[written++] = (uint8_t)((b & 15) * 16 + 15);
            break;
        case 0x80:
            n = (b & 31) + 1;
            memset(dest + written, 255, n);
            written += n;
            break;
        case 0xC0:
            n = (b & 31) + 1;
            if ((size_t)(end - s - 1) < n)
                goto out;
            memcpy(dest + written, s + 1, n);
            written += n;
            s += n;
            break;
        default:  // 0xA0 and 0xE0 write nothing
            break;
        }
        s++;
    }
out:
    *cursor = s;
    return written;
}

bool FillPiecePlanes(uint8_t *planes, size_t planeBytes, size_t *carry, const uint8_t **cursor,
                     const uint8_t *end, bool zeroed)
{
    size_t have = *carry;
    // A long zero run may cover more than one small piece: then the carry is
    // longer than the planes, and the two areas overlap.
    memmove(planes, planes + planeBytes, have);
    if (have >= planeBytes) {
        *carry = have - planeBytes;
        if (zeroed)
            memset(planes + have, 0, planeBytes);  // what the move left behind the carry
        return true;
    }
    if (zeroed)
        memset(planes + planeBytes, 0, have);  // where the carry waited
    size_t n = ExpandRuns(planes + have, cursor, end, planeBytes - have, zeroed);
    if (have + n < planeBytes)
        return false;
    *carry = have + n - planeBytes;
    return true;
}

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
