// Samples: decoded sounds held in OpenAL buffers. Local to the audio folder
// (and its tests); the game holds samples only through c_Sound.
#pragma once

#include "audio/audio.h"

// One decoded sound held in an OpenAL buffer, shared by every play of it.
class gxtkSample : public Object {
 public:
  gxtkSample() = default;
  explicit gxtkSample(unsigned buffer) : buffer(buffer) {}
  // Prints "Discarding sample" and queues the buffer for deletion.
  ~gxtkSample() override;

  // The OpenAL buffer name; 0 = none.
  unsigned buffer = 0;

  // Takes over `buffer` (the previous one is not deleted).
  void SetBuffer(unsigned buffer);
  // Queues the buffer for deletion once no source plays it; silent.
  void Discard();
};
