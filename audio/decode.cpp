// Decoding of RIFF WAVE and Ogg Vorbis sound files to PCM: whole files, and
// Ogg streams a piece at a time.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/decode.h"

#define STB_VORBIS_HEADER_ONLY
#include <stb/stb_vorbis.h>

namespace {

// Sample frames decoded at a time into the whole-file Ogg block, which
// keeps at least this much headroom.
constexpr int OGG_FRAME_SAMPLES = 4096;
// Bytes of the mandatory part of a PCM fmt chunk.
constexpr int WAV_FMT_BASE = 16;
// Format tags: plain PCM, and the extensible form whose sub-format says
// what the samples are.
constexpr int WAV_PCM = 1;
constexpr int WAV_EXTENSIBLE = 0xFFFE;
// Size of an extensible fmt chunk, and the bytes of its extension read up
// to and including the sub-format's tag.
constexpr int WAV_FMT_EXTENSIBLE = 40;
constexpr int WAV_EXTENSION_READ = 10;

bool ReadTag(std::FILE* f, char tag[4]) { return std::fread(tag, 1, 4, f) == 4; }

bool TagIs(const char tag[4], const char* want) { return std::memcmp(tag, want, 4) == 0; }

// A little-endian number of `bytes` bytes (2 unsigned, 4 signed); -1 when
// the file ends first.
int ReadNumber(std::FILE* f, int bytes) {
  unsigned char b[4];
  if (std::fread(b, 1, bytes, f) != size_t(bytes)) return -1;
  if (bytes == 2) return b[0] | b[1] << 8;
  return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}

// Bytes between the read position and the end of the file; -1 when the
// file cannot be measured.
long Remaining(std::FILE* f) {
  long here = std::ftell(f);
  if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
  long end = std::ftell(f);
  if (std::fseek(f, here, SEEK_SET) != 0 || end < here) return -1;
  return end - here;
}

// A chunk body must fit in what is left of the file; a damaged or hostile
// size is refused before anything is allocated for it.
bool ChunkFits(std::FILE* f, int size) { return size >= 0 && size <= Remaining(f); }

bool Skip(std::FILE* f, int bytes) { return std::fseek(f, bytes, SEEK_CUR) == 0; }

// RIFF chunks are word-aligned: a chunk of odd size is followed by a pad
// byte that its size does not count.
int Padded(int size) { return size + (size & 1); }

// Reads chunk headers from the read position on, skipping every chunk with
// another tag, and stops at the body of the first `want` chunk; its size, or
// -1 when the file ends first or a chunk size cannot be right.
int SeekChunk(std::FILE* f, const char* want) {
  for (;;) {
    char tag[4] = {0, 0, 0, 0};
    ReadTag(f, tag);
    if (std::feof(f)) return -1;
    int bytes = ReadNumber(f, 4);
    if (!ChunkFits(f, bytes)) return -1;
    if (TagIs(tag, want)) return bytes;
    if (!Skip(f, Padded(bytes))) return -1;
  }
}

// The body of the first "data" chunk, its size in *size; null when the file
// ends first or a chunk size cannot be right.
unsigned char* FindData(std::FILE* f, int* size) {
  int bytes = SeekChunk(f, "data");
  if (bytes < 0) return nullptr;
  unsigned char* body = static_cast<unsigned char*>(std::malloc(bytes ? bytes : 1));
  if (!body) return nullptr;
  if (std::fread(body, 1, bytes, f) == size_t(bytes)) {
    *size = bytes;
    return body;
  }
  std::free(body);
  return nullptr;
}

// The sample layout of a fmt chunk.
struct WavFormat {
  int channels = 0, rate = 0, bytesPerSample = 0;
};

// Reads a fmt chunk body of `size` bytes at the read position and leaves the
// position behind it (and its pad byte). Plain PCM and the extensible form
// with a PCM sub-format (which recorders write) are accepted; false for
// anything else.
bool ReadFormat(std::FILE* f, int size, WavFormat* format) {
  int tag = ReadNumber(f, 2);
  format->channels = ReadNumber(f, 2);
  format->rate = ReadNumber(f, 4);
  ReadNumber(f, 4);  // byte rate
  ReadNumber(f, 2);  // block align
  format->bytesPerSample = ReadNumber(f, 2) / 8;
  int read = WAV_FMT_BASE;
  if (tag == WAV_EXTENSIBLE && size >= WAV_FMT_EXTENSIBLE) {
    ReadNumber(f, 2);  // extension size
    ReadNumber(f, 2);  // valid bits
    ReadNumber(f, 4);  // speaker positions
    tag = ReadNumber(f, 2);  // the sub-format GUID starts with the plain tag
    read += WAV_EXTENSION_READ;
  }
  if (tag != WAV_PCM) return false;
  int rest = Padded(size) - read;
  return rest <= 0 || (ChunkFits(f, rest) && Skip(f, rest));
}

// The Ogg decoder works inside one block of ours: memory it loses on a
// damaged stream comes back with the block, and no header can make it ask
// for more than the cap. The block starts small and grows for large setups.
// Real encoders' streams need under 0.25 MB in stereo and 0.8 MB with six
// channels; a few header bytes can declare codebooks of millions of entries,
// whose set-up time grows with the room the cap leaves them.
constexpr int OGG_ARENA_START = 256 * 1024;
constexpr int OGG_ARENA_CAP = 4 * 1024 * 1024;

// Opens the stream at the read position into `decoder`, which lives in
// `*arena` (malloc'ed; the caller frees it after closing the decoder),
// growing the block while the decoder runs out of it; false (nothing to
// free) when the stream cannot be opened.
bool OpenVorbis(std::FILE* f, stb_vorbis** decoder, char** arena) {
  long start = std::ftell(f);
  for (int size = OGG_ARENA_START; size <= OGG_ARENA_CAP; size *= 4) {
    *arena = static_cast<char*>(std::malloc(size));
    if (!*arena) return false;
    stb_vorbis_alloc alloc{*arena, size};
    int error = 0;
    *decoder = stb_vorbis_open_file(f, 0, &error, &alloc);
    if (*decoder) return true;
    std::free(*arena);
    *arena = nullptr;
    if (error != VORBIS_outofmem || std::fseek(f, start, SEEK_SET) != 0) return false;
  }
  return false;
}

// Bytes of an Ogg page header before its segment table.
constexpr int OGG_PAGE_HEADER = 27;
// Identification and comment: the header packets checked before decoding.
constexpr int OGG_CHECKED_PACKETS = 2;

// Appends the first `count` packets of the Ogg stream at the read position
// to `packets`; false when the pages end first or are not Ogg pages.
bool ReadOggPackets(std::FILE* f, int count, std::vector<std::string>& packets) {
  std::string packet;
  while (int(packets.size()) < count) {
    unsigned char header[OGG_PAGE_HEADER];
    if (std::fread(header, 1, OGG_PAGE_HEADER, f) != OGG_PAGE_HEADER) return false;
    if (std::memcmp(header, "OggS", 4) != 0) return false;
    unsigned char lacing[255];
    int segments = header[OGG_PAGE_HEADER - 1];
    if (std::fread(lacing, 1, segments, f) != size_t(segments)) return false;
    for (int i = 0; i < segments; ++i) {
      size_t at = packet.size();
      packet.resize(at + lacing[i]);
      if (std::fread(&packet[at], 1, lacing[i], f) != lacing[i]) return false;
      if (lacing[i] == 255) continue;
      packets.push_back(std::move(packet));
      packet.clear();
    }
  }
  return true;
}

// The decoder allocates whatever the vendor and comment lengths of the
// comment header say before it checks them against the packet: a few
// hostile bytes would ask for gigabytes. Every length must fit the packet.
bool CommentLengthsFit(const std::string& packet) {
  const size_t prefix = 7;  // packet type and "vorbis"
  size_t at = prefix;
  auto take_length = [&](uint32_t* out) {
    if (packet.size() - at < 4) return false;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(packet.data()) + at;
    *out = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    at += 4;
    return true;
  };
  auto skip = [&](uint32_t bytes) {
    if (packet.size() - at < bytes) return false;
    at += bytes;
    return true;
  };
  uint32_t length = 0, comments = 0;
  if (packet.size() < prefix || !take_length(&length) || !skip(length) || !take_length(&comments)) return false;
  for (uint32_t i = 0; i < comments; ++i) {
    if (!take_length(&length) || !skip(length)) return false;
  }
  return true;
}

// Checks the header packets, then returns to where the stream starts.
bool OggHeadersSane(std::FILE* f) {
  long start = std::ftell(f);
  std::vector<std::string> packets;
  bool sane = ReadOggPackets(f, OGG_CHECKED_PACKETS, packets) && CommentLengthsFit(packets[OGG_CHECKED_PACKETS - 1]);
  return std::fseek(f, start, SEEK_SET) == 0 && sane;
}

}  // namespace

