#include "game/app.h"
#include "runtime/core/paths.h"

int main(int argc, const char** argv) {
  // Without its data the game would open a window with no pictures.
  if (!bb_paths_Setup()) return 1;
  BBTarvexGame::Main(argc, argv, GAME_SEAMS);
  return 0;
}
