// The host backend's registry: a tree of keys in memory. Key and value names
// ignore case; a handle remembers its root, its path and its access rights.
#include "platform/host/host_internal.h"

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

// The node at root\path; with create, missing keys are made on the way.
static RegNode *FindNode(RegRoot root, const std::string &path, bool create)
{
    RegNode *node = &Machine().roots[root];
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

static std::string ValueText(unsigned type, const void *data, uint32_t size)
{
    const char *bytes = (const char *)data;
    if (type == kRegSz) {
        size_t n = size && bytes[size - 1] == 0 ? size - 1 : size;
        return "\"" + std::string(bytes, strnlen(bytes, n)) + "\"";
    }
    std::string hex;
    char two[4];
    for (uint32_t i = 0; i < size; i++) {
        snprintf(two, sizeof two, "%02x", (unsigned char)bytes[i]);
        hex += two;
    }
    return "hex(" + std::to_string(type) + "):" + hex;
}

long RegistrySetValue(PlatKey key, const char *name, unsigned type, const void *data, uint32_t size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!key)
        return 6;  // ERROR_INVALID_HANDLE
    if (!(key->access & kKeySetValue))
        return kErrorAccessDenied;
    RegNode *node = FindNode(key->root, key->path, false);
    if (!node)
        return 1018;  // ERROR_KEY_DELETED
    std::string valueName = name ? name : "";
    RegValue *slot = nullptr;
    for (RegValue &v : node->values)
        if (SameText(v.name, valueName))
            slot = &v;
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

long RegistrySetText(PlatKey key, const char *name, const char *text)
{
    return RegistrySetValue(key, name, kRegSz, text, (uint32_t)strlen(text) + 1);
}

long RegistryQuery(PlatKey key, const char *name, void *data, uint32_t *size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!key)
        return 6;
    if (!(key->access & kKeyQueryValue))
        return kErrorAccessDenied;
    RegNode *node = FindNode(key->root, key->path, false);
    if (!node)
        return 1018;
    std::string valueName = name ? name : "";
    for (RegValue &v : node->values) {
        if (!SameText(v.name, valueName))
            continue;
        uint32_t stored = (uint32_t)v.data.size();
        if (data && stored > *size) {
            *size = stored;
            return kErrorMoreData;
        }
        if (data)
            memcpy(data, v.data.data(), stored);
        *size = stored;
        return kErrorSuccess;
    }
    return kErrorFileNotFound;
}

long RegistryFlush(PlatKey key)
{
    if (!key)
        return 6;
    HostEvent("reg flush " + KeyName(key->root, key->path));
    return kErrorSuccess;
}

long RegistryClose(PlatKey key)
{
    if (!key)
        return 6;
    HostEvent("reg close " + KeyName(key->root, key->path));
    delete key;
    return kErrorSuccess;
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