unsigned char* LoadWAV(std::FILE* f, int* length, int* channels, int* format, int* hertz) {
  char tag[4];
  if (!ReadTag(f, tag) || !TagIs(tag, "RIFF")) return nullptr;
  if (!ReadTag(f, tag)) return nullptr;  // RIFF size: not trusted
  if (!ReadTag(f, tag) || !TagIs(tag, "WAVE")) return nullptr;

  // Editors and recorders put chunks of their own (JUNK, bext, LIST) before
  // and after the format.
  WavFormat wav;
  int fmt_size = SeekChunk(f, "fmt ");
  if (fmt_size < 0 || !ReadFormat(f, fmt_size, &wav)) return nullptr;
  // No channels or samples below 8 bits leave nothing to divide the data by.
  if (wav.channels <= 0 || wav.bytesPerSample <= 0) return nullptr;

  int data_size = 0;
  unsigned char* data = FindData(f, &data_size);
  if (!data) return nullptr;
  *length = data_size / (wav.channels * wav.bytesPerSample);
  *channels = wav.channels;
  *format = wav.bytesPerSample;
  *hertz = wav.rate;
  return data;
}

std::unique_ptr<gxtkOggStream> gxtkOggStream::Open(std::FILE* f) {
  std::unique_ptr<gxtkOggStream> stream(new gxtkOggStream());
  if (!OggHeadersSane(f) || !OpenVorbis(f, &stream->decoder, &stream->arena)) return nullptr;
  stb_vorbis_info info = stb_vorbis_get_info(stream->decoder);
  stream->channels = info.channels;
  stream->hertz = int(info.sample_rate);
  if (stream->channels <= 0) return nullptr;
  return stream;
}

