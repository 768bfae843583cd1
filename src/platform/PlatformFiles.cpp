// The file half of the platform seam: POSIX calls here, Win32 calls and share modes on Windows.

#include <algorithm>
#include <exception>
#include <limits>
#include <string>

#include "platform/PlatformFiles.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/WindowsText.h"
#else
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#endif

namespace brimwell {

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class Text>
Text FolderOf(const Text& path) {
  const auto slash = path.find_last_of(Text{'/', '\\'});
  return slash == Text::npos ? Text() : path.substr(0, slash + 1);
}

template <class Text>
Text FileNameOf(const Text& path) {
  const auto slash = path.find_last_of(Text{'/', '\\'});
  return slash == Text::npos ? path : path.substr(slash + 1);
}

// What a read says of a file longer than it takes.
std::string TooLargeReason(std::uint64_t maxLength) {
  constexpr std::uint64_t kMiB = 1024 * 1024;
  if (maxLength % kMiB == 0) return "Larger than " + std::to_string(maxLength / kMiB) + " MiB";
  return "Larger than " + std::to_string(maxLength) + " bytes";
}

// A file too large to hold in memory is a load failure, not a crash.
bool TryResize(Bytes& bytes, std::uint64_t size) {
  if (size > std::numeric_limits<std::size_t>::max()) return false;
  try {
    bytes.resize(std::size_t(size));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

#ifdef _WIN32

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (Valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// The system's words for an error code, without the line break that ends them; empty for none.
std::string SystemReason(DWORD error) {
  if (error == ERROR_SUCCESS) return {};
  wchar_t text[512];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                error, 0, text, DWORD(std::size(text)), nullptr);
  while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r')) --length;
  return Narrow(std::wstring(text, length));
}

// Why a read of at most maxLength bytes failed.
std::string ReadFailureReason(DWORD error, std::uint64_t maxLength) {
  return error == ERROR_FILE_TOO_LARGE ? TooLargeReason(maxLength) : SystemReason(error);
}

std::optional<Bytes> ReadOpenFile(const Handle& file, std::uint64_t maxBytes, bool wholeFile) {
  if (!file.Valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return std::nullopt;
  if (wholeFile && std::uint64_t(size.QuadPart) > maxBytes) {
    SetLastError(ERROR_FILE_TOO_LARGE);
    return std::nullopt;
  }
  const std::uint64_t wanted = std::min<std::uint64_t>(std::uint64_t(size.QuadPart), maxBytes);
  Bytes bytes;
  if (!TryResize(bytes, wanted)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return std::nullopt;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr)) {
      if (wholeFile) return std::nullopt;
      break;
    }
    if (got == 0) break;
    done += got;
  }
  if (wholeFile && done != bytes.size()) return std::nullopt;
  bytes.resize(done);
  return bytes;
}

// Writes everything and flushes it to the disk.
bool WriteAll(const Handle& file, const Bytes& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD put = 0;
    if (!WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr) || put != chunk)
      return false;
    done += put;
  }
  return FlushFileBuffers(file.get());
}

// Writes content over the start of the file and, only once it is on the disk, cuts whatever
// lies beyond it.
bool PutInPlace(const Handle& file, const Bytes& content) {
  if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN) ||
      !WriteAll(file, content))
    return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return false;
  if (std::uint64_t(size.QuadPart) == content.size()) return true;
  return SetEndOfFile(file.get()) && FlushFileBuffers(file.get());
}

// Nothing is truncated before the new image is complete, and a write that fails part-way
// puts back the old bytes, read just before: a full disk never leaves less than the old ROM.
bool OverwriteInPlace(const std::wstring& path, const Bytes& bytes) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  const auto old = ReadOpenFile(file, std::numeric_limits<std::uint64_t>::max(), true);
  if (!old) return false;
  if (PutInPlace(file, bytes)) return true;
  PutInPlace(file, *old);
  return false;
}

// Follows a symbolic link to the file it names, so that saving replaces the ROM, not the link.
std::wstring ResolvedTarget(const std::wstring& path) {
  Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.Valid()) return path;
  std::wstring resolved(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file.get(), resolved.data(),
                                                   DWORD(resolved.size()), FILE_NAME_NORMALIZED);
    if (length == 0) return path;
    const bool fits = length < resolved.size();
    resolved.resize(length);
    if (fits) return resolved;
  }
}

