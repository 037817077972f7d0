// The smallest runtime game object the audio code needs: file paths map
// as on the desktop and sound files decode through the audio subsystem.
#pragma once

#include "audio/audio.h"

class AudioTestGame : public BBGame {
 public:
  String PathToFilePath(const String& path) override { return bb_data_MapVirtualPath(path); }
  unsigned char* LoadAudioData(const String& path, int* length, int* channels, int* format, int* hertz) override {
    return gxtkDecodeAudioFile(this, path, length, channels, format, hertz);
  }
};

// Runs collector cycles until every unreachable object is destroyed.
inline void CollectAllGarbage() {
  for (int cycle = 0; cycle < 2; ++cycle) {
    gc_ext_malloced(GC_CYCLE_BYTES + 1);
    gc_collect();
  }
  while (gc_counts().free_list) new Object;
}
