// The floor of the command-line program's set: the least that any program that changes a file
// must do, as a process of its own. It reads the file whole, writes the same bytes to a new
// file beside it, flushes that to the disk and renames it over the file; with --sync-folder it
// also flushes the folder, which makes the rename itself durable. Plain system calls only, so
// that it loads no more than the C library.
//
// Usage: brimwell_file_floor [--sync-folder] FILE

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Transfer(int from, int to, char* buffer, size_t size, bool reading) {
  size_t done = 0;
  while (done < size) {
    const ssize_t moved =
        reading ? read(from, buffer + done, size - done) : write(to, buffer + done, size - done);
    if (moved <= 0) return false;
    done += size_t(moved);
  }
  return true;
}

}  // namespace

// The folder part of path, "." for none.
void FolderOf(const char* path, char* folder, size_t size) {
  const char* slash = std::strrchr(path, '/');
  if (!slash) {
    std::snprintf(folder, size, ".");
    return;
  }
  std::snprintf(folder, size, "%.*s", int(slash - path + 1), path);
}

int main(int argc, char** argv) {
  const bool syncFolder = argc == 3 && std::strcmp(argv[1], "--sync-folder") == 0;
  if (argc != 2 && !syncFolder) {
    std::fprintf(stderr, "usage: %s [--sync-folder] FILE\n", argv[0]);
    return 2;
  }
  const char* path = argv[argc - 1];
  const int file = open(path, O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (file < 0 || fstat(file, &info) != 0) return 1;
  const size_t size = size_t(info.st_size);
  char* bytes = static_cast<char*>(std::malloc(size ? size : 1));
  const bool read = bytes && Transfer(file, -1, bytes, size, true);
  close(file);
  if (!read) return 1;

  char temporary[4096];
  std::snprintf(temporary, sizeof temporary, "%s.floor-XXXXXX", path);
  const int copy = mkstemp(temporary);
  if (copy < 0) return 1;
  const bool written = Transfer(-1, copy, bytes, size, false) && fsync(copy) == 0;
  close(copy);
  std::free(bytes);
  if (!written || rename(temporary, path) != 0) {
    unlink(temporary);
    return 1;
  }
  if (!syncFolder) return 0;
  char folderPath[4096];
  FolderOf(path, folderPath, sizeof folderPath);
  const int folder = open(folderPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool synced = folder >= 0 && fsync(folder) == 0;
  if (folder >= 0) close(folder);
  return synced ? 0 : 1;
}
