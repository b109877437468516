// The host backend's registry: a tree of keys in memory. Key and value names
// ignore case; a handle remembers its root, its path and its access rights.
// Texts are stored as the system stores them, in UTF-16 with their zero.
#include "platform/host/host_internal.h"
#include "platform/unicode.h"

#include <string.h>

struct PlatKeyRec {
    RegRoot root;
    std::string path;
    unsigned access;
};

const char *RootName(RegRoot root)
{
    static const char *const names[] = {"HKCU", "HKCR", "HKLM"};
    return names[root];
}

void HostResetRegistry(HostMachine &m)
{
    for (RegNode &r : m.roots) {
        r.values.clear();
        r.children.clear();
    }
}

static std::vector<std::string> SplitKeyPath(const char *path)
{
    std::vector<std::string> parts;
    std::string part;
    for (const char *p = path ? path : ""; ; p++) {
        if (*p == '\\' || *p == 0) {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
            if (*p == 0)
                break;
        } else {
            part += *p;
        }
    }
    return parts;
}

static RegNode *FindChild(RegNode *node, const std::string &name)
{
    for (auto &c : node->children)
        if (SameText(c->name, name))
            return c.get();
    return nullptr;
}

// The node at path below top; with create, missing keys are made on the way.
static RegNode *FindNodeIn(RegNode *top, const std::string &path, bool create)
{
    RegNode *node = top;
    for (const std::string &part : SplitKeyPath(path.c_str())) {
        RegNode *child = FindChild(node, part);
        if (!child) {
            if (!create)
                return nullptr;
            node->children.push_back(std::make_unique<RegNode>());
            child = node->children.back().get();
            child->name = part;
        }
        node = child;
    }
    return node;
}

static RegNode *FindNode(RegRoot root, const std::string &path, bool create)
{
    return FindNodeIn(&Machine().roots[root], path, create);
}

static std::string KeyName(RegRoot root, const std::string &path)
{
    return std::string(RootName(root)) + "\\" + path;
}

static long OpenKey(RegRoot root, const char *path, unsigned access, PlatKey *key, bool create)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    *key = nullptr;
    std::string p = path ? path : "";
    if (HostFaultNow((create ? "RegistryCreate " : "RegistryOpen ") + KeyName(root, p)))
        return kErrorAccessDenied;
    if (!FindNode(root, p, create)) {
        HostEvent("reg open " + KeyName(root, p) + " (missing)");
        return kErrorFileNotFound;
    }
    if (create)
        HostEvent("reg create " + KeyName(root, p));
    *key = new PlatKeyRec{root, p, access};
    return kErrorSuccess;
}

long RegistryOpen(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    return OpenKey(root, path, access, key, false);
}

long RegistryCreate(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    return OpenKey(root, path, access, key, true);
}

// A stored text up to its first zero, as UTF-8; false when the bytes are not
// UTF-16.
static bool StoredText(const uint8_t *bytes, uint32_t size, std::string *text)
{
    std::u16string units;
    for (uint32_t i = 0; i + 1 < size; i += 2) {
        char16_t unit = (char16_t)(bytes[i] | bytes[i + 1] << 8);
        if (unit == 0)
            break;
        units.push_back(unit);
    }
    return Utf16ToUtf8(units.data(), units.size(), text);
}

