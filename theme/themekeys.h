// The sections and keys of a theme file that both the installer reads and the
// backup writes: the registry keys of the settings, named alike in the file.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

constexpr int kColorCount = 25;
// The colour keys in the order read, written and passed to the system, with
// the system colour element each one sets.
extern const char *const kColorKeys[kColorCount];
extern const int kColorElements[kColorCount];

// The values of "Control Panel\Desktop" that a theme sets and a capture keeps.
extern const char *const kDesktopKeys[5];

extern const char *const kCursorKeys[14];
// Beside the cursors and the scheme's name (the key's default value), the
// value that tells where the scheme is kept: the user's own, the system's.
extern const char kCursorSchemeSource[];

// The 20 sound events under "AppEvents\Schemes\Apps\.Default"; the 21st is
// the Recycle Bin's, kEmptyBinSoundKey.
extern const char *const kSoundEvents[20];
extern const char kEmptyBinSoundKey[];
// The key whose default value names the sound scheme in use.
extern const char kSoundSchemes[];
// The key of sound event i (0-19), or of the Recycle Bin's (20), in out;
// false when it does not fit.
bool SoundEventKey(int i, char *out, size_t size);

// The icon keys of the three desktop objects under HKEY_CLASSES_ROOT, the
// machine's, which name their sections in theme files too.
extern const char kMyComputerIcon[];
extern const char kNetworkIcon[];
extern const char kRecycleBinIcon[];
// The same object's key of this user's own, under HKEY_CURRENT_USER: the
// shell reads a value there before the machine's.
std::string UserIconKey(const char *machineKey);

// Reads one decimal number the way "%d" scans it: leading white space, a sign,
// digits (wrapping modulo 2^32). Returns the position after it, or null when
// no digits follow.
const char *ScanDecimal(const char *p, uint32_t *value);
