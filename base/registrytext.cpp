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
