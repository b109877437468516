#include "base/registrytext.h"

#include <vector>

long ReadRegistryText(PlatKey key, const char *name, std::string *text, unsigned *type)
{
    std::vector<char> buf(512);
    for (;;) {
        uint32_t size = (uint32_t)buf.size();
        long rc = RegistryQueryText(key, name, buf.data(), &size, type);
        if (rc == kErrorMoreData && size > buf.size()) {
            buf.resize(size);
            continue;
        }
        text->assign(rc == kErrorSuccess ? buf.data() : "");
        return rc;
    }
}

long ReadRegistryValue(PlatKey key, const char *name, std::string *bytes, unsigned *type)
{
    // The size first, then the bytes: a value can grow between the two.
    for (;;) {
        uint32_t size = 0;
        long rc = RegistryQuery(key, name, nullptr, &size, type);
        if (rc != kErrorSuccess) {
            bytes->clear();
            return rc;
        }
        bytes->assign(size, '\0');
        rc = RegistryQuery(key, name, size ? &(*bytes)[0] : nullptr, &size, type);
        if (rc == kErrorMoreData)
            continue;
        bytes->resize(rc == kErrorSuccess ? size : 0);
        return rc;
    }
}
