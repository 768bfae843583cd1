#include "TestFiles.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/WindowsText.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brimwell::testing {

#ifdef _WIN32

namespace {

HANDLE AsHandle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t Opened(HANDLE handle, const std::string& what) {
  if (handle == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open " + what + ": error " + std::to_string(GetLastError()));
  return reinterpret_cast<std::intptr_t>(handle);
}

// wine shows Windows programs the host's symbolic links, but its CreateSymbolicLinkW makes
// none, and its DeleteFileW removes the file that a link names instead of the link: there the
// host's ln and rm make and remove the link.
using UnixFileName = char*(__cdecl*)(const wchar_t*);
UnixFileName WineUnixFileName() {
  const FARPROC function =
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
  return reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(function));
}

std::string UnixPath(UnixFileName unixFileName, const std::string& path) {
  char* name = unixFileName(Wide(path).c_str());
  const std::string unix = name ? name : "";
  HeapFree(GetProcessHeap(), 0, name);
  return unix;
}

// Whether the folder lists the entry, even a link whose file is gone.
bool Listed(const std::string& path) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(Wide(path).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

// wine gives no handle of a host process to wait on: the test waits for its work to show.
bool RunOnHost(const wchar_t* program, const std::string& commandLine, bool linkListedAfter,
               const std::string& link) {
  std::wstring command = Wide(commandLine);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  if (process.hThread) CloseHandle(process.hThread);
  if (process.hProcess) CloseHandle(process.hProcess);
  for (int waited = 0; waited < 10000; waited += 10) {
    if (Listed(link) == linkListedAfter) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

FileHeldOpen::FileHeldOpen(const std::string& path, HeldFor use)
    : handle_(Opened(
          use == HeldFor::Reading
              ? CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
              : CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
          path)) {}

FileHeldOpen::~FileHeldOpen() {
  CloseHandle(AsHandle(handle_));
}

NamedPipe::NamedPipe(const ScratchFolder&) {
  static std::atomic<int> count{0};
  path_ = "\\\\.\\pipe\\brimwell-test-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(count++);
  handle_ = Opened(CreateNamedPipeW(Wide(path_).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                    PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr),
                   path_);
}

NamedPipe::~NamedPipe() {
  CloseHandle(AsHandle(handle_));
}

const char* const kDeviceFile = "NUL";

SymbolicLink::SymbolicLink(const std::string& target, const std::string& link) : link_(link) {
  if (const UnixFileName unixFileName = WineUnixFileName()) {
    const std::string command =
        "ln -s \"" + UnixPath(unixFileName, target) + "\" \"" + UnixPath(unixFileName, link) + "\"";
    if (!RunOnHost(L"Z:\\bin\\ln", command, true, link))
      unavailable_ = "wine could not make a symbolic link with the host's ln";
  } else if (!CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(),
                                  SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
    unavailable_ =
        "this user may not make symbolic links (they need Developer Mode or the "
        "privilege): error " +
        std::to_string(GetLastError());
  }
}

SymbolicLink::~SymbolicLink() {
  if (!unavailable_.empty()) return;
  if (const UnixFileName unixFileName = WineUnixFileName())
    RunOnHost(L"Z:\\bin\\rm", "rm -f \"" + UnixPath(unixFileName, link_) + "\"", false, link_);
  else
    DeleteFileW(Wide(link_).c_str());
}

void SetUncommonPermissions(const std::string& path) {
  if (!SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE))
    throw std::runtime_error("cannot set the attributes of " + path);
}

std::uint32_t PermissionsOf(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str());
}

bool RunsAsSuperuser() {
  return false;
}

// In UTF-16, as a user's shell passes it: std::system would take the ANSI code page. Under
// load, wine now and then fails to start the shell itself (-1, with errno set); that is no
// answer of the program's, so the command is tried again.
int RunThroughShell(const std::string& commandLine) {
  const std::wstring command = Wide(commandLine);
  int result = -1;
  for (int attempt = 0; attempt < 3 && result == -1; ++attempt) {
    errno = 0;
    result = _wsystem(command.c_str());
    if (result == -1 && errno == 0) break;
  }
  return result;
}

std::optional<bool> RunInLimitedChildProcess(const ChildLimits&, const std::function<bool()>&) {
  return std::nullopt;
}

const char* const kNoLimitedChildProcess =
    "needs a child process with a file size limit or another user, which Windows does not give";

#else

FileHeldOpen::FileHeldOpen(const std::string& path, HeldFor use)
    : handle_(open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (handle_ >= 0 &&
      flock(int(handle_), (use == HeldFor::Reading ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0)
    return;
  if (handle_ >= 0) close(int(handle_));
  throw std::runtime_error("cannot hold " + path);
}

FileHeldOpen::~FileHeldOpen() {
  close(int(handle_));
}

NamedPipe::NamedPipe(const ScratchFolder& folder) : path_(folder.File("pipe.nes")) {
  if (mkfifo(path_.c_str(), 0600) != 0) throw std::runtime_error("cannot make " + path_);
}

NamedPipe::~NamedPipe() = default;

const char* const kDeviceFile = "/dev/zero";

SymbolicLink::SymbolicLink(const std::string& target, const std::string& link) : link_(link) {
  std::error_code error;
  std::filesystem::create_symlink(target, link, error);
  if (error) unavailable_ = "cannot make a symbolic link: " + error.message();
}

SymbolicLink::~SymbolicLink() {
  if (unavailable_.empty()) unlink(link_.c_str());
}

void SetUncommonPermissions(const std::string& path) {
  if (chmod(path.c_str(), 0640) != 0) throw std::runtime_error("cannot chmod " + path);
}

std::uint32_t PermissionsOf(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

bool RunsAsSuperuser() {
  return geteuid() == 0;
}

int RunThroughShell(const std::string& commandLine) {
  const int status = std::system(commandLine.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::optional<bool> RunInLimitedChildProcess(const ChildLimits& limits,
                                             const std::function<bool()>& work) {
  constexpr int kSetUpFailed = 2;
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot start a child process");
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (limits.asNobody && RunsAsSuperuser() && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
      _exit(kSetUpFailed);
    // A write past the limit then fails with EFBIG instead of ending the process.
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{rlim_t(limits.fileSizeLimit), rlim_t(limits.fileSizeLimit)};
    if (limits.fileSizeLimit != 0 && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(kSetUpFailed);
    _exit(work() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) == kSetUpFailed)
    throw std::runtime_error("the child process failed to set up or to end");
  return WEXITSTATUS(status) == 0;
}

const char* const kNoLimitedChildProcess = "";

#endif

}  // namespace brimwell::testing