static std::vector<uint8_t> TextBytes(const std::u16string &units)
{
    std::vector<uint8_t> bytes;
    for (char16_t unit : units) {
        bytes.push_back((uint8_t)unit);
        bytes.push_back((uint8_t)(unit >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

static std::string ValueText(unsigned type, const void *data, uint32_t size)
{
    const char *bytes = (const char *)data;
    std::string text;
    if ((type == kRegSz || type == kRegExpandSz) && StoredText((const uint8_t *)data, size, &text))
        return (type == kRegExpandSz ? "expand \"" : "\"") + text + "\"";
    std::string hex;
    char two[4];
    for (uint32_t i = 0; i < size; i++) {
        snprintf(two, sizeof two, "%02x", (unsigned char)bytes[i]);
        hex += two;
    }
    return "hex(" + std::to_string(type) + "):" + hex;
}

// The key of an open handle for one call on a value, checked as the system
// checks it: the handle, its access, the fault injection (the call is named
// for the log), and the key still there. Under the machine's lock.
static long KeyForCall(PlatKey key, unsigned access, const char *call, const char *name, RegNode **node)
{
    if (!key)
        return 6;  // ERROR_INVALID_HANDLE
    if (!(key->access & access))
        return kErrorAccessDenied;
    if (HostFaultNow(std::string(call) + " " + KeyName(key->root, key->path) + " [" + (name ? name : "") + "]"))
        return kErrorAccessDenied;
    *node = FindNode(key->root, key->path, false);
    return *node ? kErrorSuccess : 1018;  // ERROR_KEY_DELETED
}

// The value of a key's node with this name (null: the default value), or
// null when there is none.
static RegValue *FindValue(RegNode *node, const char *name)
{
    for (RegValue &v : node->values)
        if (SameText(v.name, name ? name : ""))
            return &v;
    return nullptr;
}

long RegistrySetValue(PlatKey key, const char *name, unsigned type, const void *data, uint32_t size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    RegNode *node;
    if (long rc = KeyForCall(key, kKeySetValue, "RegistrySetValue", name, &node))
        return rc;
    std::string valueName = name ? name : "";
    RegValue *slot = FindValue(node, name);
    if (!slot) {
        node->values.push_back(RegValue{valueName, type, {}});
        slot = &node->values.back();
    }
    slot->type = type;
    slot->data.assign((const uint8_t *)data, (const uint8_t *)data + size);
    HostEvent("reg set " + KeyName(key->root, key->path) + " [" + valueName + "] = " +
              ValueText(type, data, size));
    return kErrorSuccess;
}

long RegistrySetText(PlatKey key, const char *name, const char *text, unsigned type)
{
    std::u16string units;
    if ((type != kRegSz && type != kRegExpandSz) || !text || !Utf8ToUtf16(text, &units))
        return kErrorInvalidParameter;
    std::vector<uint8_t> bytes = TextBytes(units);
    return RegistrySetValue(key, name, type, bytes.data(), (uint32_t)bytes.size());
}

long RegistryQuery(PlatKey key, const char *name, void *data, uint32_t *size, unsigned *type)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    RegNode *node;
    if (long rc = KeyForCall(key, kKeyQueryValue, "RegistryQuery", name, &node))
        return rc;
    const RegValue *v = FindValue(node, name);
    if (!v)
        return kErrorFileNotFound;
    uint32_t stored = (uint32_t)v->data.size();
    if (type)
        *type = v->type;
    if (data && stored > *size) {
        *size = stored;
        return kErrorMoreData;
    }
    if (data)
        memcpy(data, v->data.data(), stored);
    *size = stored;
    return kErrorSuccess;
}

long RegistryQueryText(PlatKey key, const char *name, char *text, uint32_t *size, unsigned *type)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (*size > 0)
        text[0] = 0;
    uint32_t stored = 0;
    long rc = RegistryQuery(key, name, nullptr, &stored);
    if (rc != kErrorSuccess)
        return rc;
    // The query above found the key and the value, under the same lock.
    const RegValue *v = FindValue(FindNode(key->root, key->path, false), name);
    if (v->type != kRegSz && v->type != kRegExpandSz)
        return kErrorUnsupportedType;
    std::string utf8;
    if (!StoredText(v->data.data(), (uint32_t)v->data.size(), &utf8))
        return 13;  // ERROR_INVALID_DATA
    if (type)
        *type = v->type;
    if (utf8.size() + 1 > *size) {
        *size = (uint32_t)utf8.size() + 1;
        return kErrorMoreData;
    }
    memcpy(text, utf8.c_str(), utf8.size() + 1);
    *size = (uint32_t)utf8.size() + 1;
    return kErrorSuccess;
}

long RegistryDeleteValue(PlatKey key, const char *name)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    RegNode *node;
    if (long rc = KeyForCall(key, kKeySetValue, "RegistryDeleteValue", name, &node))
        return rc;
    RegValue *v = FindValue(node, name);
    if (!v)
        return kErrorFileNotFound;
    node->values.erase(node->values.begin() + (v - node->values.data()));
    HostEvent("reg delete " + KeyName(key->root, key->path) + " [" + (name ? name : "") + "]");
    return kErrorSuccess;
}

long RegistryFlush(PlatKey key)
{
    if (!key)
        return 6;
    if (HostFaultNow("RegistryFlush " + KeyName(key->root, key->path)))
        return kErrorAccessDenied;
    HostEvent("reg flush " + KeyName(key->root, key->path));
    return kErrorSuccess;
}

long RegistryClose(PlatKey key)
{
    if (!key)
        return 6;
    long rc = HostFaultNow("RegistryClose " + KeyName(key->root, key->path)) ? 6 : kErrorSuccess;
    HostEvent("reg close " + KeyName(key->root, key->path));
    delete key;
    return rc;
}

long RegistryDeleteTree(RegRoot root, const char *path)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty())
        return kErrorAccessDenied;
    std::string last = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const std::string &p : parts)
        parentPath += p + "\\";
    RegNode *parent = FindNode(root, parentPath, false);
    if (!parent)
        return kErrorFileNotFound;
    for (auto it = parent->children.begin(); it != parent->children.end(); ++it)
        if (SameText((*it)->name, last)) {
            parent->children.erase(it);
            return kErrorSuccess;
        }
    return kErrorFileNotFound;
}

