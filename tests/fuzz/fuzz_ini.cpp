// Any bytes as an INI file to the host backend's profile functions, in the
// ANSI code page or, after the UTF-16 mark, in UTF-16. A read ends with a zero
// at its length, or is refused whole when it does not fit; a write of one key
// leaves every other value as it read before and reads back as written.
#include "tests/fuzz/fuzz_support.h"

#include "platform/host/host.h"
#include "platform/system.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <string>
#include <vector>

static const char kFile[] = "C:\\fuzz.ini";

// Names as the profile functions match them: blanks around them do not count,
// nor does the case of letters.
static bool SameName(const std::string &a, const char *b)
{
    size_t first = a.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return !*b;
    size_t last = a.find_last_not_of(" \t\r\n");
    std::string trimmed = a.substr(first, last - first + 1);
    return strcasecmp(trimmed.c_str(), b) == 0;
}

[[noreturn]] static void Fail(const char *what, const std::string &section, const std::string &key)
{
    fprintf(stderr, "fuzz_ini: %s: [%s] %s\n", what, section.c_str(), key.c_str());
    abort();
}

static std::string Read(const std::string &section, const std::string &key)
{
    std::vector<char> buf(512);
    unsigned n;
    for (;;) {
        memset(buf.data(), 0x5A, buf.size());
        n = ProfileGetString(section.c_str(), key.c_str(), "(none)  ", buf.data(), (unsigned)buf.size(), kFile);
        if (n < buf.size())
            break;
        if (buf[0] != 0)
            Fail("a value too long for its buffer is not refused", section, key);
        buf.resize((size_t)n + 1);
    }
    if (buf[n] != 0 || strlen(buf.data()) > n)
        Fail("a read is not ended by a zero at its length", section, key);
    // The same read into 5 bytes is the whole value, or nothing and its length.
    char small[5];
    memset(small, 0x5A, sizeof small);
    unsigned again = ProfileGetString(section.c_str(), key.c_str(), "(none)  ", small, sizeof small, kFile);
    bool whole = again < sizeof small && strcmp(small, buf.data()) == 0;
    bool refused = again >= sizeof small && again == n && small[0] == 0;
    if (again != n || !(whole || refused))
        Fail("a read into a small buffer is neither whole nor refused", section, key);
    return std::string(buf.data(), n);
}

// The section and key names of the file's first lines, as the names a reader
// asks for.
static void NamesOf(const uint8_t *data, size_t size, std::vector<std::string> *sections,
                    std::vector<std::string> *keys)
{
    std::string text((const char *)data, size);
    size_t at = 0;
    while (at < text.size() && sections->size() + keys->size() < 8) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        line = line.substr(0, strlen(line.c_str()));  // as a C string
        if (!line.empty() && line[0] == '[') {
            size_t close = line.find(']');
            sections->push_back(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else if (line.find('=') != std::string::npos) {
            keys->push_back(line.substr(0, line.find('=')));
        }
    }
    // Every value read twice for each section and key: a few of each keep an
    // input at a fraction of a millisecond.
    const size_t kMostNames = 12;
    if (sections->size() > kMostNames)
        sections->resize(kMostNames);
    if (keys->size() > kMostNames)
        keys->resize(kMostNames);
    sections->push_back("Fuzz Section");
    keys->push_back("FuzzKey");
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzMachineSetUp();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzWriteFile(kFile, data, size);
    std::vector<std::string> sections, keys;
    NamesOf(data, size, &sections, &keys);
    std::vector<std::string> before;
    for (const std::string &s : sections)
        for (const std::string &k : keys)
            before.push_back(Read(s, k));

    if (!ProfileWriteString("Fuzz Section", "FuzzKey", "a value", kFile))
        Fail("a write failed", "Fuzz Section", "FuzzKey");
    if (Read("Fuzz Section", "FuzzKey") != "a value")
        Fail("a written value does not read back", "Fuzz Section", "FuzzKey");
    size_t i = 0;
    for (const std::string &s : sections)
        for (const std::string &k : keys) {
            std::string now = Read(s, k);
            bool written = SameName(s, "Fuzz Section") && SameName(k, "FuzzKey");
            if (!written && now != before[i])
                Fail(("a write changed another value: \"" + before[i] + "\" became \"" + now + "\"").c_str(), s, k);
            i++;
        }
    HostClearEvents();  // so that an input frees what it made
    return 0;
}
