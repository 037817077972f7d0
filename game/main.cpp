#include "runtime/app/app.h"

int main(int argc, const char** argv) {
  BBTarvexGame::Main(argc, argv);
  return 0;
}
