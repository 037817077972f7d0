// Music: the tune on the music channel. Ogg tunes stream: a few buffers
// queued on the channel's source are refilled from the decoder as they
// finish playing, on every update (and whenever the music channel's state is
// read), so no tune is ever held whole. Any other file plays as a sample.
#include "audio/mixer.h"
#include "audio/openal_seam.h"

namespace {

bool IsOgg(const String& path) { return path.ToLower().EndsWith(String(".ogg")); }

// Decodes the next piece of the tune into `buffer`; false (the buffer left
// as it was) once an unlooped tune has ended.
bool Decode(gxtkMusicStream& stream, unsigned buffer) {
  const int channels = stream.ogg->Channels();
  int frames = stream.ogg->Read(stream.pcm.data(), MUSIC_BUFFER_FRAMES, stream.loop);
  if (frames == 0) return false;
  openal::FillBuffer(buffer, stream.pcm.data(), frames * channels * int(sizeof(short)), channels, int(sizeof(short)),
                     stream.ogg->Hertz());
  return true;
}

// The tune at `path` opened for streaming; null when it cannot be read.
std::unique_ptr<gxtkMusicStream> OpenTune(const String& path, bool loop) {
  BBGame* game = BBGame::Game();
  if (!game) return nullptr;
  std::unique_ptr<gxtkMusicStream> stream(new gxtkMusicStream());
  stream->file = game->OpenFile(path, String("rb"));
  if (!stream->file) return nullptr;
  stream->ogg = gxtkOggStream::Open(stream->file);
  if (!stream->ogg) return nullptr;
  stream->pcm.resize(size_t(MUSIC_BUFFER_FRAMES) * stream->ogg->Channels());
  stream->loop = loop;
  return stream;
}

}  // namespace

gxtkMusicStream::~gxtkMusicStream() {
  ogg.reset();
  if (file) std::fclose(file);
}

int gxtkAudio::PlayMusic(String path, int flags) {
  StopMusic();
  if (IsOgg(path)) return StreamMusic(path, flags);
  gxtkSample* tune = LoadSample(path);
  if (!tune) return -1;
  gc_assign(mixer->music, tune);
  PlaySample(tune, AUDIO_MUSIC_CHANNEL, flags);
  return 0;
}

int gxtkAudio::StreamMusic(const String& path, int flags) {
  std::unique_ptr<gxtkMusicStream> stream = OpenTune(path, flags != 0);
  if (!stream) return -1;
  FlushDiscarded();
  const unsigned source = ObtainSource(AUDIO_MUSIC_CHANNEL);
  if (!source) return 0;  // as a sample with no source: nothing plays
  openal::Detach(source);
  openal::Unloop(source);
  openal::GenBuffers(stream->buffers, MUSIC_BUFFERS);
  for (unsigned buffer : stream->buffers) {
    if (Decode(*stream, buffer)) openal::Queue(source, buffer);
  }
  openal::Play(source);
  gxtkChannel& chan = mixer->channels[AUDIO_MUSIC_CHANNEL];
  gc_assign(chan.sample, static_cast<gxtkSample*>(nullptr));
  chan.flags = flags;
  chan.state = AUDIO_PLAYING;
  mixer->stream = std::move(stream);
  return 0;
}

void gxtkAudio::PumpMusic() {
  gxtkMusicStream* stream = mixer->stream.get();
  const gxtkChannel& chan = mixer->channels[AUDIO_MUSIC_CHANNEL];
  if (!stream || chan.state == AUDIO_STOPPED) return;
  unsigned played[MUSIC_BUFFERS];
  const int count = openal::UnqueuePlayed(chan.source, played, MUSIC_BUFFERS);
  for (int i = 0; i < count; ++i) {
    if (Decode(*stream, played[i])) openal::Queue(chan.source, played[i]);
  }
  // A source that ran dry (the game was too busy to refill it) stops by
  // itself; the tune goes on where it was.
  if (chan.state == AUDIO_PLAYING && openal::SourceStopped(chan.source) && openal::Queued(chan.source) > 0) {
    openal::Play(chan.source);
  }
}

void gxtkAudio::EndMusicStream() {
  if (!mixer->stream) return;
  openal::Detach(mixer->channels[AUDIO_MUSIC_CHANNEL].source);
  // Detached from a stopped source, no buffer is in use any more.
  for (unsigned buffer : mixer->stream->buffers) openal::DeleteBuffer(buffer);
  mixer->stream.reset();
}

int gxtkAudio::Update() {
  PumpMusic();
  return 0;
}

int gxtkAudio::StopMusic() {
  StopChannel(AUDIO_MUSIC_CHANNEL);
  EndMusicStream();
  if (!mixer->music) return 0;
  // Detached, the buffer can be deleted at the next load or play.
  openal::Detach(mixer->channels[AUDIO_MUSIC_CHANNEL].source);
  mixer->music->Discard();
  gc_assign(mixer->music, static_cast<gxtkSample*>(nullptr));
  return 0;
}

int gxtkAudio::PauseMusic() { return PauseChannel(AUDIO_MUSIC_CHANNEL); }
int gxtkAudio::ResumeMusic() { return ResumeChannel(AUDIO_MUSIC_CHANNEL); }
int gxtkAudio::MusicState() { return ChannelState(AUDIO_MUSIC_CHANNEL); }
int gxtkAudio::SetMusicVolume(float volume) { return SetVolume(AUDIO_MUSIC_CHANNEL, volume); }
