// Art and palettes for tests, made by the art encoder: what the installer puts
// in the Windows folder's "ZORVA" for each colour word.
#pragma once

#include "tests/testart_data.h"

#include <string>

// A 256 x 192 art file of TestPicture.
const std::string &TestArtBytes();
// Writes <COLOR>.ART (TestArtBytes) and <COLOR>.tr (TestPaletteText) for the
// five colour words.
void InstallTestArt();
