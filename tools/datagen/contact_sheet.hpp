// A review sheet: every image's smallest variant, labelled, on the game's
// background colour, magnified so small sprites can be judged.
#pragma once

#include <string>
#include <vector>

#include "raster.hpp"

namespace datagen {

struct ContactEntry {
  std::string label;
  const Sheet* image;  // not owned; must outlive the call
};

Sheet ComposeContactSheet(const std::vector<ContactEntry>& entries);

}  // namespace datagen
