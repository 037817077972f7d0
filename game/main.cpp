#include "game/app.h"

int main(int argc, const char** argv) {
  BBTarvexGame::Main(argc, argv, GAME_SEAMS);
  return 0;
}
