// The strict conversions of unicode.h, one UTF-8 decoder serving both
// directions and the count of UTF-16 units.
#include "platform/unicode.h"

#include <stdint.h>

// Decodes one UTF-8 sequence at p (before end); returns its length, or 0 when
// it is not a well-formed sequence.
static int DecodeUtf8(const unsigned char *p, const unsigned char *end, uint32_t *code)
{
    unsigned char lead = p[0];
    int length;
    uint32_t value, least;
    if (lead < 0x80) {
        *code = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (end - p < length)
        return 0;
    for (int i = 1; i < length; i++) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        value = value << 6 | (p[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return length;
}

// The UTF-16 units of a UTF-8 text: appended to out when it is not null,
// counted in *units. False when the text is not UTF-8.
static bool EncodeUtf16(const char *text, std::u16string *out, size_t *units)
{
    const unsigned char *p = (const unsigned char *)text;
    const unsigned char *end = p;
    while (*end)
        end++;
    *units = 0;
    while (p < end) {
        uint32_t code;
        int length = DecodeUtf8(p, end, &code);
        if (length == 0)
            return false;
        p += length;
        *units += code >= 0x10000 ? 2 : 1;
        if (!out)
            continue;
        if (code >= 0x10000) {
            code -= 0x10000;
            out->push_back((char16_t)(0xD800 + (code >> 10)));
            out->push_back((char16_t)(0xDC00 + (code & 0x3FF)));
        } else {
            out->push_back((char16_t)code);
        }
    }
    return true;
}

bool Utf8ToUtf16(const char *text, std::u16string *out)
{
    out->clear();
    size_t units;
    return EncodeUtf16(text, out, &units);
}

bool Utf16ToUtf8(const char16_t *text, size_t units, std::string *out)
{
    out->clear();
    for (size_t i = 0; i < units; i++) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (i + 1 >= units || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF)
                return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (code >= 0xDC00 && code <= 0xDFFF) {
            return false;
        }
        if (code < 0x80) {
            out->push_back((char)code);
        } else if (code < 0x800) {
            out->push_back((char)(0xC0 | code >> 6));
            out->push_back((char)(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            out->push_back((char)(0xE0 | code >> 12));
            out->push_back((char)(0x80 | (code >> 6 & 0x3F)));
            out->push_back((char)(0x80 | (code & 0x3F)));
        } else {
            out->push_back((char)(0xF0 | code >> 18));
            out->push_back((char)(0x80 | (code >> 12 & 0x3F)));
            out->push_back((char)(0x80 | (code >> 6 & 0x3F)));
            out->push_back((char)(0x80 | (code & 0x3F)));
        }
    }
    return true;
}

size_t Utf16Units(const char *text)
{
    size_t units;
    return EncodeUtf16(text, nullptr, &units) ? units : SIZE_MAX;
}
