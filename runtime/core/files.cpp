#include "files.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

std::string data_folder = "./data/";
std::string state_folder = "./";
const char* const kStateFileName = ".tarvexstate";

}  // namespace

void bb_data_SetFolders(const std::string& data, const std::string& state) {
  data_folder = data;
  state_folder = state;
}

String bb_state_Path() { return String::FromUtf8(state_folder + kStateFileName); }

bool bb_file_MakeFolders(const std::string& folder) {
  for (std::string::size_type end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos) return true;
  }
}

String bb_data_FixDataPath(const String& path) {
  int i = path.Find(String(":/"));
  if (i != -1 && path.Find(String("/")) == i + 1) return path;
  if (path.StartsWith(String("./")) || path.StartsWith(String("/"))) return path;
  return String("tarvex://data/") + path;
}

String bb_data_MapVirtualPath(const String& path) {
  const struct {
    const char* virtual_root;
    const char* disk_root;
  } roots[] = {
      {"tarvex://data/", data_folder.c_str()},
      {"tarvex://internal/", "./internal/"},
      {"tarvex://external/", "./external/"},
  };
  if (!path.StartsWith(String("tarvex:"))) return path;
  for (const auto& root : roots) {
    String prefix(root.virtual_root);
    if (path.StartsWith(prefix)) return String::FromUtf8(root.disk_root) + path.Slice(prefix.Length());
  }
  return String();
}

std::FILE* bb_file_Open(const String& disk_path, const char* mode) {
  if (!disk_path.Length()) return nullptr;
  return std::fopen(disk_path.ToUtf8().c_str(), mode);
}

bool bb_file_ReadAll(std::FILE* file, std::string& out) {
  char block[4096];
  std::size_t n;
  while ((n = std::fread(block, 1, sizeof(block), file)) > 0) out.append(block, n);
  return !std::ferror(file);
}