static void Seed(HostMachine &m, RegRoot root, const char *path, const char *name, const char *text)
{
    RegNode *node = FindNodeIn(&m.roots[root], path, true);
    std::u16string units;
    if (name && Utf8ToUtf16(text, &units))
        node->values.push_back(RegValue{name, kRegSz, TextBytes(units)});
}

// The keys and values that a freshly made Wine prefix holds for what this
// program reads and writes: colours, desktop, window metrics, one sound event
// and the Recycle Bin's icon. No cursor, appearance or sound-scheme keys.
void HostSeedRegistry(HostMachine &m)
{
    static const char *const colors[][2] = {
        {"ActiveBorder", "255 255 255"}, {"ActiveTitle", "50 150 250"}, {"AppWorkSpace", "128 128 128"},
        {"Background", "37 111 149"}, {"ButtonAlternateFace", "255 255 255"}, {"ButtonDkShadow", "106 106 106"},
        {"ButtonFace", "245 245 245"}, {"ButtonHilight", "255 255 255"}, {"ButtonLight", "227 227 227"},
        {"ButtonShadow", "166 166 166"}, {"ButtonText", "0 0 0"}, {"GradientActiveTitle", "50 150 250"},
        {"GradientInactiveTitle", "128 128 128"}, {"GrayText", "166 166 166"}, {"Hilight", "48 150 250"},
        {"HilightText", "255 255 255"}, {"HotTrackingColor", "224 224 224"}, {"InactiveBorder", "255 255 255"},
        {"InactiveTitle", "128 128 128"}, {"InactiveTitleText", "200 200 200"}, {"InfoText", "0 0 0"},
        {"InfoWindow", "255 255 255"}, {"Menu", "255 255 255"}, {"MenuBar", "255 255 255"},
        {"MenuHilight", "48 150 250"}, {"MenuText", "0 0 0"}, {"Scrollbar", "255 255 255"},
        {"TitleText", "0 0 0"}, {"Window", "255 255 255"}, {"WindowFrame", "158 158 158"},
        {"WindowText", "0 0 0"}};
    for (auto &c : colors)
        Seed(m, kRegCurrentUser, "Control Panel\\Colors", c[0], c[1]);
    static const char *const desktop[][2] = {
        {"DragFullWindows", "0"}, {"FontSmoothing", "2"}, {"IconTitleWrap", "1"},
        {"MenuShowDelay", "400"}, {"Wallpaper", ""}, {"WheelScrollLines", "3"}};
    for (auto &d : desktop)
        Seed(m, kRegCurrentUser, "Control Panel\\Desktop", d[0], d[1]);
    static const char *const metrics[][2] = {
        {"BorderWidth", "1"}, {"CaptionHeight", "18"}, {"CaptionWidth", "18"}, {"IconSpacing", "-1125"},
        {"IconTitleWrap", "1"}, {"IconVerticalSpacing", "-1125"}, {"MenuHeight", "18"}, {"MenuWidth", "18"},
        {"ScrollHeight", "17"}, {"ScrollWidth", "17"}, {"SmCaptionHeight", "15"}, {"SmCaptionWidth", "15"}};
    for (auto &w : metrics)
        Seed(m, kRegCurrentUser, "Control Panel\\Desktop\\WindowMetrics", w[0], w[1]);
    Seed(m, kRegCurrentUser, "AppEvents\\Schemes\\Apps\\Explorer\\Navigating\\.Current", "", "");
    Seed(m, kRegCurrentUser, "Software", nullptr, nullptr);
    Seed(m, kRegClassesRoot, "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}", nullptr, nullptr);
    Seed(m, kRegClassesRoot, "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}", nullptr, nullptr);
    Seed(m, kRegClassesRoot, "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon", "",
         "C:\\windows\\system32\\shell32.dll,-33");
}
