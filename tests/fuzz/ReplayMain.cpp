// The replay driver that stands in for libFuzzer in every build:
//   <target>_replay [FOLDER | FILE]...   runs the target's seeds, then every file given or found
//                                       in the folders (a past finding kept there stays fixed);
//   <target>_replay --write-seeds FOLDER writes the seeds into the corpus folder.
// A broken invariant aborts with its message; the name of the input runs ahead of it.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;
using brimwell::Byte;

void Replay(const std::string& name, const std::vector<Byte>& bytes) {
  std::fprintf(stderr, "replaying %s (%zu bytes)\n", name.c_str(), bytes.size());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

std::vector<Byte> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files of a folder in name order, or the path itself when it names a file.
std::vector<fs::path> InputFiles(const fs::path& path) {
  if (!fs::is_directory(path)) return {path};
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(path))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

int WriteSeeds(const fs::path& folder) {
  fs::create_directories(folder);
  for (const auto& seed : brimwell::fuzz::Seeds()) {
    std::ofstream out(folder / seed.name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seed.bytes.data()), std::streamsize(seed.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (folder / seed.name).string().c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.size() == 2 && arguments[0] == "--write-seeds") return WriteSeeds(arguments[1]);

  std::size_t count = 0;
  for (const auto& seed : brimwell::fuzz::Seeds()) {
    Replay("seed " + seed.name, seed.bytes);
    ++count;
  }
  for (const auto& argument : arguments) {
    if (!fs::exists(argument)) {
      std::fprintf(stderr, "no such corpus: %s\n", argument.c_str());
      return 1;
    }
    for (const auto& file : InputFiles(argument)) {
      Replay(file.string(), ReadFile(file));
      ++count;
    }
  }
  std::printf("%zu inputs replayed without a finding\n", count);
  return 0;
}
