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
// Stops the source and lets go of every buffer attached or queued on it.
void Detach(unsigned source);
// Streaming: a source without looping plays the buffers queued on it in
// turn and stops when it has played them all.
void Unloop(unsigned source);
void Queue(unsigned source, unsigned buffer);
// Takes the buffers the source has finished playing off its queue, up to
// `max` of them, into `buffers`; how many were taken.
int UnqueuePlayed(unsigned source, unsigned* buffers, int max);
// Buffers still queued on the source, played or not.
int Queued(unsigned source);
void SetGain(unsigned source, float gain);
void SetPitch(unsigned source, float pitch);
void SetPosition(unsigned source, float x, float y, float z);
// Position only gives direction: no attenuation with distance.
void NoDistanceModel();

// A new buffer holding `bytes` bytes of PCM; `channels` 1 or 2 and `format`
// (bytes per sample) 1 or 2 pick the OpenAL format, anything else passes an
// invalid format, which OpenAL refuses. 0 when no buffer can be generated.
unsigned NewBuffer(const void* data, int bytes, int channels, int format, int hertz);
// Fills an existing buffer the same way (a buffer queued on a source must
// have been unqueued first).
void FillBuffer(unsigned buffer, const void* data, int bytes, int channels, int format, int hertz);
// Generates `count` buffers into `buffers` (0 each when OpenAL has none).
void GenBuffers(unsigned* buffers, int count);
// Deletes the buffer; false when OpenAL refuses (still attached somewhere).
bool DeleteBuffer(unsigned buffer);

}  // namespace openal
