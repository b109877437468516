// The host backend's profile strings: real INI files, read and written with
// the rules of GetPrivateProfileStringW and WritePrivateProfileStringW. A file
// that starts with the UTF-16 byte-order mark holds UTF-16; any other holds
// the ANSI code page of a Western system (1252), where a letter outside it is
// written as "?", as the system writes it.
#include "platform/host/host_internal.h"
#include "platform/unicode.h"

#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

namespace {

struct IniLine {
    std::string key;    // empty with no value: a blank line
    std::string value;
    bool hasValue;
};

struct IniSection {
    std::string name;
    bool hasHeader;     // false only for lines before the first section
    std::vector<IniLine> lines;
};

std::string Trim(const std::string &s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return "";
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

// Code page 1252's characters 0x80-0x9F; the five it leaves free stand for
// the control characters of the same number, as the system maps them.
const char16_t kAnsiHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string AnsiToUtf8(const std::string &ansi)
{
    std::u16string units;
    for (unsigned char c : ansi)
        units.push_back(c >= 0x80 && c < 0xA0 ? kAnsiHigh[c - 0x80] : (char16_t)c);
    std::string utf8;
    Utf16ToUtf8(units.data(), units.size(), &utf8);
    return utf8;
}

// A text's UTF-16 units, a zero byte (which a damaged file may hold) kept as
// a zero unit.
std::u16string Utf16Of(const std::string &utf8)
{
    std::u16string units, part;
    for (size_t at = 0; at <= utf8.size();) {
        size_t zero = utf8.find('\0', at);
        if (zero == std::string::npos)
            zero = utf8.size();
        Utf8ToUtf16(utf8.substr(at, zero - at).c_str(), &part);
        units += part;
        if (zero < utf8.size())
            units.push_back(0);
        at = zero + 1;
    }
    return units;
}

std::string Utf8ToAnsi(const std::string &utf8)
{
    std::u16string units = Utf16Of(utf8);
    std::string ansi;
    for (size_t i = 0; i < units.size(); i++) {
        char16_t u = units[i];
        char c = '?';
        if (u < 0x80 || (u >= 0xA0 && u < 0x100))
            c = (char)u;
        else
            for (int k = 0; k < 32; k++)
                if (kAnsiHigh[k] == u)
                    c = (char)(0x80 + k);
        if (u >= 0xD800 && u <= 0xDBFF)
            i++;  // one "?" for the pair
        ansi.push_back(c);
    }
    return ansi;
}

// A UTF-16 file's text after its mark. A surrogate without its other half
// reads as U+FFFD, so that a damaged letter costs that letter alone.
std::string Utf16FileToUtf8(const std::string &bytes)
{
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units.push_back((char16_t)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
    for (size_t i = 0; i < units.size(); i++) {
        bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF, low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
            i++;
        else if (high || low)
            units[i] = 0xFFFD;
    }
    std::string utf8;
    Utf16ToUtf8(units.data(), units.size(), &utf8);
    return utf8;
}

bool IsUtf16File(const std::string &bytes)
{
    return bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE;
}

// A bare file name means a file in the Windows folder.
std::string ProfilePath(const char *file)
{
    std::string name = file;
    if (name.find_first_of("\\/:") == std::string::npos)
        name = std::string(kHostWindowsFolder) + "\\" + name;
    return HostPath(name.c_str());
}

std::vector<IniSection> ParseIni(const std::string &text)
{
    std::vector<IniSection> sections;
    sections.push_back(IniSection{"", false, {}});
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = Trim(text.substr(at, end - at));
        at = end + 1;
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            sections.push_back(IniSection{Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1)), true, {}});
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            sections.back().lines.push_back(IniLine{line, "", false});
        else
            sections.back().lines.push_back(IniLine{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), true});
    }
    return sections;
}

// The last parse of each file, with the bytes it was made from. A read still
// reads the whole file, and parses it again whenever its bytes differ, so a
// file changed behind the profile functions' back reads as it is now.
struct ParsedIni {
    std::string text;
    bool utf16;
    std::vector<IniSection> sections;
};
std::map<std::string, ParsedIni> Parsed;
std::string ReadBuffer;  // reused, under the machine's lock

// The whole file; false when it cannot be opened.
bool ReadWhole(const std::string &path, std::string *text)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    text->clear();
    struct stat st;
    if (fstat(fd, &st) == 0 && st.st_size > 0)
        text->reserve((size_t)st.st_size);
    char chunk[4096];
    ssize_t n;
    while ((n = read(fd, chunk, sizeof chunk)) > 0)
        text->append(chunk, (size_t)n);
    close(fd);
    return true;
}

// The file's sections (empty when there is no file) and its encoding. Valid
// until the next call, under the machine's lock.
const ParsedIni &LoadIni(const std::string &path)
{
    static const ParsedIni kNone{"", false, {}};
    if (!ReadWhole(path, &ReadBuffer))
        return kNone;
    auto it = Parsed.find(path);
    if (it != Parsed.end() && it->second.text == ReadBuffer)
        return it->second;
    if (Parsed.size() >= 64)
        Parsed.clear();
    ParsedIni &entry = Parsed[path];
    entry.utf16 = IsUtf16File(ReadBuffer);
    entry.sections = ParseIni(entry.utf16 ? Utf16FileToUtf8(ReadBuffer) : AnsiToUtf8(ReadBuffer));
    entry.text.swap(ReadBuffer);
    return entry;
}

