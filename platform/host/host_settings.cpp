// The host backend's live settings: SystemParametersInfo, the system
// colours, the WM_WININICHANGE broadcast and the shell's notice, recorded in
// the machine's live state and event log for tests to read. Apart from the
// machine because these are the calls the install makes, the rest is set-up.
#include "platform/host/host_internal.h"

#include <stdio.h>

static void WriteDesktopValue(const char *name, const char *text)
{
    HostFaultsHeld inner;  // the system's own write, not the program's call
    PlatKey key;
    if (RegistryCreate(kRegCurrentUser, "Control Panel\\Desktop", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, name, text);
        RegistryClose(key);
    }
}

// A metrics record read from or written to the live one, as the system does
// it: only when the caller's record states its own size in cbSize.
template <class Record>
static bool MetricsCall(bool get, Record *record, Record *live)
{
    if (!record || record->cbSize != sizeof(Record))
        return false;
    if (get)
        *record = *live;
    else
        *live = *record;
    return true;
}

bool SystemParameters(unsigned action, unsigned param, void *pointer, unsigned flags)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    HostEvent("spi " + std::to_string(action) + " param " + std::to_string(param) + " flags " +
              std::to_string(flags) +
              (action == kSpiSetDeskWallpaper && pointer ? " \"" + std::string((const char *)pointer) + "\"" : ""));
    bool ok = true;
    switch (action) {
    case kSpiSetDeskWallpaper:
        m.live.wallpaper = pointer ? (const char *)pointer : "";
        if (flags & kSpifUpdateIniFile)
            WriteDesktopValue("Wallpaper", m.live.wallpaper.c_str());
        break;
    case kSpiSetScreenSaveActive:
        m.live.screenSaveActive = param != 0;
        if (flags & kSpifUpdateIniFile)
            WriteDesktopValue("ScreenSaveActive", param ? "1" : "0");
        break;
    case kSpiGetIconMetrics:
    case kSpiSetIconMetrics:
        ok = MetricsCall(action == kSpiGetIconMetrics, (IconMetricsRecord *)pointer, &m.live.iconMetrics);
        break;
    case kSpiGetNonclientMetrics:
    case kSpiSetNonclientMetrics:
        ok = MetricsCall(action == kSpiGetNonclientMetrics, (NonclientMetricsRecord *)pointer,
                         &m.live.nonclientMetrics);
        break;
    case kSpiSetCursors:
        m.live.cursorReloads++;
        break;
    case kSpiSetIcons:
        m.live.iconReloads++;
        break;
    default:
        ok = false;
    }
    return ok;
}

bool HighContrastOn()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.live.highContrast;
}

bool SysColorsSet(int count, const int *elements, const uint32_t *colors)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string line = "syscolors " + std::to_string(count);
    char item[32];
    for (int i = 0; i < count; i++) {
        if (elements[i] >= 0 && elements[i] < 31)
            m.live.sysColors[elements[i]] = colors[i] & 0xFFFFFF;
        snprintf(item, sizeof item, " %d=%06x", elements[i], (unsigned)(colors[i] & 0xFFFFFF));
        line += item;
    }
    HostEvent(line);
    return true;
}

uint32_t SysColorGet(int element)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return element >= 0 && element < 31 ? m.live.sysColors[element] : 0;
}

void BroadcastIniChange(unsigned action, const char *text)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string line = std::to_string(action) + (text ? " " + std::string(text) : "");
    m.live.broadcasts.push_back(line);
    HostEvent("broadcast WM_WININICHANGE " + line);
}

void ShellNotify(long event)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.shellNotifications.push_back(event);
    char line[48];
    snprintf(line, sizeof line, "shell notify 0x%08lx", (unsigned long)event);
    HostEvent(line);
}