// The attributes that the new file takes over from the ROM. ReplaceFileW keeps them on Windows,
// but not under wine.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Makes the temporary file beside the target under a name of its own: a file left behind by a
// save that crashed, even a read-only one or one that a program still holds, is passed over.
Handle CreateTemporaryFile(const std::wstring& target, DWORD attributes, std::wstring& name) {
  constexpr int kNamesTried = 100;
  for (int attempt = 0; attempt < kNamesTried; ++attempt) {
    const std::wstring suffix = attempt == 0 ? L"" : L"." + std::to_wstring(attempt);
    name = FolderOf(target) + L"~" + FileNameOf(target) + suffix + L".brimwell-tmp";
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return Handle(file);
  }
  return Handle(INVALID_HANDLE_VALUE);
}

// Whether a program holds the file without letting others replace it, which ReplaceFileW would
// find out only after some of its work (wine's leaves a file behind then).
bool HeldAgainstReplacing(const std::wstring& target) {
  const Handle probe(CreateFileW(target.c_str(), DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe.Valid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// ReplaceFileW keeps the ROM's security, attributes and creation time, which a file moved over
// it would lose. Should it fail after it has removed the ROM, the temporary file is the only
// copy of the ROM left, and it moves in after all.
bool MoveIntoPlace(const std::wstring& temporary, const std::wstring& target, bool exists) {
  if (!exists) return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
  if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                   nullptr, nullptr))
    return true;
  return GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
         MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
}

#else

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  bool Valid() const { return fd_ >= 0; }
  int get() const { return fd_; }

 private:
  int fd_;
};

// For a file on which the caller already holds its lock.
constexpr int kLockAlreadyHeld = 0;

constexpr char kLockedReason[] = "Locked by another program";
constexpr char kNotRegularReason[] = "Not a regular file";
constexpr char kShrunkReason[] = "The file grew shorter while it was read";

// The system's words for the error of the last call that failed.
std::string SystemReason(int error = errno) {
  return std::strerror(error);
}

// Why a file that is not a regular one cannot be read or replaced.
std::string NotRegularReason(const struct stat& info) {
  return S_ISDIR(info.st_mode) ? SystemReason(EISDIR) : kNotRegularReason;
}

// O_NONBLOCK keeps a FIFO from blocking the open; only regular files are read at all, so a
// device such as /dev/zero can never fill memory. A whole file longer than maxBytes is not
// read; otherwise only maxBytes of it are.
std::optional<Bytes> ReadOpenFile(const Descriptor& file, int lockKind, std::uint64_t maxBytes,
                                  bool wholeFile, std::string& failure) {
  const auto fail = [&failure](std::string reason) -> std::optional<Bytes> {
    failure = std::move(reason);
    return std::nullopt;
  };
  struct stat info {};
  if (!file.Valid() || fstat(file.get(), &info) != 0) return fail(SystemReason());
  if (!S_ISREG(info.st_mode)) return fail(NotRegularReason(info));
  // Advisory locks stand in for Windows share modes: a program that holds a conflicting lock
  // keeps us out, and ours keeps cooperating writers out while we read.
  if (lockKind != kLockAlreadyHeld && flock(file.get(), lockKind | LOCK_NB) != 0)
    return fail(errno == EWOULDBLOCK ? kLockedReason : SystemReason());
  const std::uint64_t size = std::uint64_t(info.st_size);
  if (wholeFile && size > maxBytes) return fail(TooLargeReason(maxBytes));
  Bytes bytes;
  if (!TryResize(bytes, std::min(size, maxBytes))) return fail(SystemReason(ENOMEM));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = read(file.get(), bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      if (wholeFile) return fail(SystemReason());
      break;
    }
    if (got == 0) break;
    done += std::size_t(got);
  }
  if (wholeFile && done != bytes.size()) return fail(kShrunkReason);
  bytes.resize(done);
  return bytes;
}

// Writes everything from the start of the file.
bool WriteAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = pwrite(fd, bytes.data() + done, bytes.size() - done, off_t(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += std::size_t(put);
  }
  return true;
}

