// Art and palettes for tests, made by the art encoder: what the installer puts
// in the Windows folder's "ZORVA" for each colour word.
#pragma once

#include <string>

// A 256 x 192 art file of soft gradients and a disc.
const std::string &TestArtBytes();
// The 64 colours with two bits a channel, each with the path of its own bits.
std::string TestPaletteText();
// Writes <COLOR>.ART and <COLOR>.tr for the five colour words.
void InstallTestArt();
