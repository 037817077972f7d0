// zephrine_datagen: draws, synthesizes and composes the whole data folder.
//
//   zephrine_datagen <data folder> [<contact sheet png>]
//   zephrine_datagen --icons <icon theme folder>
//
// Every file comes out the same on every run. Images are written in their
// three resolution variants, sounds as 16-bit PCM WAV and tunes as Ogg
// Vorbis; the optional contact sheet shows every image for review. The
// second form writes the desktop icon in every size, laid out as the hicolor
// theme lays them out (<size>x<size>/apps/zephrine.png).
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "art.hpp"
#include "game/screen_math.h"
#include "contact_sheet.hpp"
#include "sound.hpp"

namespace fs = std::filesystem;
using namespace datagen;

namespace {


class Jobs {
 public:
  void add(std::function<bool()> job) { jobs_.push_back(std::move(job)); }

  // Runs every job on all cores; true when all of them succeeded.
  bool run() {
    std::atomic<size_t> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
      for (size_t i = next++; i < jobs_.size(); i = next++) {
        if (!jobs_[i]()) ok = false;
      }
    };
    const unsigned count = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < count; ++t) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    return ok;
  }

 private:
  std::vector<std::function<bool()>> jobs_;
};

bool Report(bool ok, const std::string& path) {
  if (!ok) std::fprintf(stderr, "zephrine_datagen: cannot write %s\n", path.c_str());
  return ok;
}

Sheet DrawImage(const ImageArt& art, int scale) {
  Sheet sheet = art.atlas.makeSheet(scale);
  for (int i = 0; i < art.atlas.count; ++i) {
    Frame frame = art.atlas.frame(sheet, i, scale);
    art.draw(frame, i);
  }
  return sheet;
}

// Writes every size of the desktop icon into the theme folder `theme`.
int WriteIcons(const fs::path& theme) {
  for (const int size : ICON_SIZES) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const fs::path folder = theme / name / "apps";
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string path = (folder / "zephrine.png").string();
    if (!Report(DrawDesktopIcon(size).writePng(path), path)) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--icons") return WriteIcons(argv[2]);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr,
                 "usage: zephrine_datagen <data folder> [<contact sheet png>]\n"
                 "       zephrine_datagen --icons <icon theme folder>\n");
    return 2;
  }
  const fs::path data = argv[1];
  std::error_code ec;
  for (const char* sub : {"common", "fonts", "sfx"}) fs::create_directories(data / sub, ec);
  if (ec) {
    std::fprintf(stderr, "zephrine_datagen: cannot create %s\n", data.string().c_str());
    return 1;
  }

  const std::vector<ImageArt> images = AllImageArt();
  std::vector<Sheet> previews(images.size(), Sheet(0, 0));
  Jobs jobs;
  // Tunes take longest: queue them first so they overlap the pictures.
  for (const TuneArt& tune : AllTunes()) {
    jobs.add([&data, tune] {
      const std::string path = (data / "sfx" / (tune.name + ".ogg")).string();
      return Report(WriteOgg(path, tune.render(), tune.serial), path);
    });
  }
  for (size_t i = 0; i < images.size(); ++i) {
    for (const AssetVariant& v : ASSET_VARIANTS) {
      if (v.scale > 1 && !images[i].variants) continue;
      jobs.add([&, i, v] {
        Sheet sheet = DrawImage(images[i], v.scale);
        const std::string path = (data / (images[i].name + v.suffix + ".png")).string();
        const bool ok = Report(sheet.writePng(path), path);
        if (v.scale == 1) previews[i] = std::move(sheet);
        return ok;
      });
    }
  }
  for (const SoundArt& sound : AllSounds()) {
    jobs.add([&data, sound] {
      const std::string path = (data / "sfx" / (sound.name + ".wav")).string();
      return Report(WriteWav(path, sound.render()), path);
    });
  }
  if (!jobs.run()) return 1;

  if (argc == 3) {
    std::vector<ContactEntry> entries;
    for (size_t i = 0; i < images.size(); ++i) entries.push_back({images[i].name, &previews[i]});
    if (!Report(ComposeContactSheet(entries).writePng(argv[2]), argv[2])) return 1;
  }
  return 0;
}