// Writes content over the start of the file and, only once it is on the disk, cuts whatever
// lies beyond it.
bool PutInPlace(int fd, const Bytes& content) {
  if (!WriteAll(fd, content) || fsync(fd) != 0) return false;
  struct stat info {};
  if (fstat(fd, &info) != 0) return false;
  if (std::uint64_t(info.st_size) == content.size()) return true;
  return ftruncate(fd, off_t(content.size())) == 0 && fsync(fd) == 0;
}

// Nothing is truncated before the new image is complete, and a write that fails part-way
// puts back the old bytes, read just before: a full disk never leaves less than the old ROM.
// The caller holds the file's lock.
bool OverwriteInPlace(const std::string& path, const Bytes& bytes, std::string& failure) {
  Descriptor file(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  const auto old = ReadOpenFile(file, kLockAlreadyHeld, std::numeric_limits<std::uint64_t>::max(),
                                true, failure);
  if (!old) return false;
  if (PutInPlace(file.get(), bytes)) return true;
  failure = SystemReason();
  PutInPlace(file.get(), *old);
  return false;
}

// The signals that end a program by default and that a user or the system sends to stop it.
// SIGXFSZ is the one a write past the file size limit raises.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXFSZ};

// The temporary file of the save under way, for the signal handler: saves happen one at a time.
char temporaryFileToRemove[PATH_MAX];
volatile std::sig_atomic_t temporaryFilePending = 0;

// Only calls that are safe in a signal handler: the file goes, then the signal ends the program
// as it would have without this handler.
void RemoveTemporaryFileAndEnd(int signal) {
  if (temporaryFilePending) unlink(temporaryFileToRemove);
  struct sigaction byDefault {};
  byDefault.sa_handler = SIG_DFL;
  sigemptyset(&byDefault.sa_mask);
  sigaction(signal, &byDefault, nullptr);
  raise(signal);
}

// While it lives, a signal that would end the program removes the temporary file first. Signals
// that the program ignores or handles itself are left as they are.
class TemporaryFileGuard {
 public:
  TemporaryFileGuard() {
    struct sigaction handler {};
    handler.sa_handler = RemoveTemporaryFileAndEnd;
    sigemptyset(&handler.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
      struct sigaction current {};
      installed_[i] = sigaction(kEndingSignals[i], nullptr, &current) == 0 &&
                      !(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_DFL &&
                      sigaction(kEndingSignals[i], &handler, nullptr) == 0;
    }
  }
  ~TemporaryFileGuard() {
    temporaryFilePending = 0;
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
      if (installed_[i]) sigaction(kEndingSignals[i], &byDefault, nullptr);
  }
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

  // mkstemp on the template name, with the signals held back until the handler knows the name.
  int CreateFile(std::string& name) {
    sigset_t ending, previous;
    sigemptyset(&ending);
    for (int signal : kEndingSignals) sigaddset(&ending, signal);
    pthread_sigmask(SIG_BLOCK, &ending, &previous);
    const int fd = mkstemp(name.data());
    const int error = errno;
    if (fd >= 0 && name.size() < sizeof temporaryFileToRemove) {
      std::memcpy(temporaryFileToRemove, name.c_str(), name.size() + 1);
      temporaryFilePending = 1;
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return fd;
  }

 private:
  bool installed_[std::size(kEndingSignals)] = {};
};

// Follows a symbolic link to the file it names, so that saving replaces the ROM, not the link.
std::string ResolvedTarget(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

#endif

}  // namespace

#ifdef _WIN32

std::optional<Bytes> PlatformFiles::ReadFileDenyingWriters(const std::string& path,
                                                           std::uint64_t maxLength) {
  Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  auto bytes = ReadOpenFile(file, maxLength, true);
  failureReason_ = bytes ? std::string() : ReadFailureReason(GetLastError(), maxLength);
  return bytes;
}

std::optional<Bytes> PlatformFiles::ReadFileExclusively(const std::string& path,
                                                        std::size_t maxBytes) {
  Handle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  auto bytes = ReadOpenFile(file, maxBytes, false);
  failureReason_ = bytes ? std::string() : SystemReason(GetLastError());
  return bytes;
}

bool PlatformFiles::ReplaceFileContents(const std::string& path, const Bytes& bytes) {
  failureReason_.clear();
  const std::wstring target = ResolvedTarget(Wide(path));
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return Fail(SystemReason(ERROR_ACCESS_DENIED));
  if (exists && HeldAgainstReplacing(target)) return Fail(SystemReason(ERROR_SHARING_VIOLATION));
  std::wstring temporary;
  bool written = false;
  {
    const Handle file =
        CreateTemporaryFile(target, exists ? attributes & kKeptAttributes : 0, temporary);
    // A folder that takes no new file, holding a ROM the user may write: overwrite it in place.
    if (!file.Valid() && exists && GetLastError() == ERROR_ACCESS_DENIED)
      return OverwriteInPlace(target, bytes) || Fail(SystemReason(GetLastError()));
    written = file.Valid() && WriteAll(file, bytes);
  }
  if (written && MoveIntoPlace(temporary, target, exists)) return true;
  const DWORD error = GetLastError();
  // Unless it is all that is left of the ROM.
  if (!exists || GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
    DeleteFileW(temporary.c_str());
  return Fail(SystemReason(error));
}

std::string PlatformFiles::ExecutableFolder() {
  std::wstring name(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()))) == name.size())
    name.resize(name.size() * 2);
  name.resize(length);
  return FolderOf(Narrow(name));
}

#else

std::optional<Bytes> PlatformFiles::ReadFileDenyingWriters(const std::string& path,
                                                           std::uint64_t maxLength) {
  failureReason_.clear();
  Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  return ReadOpenFile(file, LOCK_SH, maxLength, true, failureReason_);
}

std::optional<Bytes> PlatformFiles::ReadFileExclusively(const std::string& path,
                                                        std::size_t maxBytes) {
  failureReason_.clear();
  Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  return ReadOpenFile(file, LOCK_EX, maxBytes, false, failureReason_);
}

bool PlatformFiles::ReplaceFileContents(const std::string& path, const Bytes& bytes) {
  failureReason_.clear();
  const std::string target = ResolvedTarget(path);
  mode_t mode = 0666;
  struct stat info {};
  const bool exists = stat(target.c_str(), &info) == 0;
  // Held until the new content is in place: a program that holds a lock on the ROM, as this
  // one does while reading it, makes the save fail instead of losing its work.
  Descriptor held(exists ? open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1);
  if (held.Valid() && flock(held.get(), LOCK_EX | LOCK_NB) != 0) return Fail(kLockedReason);
  if (exists) {
    if (!S_ISREG(info.st_mode)) return Fail(NotRegularReason(info));
    // A file without any write permission counts as read-only even for the superuser, as a
    // read-only file does on Windows.
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return Fail(SystemReason(EACCES));
    if (access(target.c_str(), W_OK) != 0) return Fail(SystemReason());
    mode = info.st_mode & 07777;
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    mode &= ~mask;
  }

  std::string temporary = FolderOf(target) + "." + FileNameOf(target) + ".XXXXXX";
  TemporaryFileGuard guard;
  Descriptor file(guard.CreateFile(temporary));
  // A folder that takes no new file, holding a ROM the user may write (a shared folder where
  // only this file is theirs): the ROM is overwritten where it stands, as it always was before
  // saves went through a temporary file.
  if (!file.Valid() && exists && (errno == EACCES || errno == EPERM))
    return OverwriteInPlace(target, bytes, failureReason_);
  if (!file.Valid()) return Fail(SystemReason());
  const bool written =
      fchmod(file.get(), mode) == 0 && WriteAll(file.get(), bytes) && fsync(file.get()) == 0;
  if (written && exists && (info.st_uid != geteuid() || info.st_gid != getegid()))
    (void)!fchown(file.get(), info.st_uid, info.st_gid);  // best effort: keep the owner
  if (written && rename(temporary.c_str(), target.c_str()) == 0) {
    Descriptor folder(open(FolderOf(target).empty() ? "." : FolderOf(target).c_str(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) fsync(folder.get());
    return true;
  }
  const std::string reason = SystemReason();
  unlink(temporary.c_str());
  return Fail(reason);
}

std::string PlatformFiles::ExecutableFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "./";
  return FolderOf(std::string(buffer, std::size_t(length)));
}

#endif

}  // namespace brimwell
