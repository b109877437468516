#include "theme/themevalue.h"

#include "platform/system.h"

#include <stdint.h>
#include <strings.h>

#include <initializer_list>
#include <vector>

std::string ReadThemeValue(const char *section, const char *key, const char *defaultText, const char *file)
{
    std::vector<char> buf(512);
    for (;;) {
        unsigned length = ProfileGetString(section, key, defaultText, buf.data(), (unsigned)buf.size(), file);
        if (length < buf.size())
            return std::string(buf.data(), length);
        buf.resize((size_t)length + 1);
    }
}

std::string ThemeValueText(const std::string &text)
{
    if (text.empty())
        return text;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    char first = text.front(), last = text.back();
    bool quoted = text.size() >= 2 && (first == '"' || first == '\'') && last == first;
    return blank(first) || blank(last) || quoted ? "\"" + text + "\"" : text;
}

bool ThemeHasValue(const char *section, const char *key, const char *file)
{
    // A missing key gives the default; no value equals both defaults.
    return ReadThemeValue(section, key, "a", file) != "a" || ReadThemeValue(section, key, "b", file) != "b";
}

unsigned ReadThemeValueType(const char *section, const char *key, const char *file)
{
    std::string type = ReadThemeValue(section, ThemeTypeKey(key).c_str(), "", file);
    for (unsigned known : {kRegExpandSz, kRegDword, kRegBinary, kThemeNoValue})
        if (strcasecmp(type.c_str(), ThemeTypeText(known)) == 0)
            return known;
    return kRegSz;
}

std::string ThemeTypeKey(const char *key) { return std::string(key) + ".Type"; }

const char *ThemeTypeText(unsigned type)
{
    switch (type) {
    case kRegExpandSz: return "REG_EXPAND_SZ";
    case kRegDword: return "REG_DWORD";
    case kRegBinary: return "REG_BINARY";
    case kThemeNoValue: return "none";
    default: return nullptr;
    }
}

std::string ThemeDataText(unsigned type, const std::string &bytes)
{
    if (type == kRegDword) {
        uint32_t value = 0;
        for (size_t i = 0; i < 4 && i < bytes.size(); i++)
            value |= (uint32_t)(uint8_t)bytes[i] << (8 * i);
        return std::to_string(value);
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        if (!text.empty())
            text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ThemeDataBytes(unsigned type, const std::string &text, std::string *bytes)
{
    bytes->clear();
    if (type == kRegDword) {
        uint64_t value = 0;
        for (char c : text) {
            if (c < '0' || c > '9' || value > 0xFFFFFFFFu)
                return false;
            value = value * 10 + (uint64_t)(c - '0');
        }
        if (text.empty() || value > 0xFFFFFFFFu)
            return false;
        for (int i = 0; i < 4; i++)
            bytes->push_back((char)(value >> (8 * i) & 0xFF));
        return true;
    }
    // Pairs of hex digits, one blank between two pairs.
    for (size_t at = 0; at < text.size(); at += 3) {
        int high = HexDigit(text[at]), low = at + 1 < text.size() ? HexDigit(text[at + 1]) : -1;
        if (high < 0 || low < 0 || (at + 2 < text.size() && text[at + 2] != ' ') || at + 3 == text.size()) {
            bytes->clear();
            return false;
        }
        bytes->push_back((char)(high << 4 | low));
    }
    return true;
}
