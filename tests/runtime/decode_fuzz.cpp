// Arbitrary bytes through the text decoder, both from memory and through a
// file as the loaders read them. Checks what must hold for any input.
#include <cstdio>
#include <cstdlib>

#include "runtime/core/core.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  String decoded = String::Decode(data, int(size));
  if (size > 0 && bb_load_error.Length() > 0) {
    // The fallback keeps every byte after a skipped mark.
    bool mark = size > 2 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
    if (decoded.Length() != int(size) - (mark ? 3 : 0)) std::abort();
  }
  if (decoded.Length() > int(size)) std::abort();

  std::FILE* file = std::tmpfile();
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::rewind(file);
  String loaded = String::Load(file);
  std::fclose(file);
  if (!(loaded == decoded)) std::abort();

  // Text without the fallback survives a round trip through UTF-8.
  if (bb_load_error.Length() == 0) {
    std::string utf8 = decoded.ToUtf8();
    if (!(String::FromUtf8(utf8) == decoded)) std::abort();
  }
  return 0;
}
