// Helpers of the graphics tests (and the renderer benchmark): PNG files
// written on the fly, RGBA images, and pixels read back from the window.
#pragma once

#include <string>
#include <vector>

#include "tests/support/test_game.h"

using zephrine_test::Game;
using zephrine_test::TestGame;

// Writes an 8-bit PNG of `depth` channels into the tests' scratch folder and
// returns its absolute path.
std::string WritePng(const std::string& name, int width, int height, int depth, const std::vector<unsigned char>& pixels);
// The scratch folder (absolute, created on first use).
std::string ScratchDir();

// A w x h RGBA image filled with one colour.
std::vector<unsigned char> SolidRgba(int width, int height, unsigned char r, unsigned char g, unsigned char b,
                                     unsigned char a = 255);
// Sets one pixel of an RGBA image.
void PutRgba(std::vector<unsigned char>& image, int width, int x, int y, unsigned char r, unsigned char g,
             unsigned char b, unsigned char a = 255);

// The window pixel at (x, y), y from the top, as 0xRRGGBB (alpha dropped:
// the window may have no alpha channel).
unsigned int Rgb(int x, int y);