// Rewrites the whole file, as the profile functions do. The drive gives what
// the file grows by; when that is more than is free, the rewrite stops where
// the disk filled up and the file stays cut there. *grown: the bytes taken.
bool SaveIni(const std::string &path, const std::vector<IniSection> &sections, bool utf16, long long *grown)
{
    std::string utf8;
    for (const IniSection &s : sections) {
        if (s.hasHeader)
            utf8 += "[" + s.name + "]\r\n";
        for (const IniLine &l : s.lines)
            utf8 += l.key + (l.hasValue ? "=" + l.value : "") + "\r\n";
    }
    std::string text;
    if (utf16) {
        std::u16string units = Utf16Of(utf8);
        text.reserve(2 + 2 * units.size());
        text = "\xFF\xFE";
        for (char16_t u : units) {
            text.push_back((char)(u & 0xFF));
            text.push_back((char)(u >> 8));
        }
    } else {
        text = Utf8ToAnsi(utf8);
    }
    HostMachine &m = Machine();
    struct stat st;
    long long before = stat(path.c_str(), &st) == 0 ? (long long)st.st_size : 0;
    size_t fits = text.size();
    if (m.diskSpace >= 0 && (long long)text.size() > before + m.diskSpace)
        fits = (size_t)(before + m.diskSpace);
    FILE *f = fopen(path.c_str(), "wb");
    *grown = 0;
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, fits, f) == text.size();
    ok = fclose(f) == 0 && ok;
    *grown = (long long)fits > before ? (long long)fits - before : 0;
    if (m.diskSpace >= 0)
        m.diskSpace -= *grown;
    return ok;
}

template <typename Sections>
auto FindSection(Sections &sections, const char *name) -> decltype(&sections[0])
{
    std::string wanted = Trim(name);
    for (auto &s : sections)
        if (s.hasHeader && SameText(s.name, wanted))
            return &s;
    return nullptr;
}

template <typename Section>
auto FindKey(Section &s, const char *key) -> decltype(&s.lines[0])
{
    std::string wanted = Trim(key);
    for (auto &l : s.lines)
        if (!l.key.empty() && SameText(l.key, wanted))
            return &l;
    return nullptr;
}

}  // namespace

unsigned ProfileGetString(const char *section, const char *key, const char *defaultText,
                          char *buf, unsigned size, const char *file)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (size == 0)
        return 0;
    buf[0] = 0;
    std::u16string check;
    if (!Utf8ToUtf16(section, &check) || !Utf8ToUtf16(key, &check) || !Utf8ToUtf16(file, &check) ||
        (defaultText && !Utf8ToUtf16(defaultText, &check)))
        return 0;
    std::string value = defaultText ? defaultText : "";
    value.erase(value.find_last_not_of(' ') + 1);  // trailing blanks of the default go
    const std::vector<IniSection> &sections = LoadIni(ProfilePath(file)).sections;
    if (const IniSection *s = FindSection(sections, section))
        if (const IniLine *l = FindKey(*s, key)) {
            value = l->value;
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
                value = value.substr(1, value.size() - 2);
        }
    if (value.size() >= size)
        return (unsigned)value.size();  // refused: buf stays ""
    memcpy(buf, value.c_str(), value.size() + 1);
    return (unsigned)value.size();
}

bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::u16string check;
    if (!Utf8ToUtf16(section, &check) || !Utf8ToUtf16(key, &check) || !Utf8ToUtf16(file, &check) ||
        (value && !Utf8ToUtf16(value, &check)))
        return false;
    if (HostFaultNow(std::string("ProfileWriteString ") + file + " [" + section + "] " + key))
        return false;
    std::string path = ProfilePath(file);
    const ParsedIni &before = LoadIni(path);
    bool utf16 = before.utf16;
    std::vector<IniSection> sections = before.sections;
    if (sections.empty())
        sections.push_back(IniSection{"", false, {}});
    IniSection *s = FindSection(sections, section);
    if (!s) {
        if (!value)
            return true;
        sections.push_back(IniSection{Trim(section), true, {}});
        s = &sections.back();
    }
    IniLine *l = FindKey(*s, key);
    if (!value) {
        if (l)
            s->lines.erase(s->lines.begin() + (l - s->lines.data()));
    } else if (l) {
        l->value = Trim(value);
        l->hasValue = true;
    } else {
        // A new key goes after the section's last key, before its blank lines.
        size_t at = s->lines.size();
        while (at > 0 && s->lines[at - 1].key.empty() && !s->lines[at - 1].hasValue)
            at--;
        s->lines.insert(s->lines.begin() + at, IniLine{Trim(key), Trim(value), true});
    }
    long long grown;
    bool ok = SaveIni(path, sections, utf16, &grown);
    HostEvent(std::string("profile write ") + file + " [" + section + "] " + key + " = " +
              (value ? "\"" + std::string(value) + "\"" : "(deleted)") + (ok ? "" : " (failed)") + " +" +
              std::to_string(grown) + " bytes");
    return ok;
}