gxtkOggStream::~gxtkOggStream() {
  if (decoder) stb_vorbis_close(decoder);
  std::free(arena);
}

int gxtkOggStream::Read(short* out, int frames, bool loop) {
  int written = 0;
  bool restarted = false;
  while (written < frames) {
    int got = stb_vorbis_get_samples_short_interleaved(decoder, channels, out + size_t(written) * channels,
                                                       (frames - written) * channels);
    if (got > 0) {
      written += got;
      restarted = false;
      continue;
    }
    // At the end. Starting over from a start that gives nothing would spin.
    if (!loop || restarted || !stb_vorbis_seek_start(decoder)) break;
    restarted = true;
  }
  return written;
}

unsigned char* LoadOGG(std::FILE* f, int* length, int* channels, int* format, int* hertz) {
  std::unique_ptr<gxtkOggStream> stream = gxtkOggStream::Open(f);
  if (!stream) return nullptr;
  const int chans = stream->Channels();

  // Room grows by doubling whenever less than one piece's headroom is left.
  const size_t headroom = size_t(chans) * OGG_FRAME_SAMPLES;
  size_t room = headroom, held = 0;
  short* samples = static_cast<short*>(std::malloc(room * sizeof(short)));
  while (samples) {
    int frames = stream->Read(samples + held, OGG_FRAME_SAMPLES, false);
    if (frames == 0) break;
    held += size_t(frames) * chans;
    if (room >= headroom + held) continue;
    room *= 2;
    short* grown = static_cast<short*>(std::realloc(samples, room * sizeof(short)));
    if (!grown) std::free(samples);
    samples = grown;
  }
  if (!samples) return nullptr;

  short* shrunk = static_cast<short*>(std::realloc(samples, held ? held * sizeof(short) : 1));
  if (shrunk) samples = shrunk;
  *length = int(held / chans);
  *channels = chans;
  *format = 2;
  *hertz = stream->Hertz();
  return reinterpret_cast<unsigned char*>(samples);
}

unsigned char* gxtkDecodeAudioFile(BBGame* game, const String& path, int* length, int* channels, int* format,
                                   int* hertz) {
  std::FILE* f = game->OpenFile(path, String("rb"));
  if (!f) return nullptr;
  String name = path.ToLower();
  unsigned char* data = nullptr;
  if (name.EndsWith(String(".wav"))) {
    data = LoadWAV(f, length, channels, format, hertz);
  } else if (name.EndsWith(String(".ogg"))) {
    data = LoadOGG(f, length, channels, format, hertz);
  }
  std::fclose(f);
  if (data) gc_ext_malloced(*length * *channels * *format);
  return data;
}
