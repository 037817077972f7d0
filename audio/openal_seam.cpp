#include "audio/openal_seam.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdlib>

#include "runtime/core/diag.h"

namespace openal {

namespace {

ALCdevice* open_device = nullptr;
ALCcontext* open_context = nullptr;

}  // namespace

// The game ends through exit(); closing the device then keeps OpenAL from
// complaining on the terminal about a device left open.
void Close() {
  if (!open_device) return;
  alcMakeContextCurrent(nullptr);
  if (open_context) alcDestroyContext(open_context);
  alcCloseDevice(open_device);
  open_device = nullptr;
  open_context = nullptr;
}

void Open(void** device, void** context) {
  *device = nullptr;
  *context = nullptr;
  ALCdevice* dev = alcOpenDevice(nullptr);
  if (!dev) {
    bbPrint(String("OpenAl error: alcOpenDevice failed"));
    return;
  }
  *device = dev;
  ALCcontext* ctx = alcCreateContext(dev, nullptr);
  if (!ctx) {
    bbPrint(String("OpenAl error: alcCreateContext failed"));
    return;
  }
  *context = ctx;
  if (!alcMakeContextCurrent(ctx)) bbPrint(String("OpenAl error: alcMakeContextCurrent failed"));
  static bool close_at_exit = std::atexit(Close) == 0;
  (void)close_at_exit;
  open_device = dev;
  open_context = ctx;
}

unsigned GenSource() {
  alGetError();
  ALuint source = 0;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) return 0;
  return source;
}

namespace {

ALint State(unsigned source) {
  ALint state = AL_INITIAL;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state;
}

}  // namespace

bool SourceStopped(unsigned source) { return State(source) == AL_STOPPED; }
bool SourcePlaying(unsigned source) { return State(source) == AL_PLAYING; }
bool SourcePaused(unsigned source) { return State(source) == AL_PAUSED; }

void Play(unsigned source) { alSourcePlay(source); }
void Pause(unsigned source) { alSourcePause(source); }
void Stop(unsigned source) { alSourceStop(source); }

void Start(unsigned source, unsigned buffer, bool loop) {
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, ALint(buffer));
  alSourcei(source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  alSourcePlay(source);
}

void Detach(unsigned source) {
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, 0);
}
void Unloop(unsigned source) { alSourcei(source, AL_LOOPING, AL_FALSE); }
void Queue(unsigned source, unsigned buffer) { alSourceQueueBuffers(source, 1, &buffer); }

namespace {

ALint SourceNumber(unsigned source, ALenum what) {
  ALint value = 0;
  alGetSourcei(source, what, &value);
  return value;
}

}  // namespace

int UnqueuePlayed(unsigned source, unsigned* buffers, int max) {
  ALint played = SourceNumber(source, AL_BUFFERS_PROCESSED);
  if (played > max) played = max;
  if (played <= 0) return 0;
  alSourceUnqueueBuffers(source, played, buffers);
  return played;
}

int Queued(unsigned source) { return SourceNumber(source, AL_BUFFERS_QUEUED); }
void SetGain(unsigned source, float gain) { alSourcef(source, AL_GAIN, gain); }
void SetPitch(unsigned source, float pitch) { alSourcef(source, AL_PITCH, pitch); }
void SetPosition(unsigned source, float x, float y, float z) { alSource3f(source, AL_POSITION, x, y, z); }
void NoDistanceModel() { alDistanceModel(AL_NONE); }

namespace {

ALenum Format(int channels, int format) {
  if (channels == 1 && format == 1) return AL_FORMAT_MONO8;
  if (channels == 2 && format == 1) return AL_FORMAT_STEREO8;
  if (channels == 1 && format == 2) return AL_FORMAT_MONO16;
  if (channels == 2 && format == 2) return AL_FORMAT_STEREO16;
  return 0;
}

}  // namespace

void FillBuffer(unsigned buffer, const void* data, int bytes, int channels, int format, int hertz) {
  alBufferData(buffer, Format(channels, format), data, bytes, hertz);
}

void GenBuffers(unsigned* buffers, int count) {
  for (int i = 0; i < count; ++i) buffers[i] = 0;
  alGenBuffers(count, buffers);
}

unsigned NewBuffer(const void* data, int bytes, int channels, int format, int hertz) {
  unsigned buffer = 0;
  GenBuffers(&buffer, 1);
  FillBuffer(buffer, data, bytes, channels, format, hertz);
  return buffer;
}

bool DeleteBuffer(unsigned buffer) {
  alGetError();
  alDeleteBuffers(1, &buffer);
  return alGetError() == AL_NO_ERROR;
}

}  // namespace openal
