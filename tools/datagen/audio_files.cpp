// WAV and Ogg Vorbis writers.
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "sound.hpp"

namespace datagen {

namespace {

// Samples handed to the encoder per call.
constexpr int ENCODE_BLOCK = 4096;

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

File OpenForWriting(const std::string& path) { return File(std::fopen(path.c_str(), "wb"), std::fclose); }

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

bool WritePage(FILE* f, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, f) == static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, page.body_len, f) == static_cast<size_t>(page.body_len);
}

// The libvorbis encoder state, released in reverse order of set-up.
struct Encoder {
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  bool ready = false;

  Encoder(int serial, float quality) {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
    if (vorbis_encode_init_vbr(&info, 2, SAMPLE_RATE, quality) != 0) return;
    vorbis_comment_add_tag(&comment, "TITLE", "Zephrine");
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, serial);
    ready = true;
  }
  ~Encoder() {
    if (ready) {
      ogg_stream_clear(&stream);
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  bool writeHeaders(FILE* f) {
    ogg_packet id, comments, codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &id, &comments, &codebooks);
    ogg_stream_packetin(&stream, &id);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
      if (!WritePage(f, page)) return false;
    }
    return true;
  }

  // Encodes whatever the analysis has ready and writes finished pages.
  bool drain(FILE* f) {
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
        ogg_stream_packetin(&stream, &packet);
        ogg_page page;
        while (ogg_stream_pageout(&stream, &page) != 0) {
          if (!WritePage(f, page)) return false;
        }
      }
    }
    return true;
  }
};

}  // namespace

bool WriteWav(const std::string& path, const Mono& samples) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  PutLe(out, 36 + dataBytes, 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  PutLe(out, 16, 4);              // fmt chunk size
  PutLe(out, 1, 2);               // PCM
  PutLe(out, 1, 2);               // mono
  PutLe(out, SAMPLE_RATE, 4);
  PutLe(out, SAMPLE_RATE * 2, 4); // bytes per second
  PutLe(out, 2, 2);               // block align
  PutLe(out, 16, 2);              // bits per sample
  PutTag(out, "data");
  PutLe(out, dataBytes, 4);
  for (float s : samples) {
    const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    PutLe(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xffff, 2);
  }
  File f = OpenForWriting(path);
  return f && std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
}

bool WriteOgg(const std::string& path, const Stereo& music, int serial, float quality) {
  Encoder enc(serial, quality);
  File f = OpenForWriting(path);
  if (!enc.ready || !f || !enc.writeHeaders(f.get())) return false;
  const size_t total = music.left.size();
  for (size_t done = 0; done < total; done += ENCODE_BLOCK) {
    const int count = static_cast<int>(std::min<size_t>(ENCODE_BLOCK, total - done));
    float** buffer = vorbis_analysis_buffer(&enc.dsp, count);
    std::memcpy(buffer[0], &music.left[done], count * sizeof(float));
    std::memcpy(buffer[1], &music.right[done], count * sizeof(float));
    vorbis_analysis_wrote(&enc.dsp, count);
    if (!enc.drain(f.get())) return false;
  }
  vorbis_analysis_wrote(&enc.dsp, 0);  // end of stream
  return enc.drain(f.get()) && std::fflush(f.get()) == 0;
}

}  // namespace datagen
