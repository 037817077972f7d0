// The audio engine's only contact with OpenAL. Names are OpenAL source and
// buffer names; 0 is "none", which OpenAL rejects with an error (ignored).
#pragma once

namespace openal {

// Opens the default device and makes a current context. Prints the
// "OpenAl error: ..." line of the step that failed; the handles of the
// steps that worked are returned either way (null where a step failed).
void Open(void** device, void** context);
// Destroys the context and closes the device that Open made (also done at
// exit); nothing when none is open.
void Close();

// Clears the error state, generates a source; 0 when OpenAL has no more.
unsigned GenSource();
bool SourceStopped(unsigned source);
bool SourcePlaying(unsigned source);
bool SourcePaused(unsigned source);
void Play(unsigned source);
void Pause(unsigned source);
void Stop(unsigned source);
// Stops the source, attaches `buffer`, sets looping and plays.
void Start(unsigned source, unsigned buffer, bool loop);
void Detach(unsigned source);
void SetGain(unsigned source, float gain);
void SetPitch(unsigned source, float pitch);
void SetPosition(unsigned source, float x, float y, float z);
// Position only gives direction: no attenuation with distance.
void NoDistanceModel();

// A new buffer holding `bytes` bytes of PCM; `channels` 1 or 2 and `format`
// (bytes per sample) 1 or 2 pick the OpenAL format, anything else passes an
// invalid format, which OpenAL refuses. 0 when no buffer can be generated.
unsigned NewBuffer(const void* data, int bytes, int channels, int format, int hertz);
// Deletes the buffer; false when OpenAL refuses (still attached somewhere).
bool DeleteBuffer(unsigned buffer);

}  // namespace openal
