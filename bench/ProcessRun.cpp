#include "ProcessRun.h"

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace brimwell::bench {
namespace {

constexpr unsigned kTimeoutSeconds = 60;

double Nanoseconds(const timeval& time) {
  return double(time.tv_sec) * 1e9 + double(time.tv_usec) * 1e3;
}

pid_t running = 0;

void KillRunning(int) {
  if (running > 0) kill(running, SIGKILL);
}

}  // namespace

std::optional<ProcessRun> RunProcess(const std::vector<std::string>& arguments,
                                     char** environment) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&quiet, STDOUT_FILENO, STDERR_FILENO);
  signal(SIGALRM, KillRunning);
  const auto start = std::chrono::steady_clock::now();
  const int spawned = posix_spawn(&running, argv[0], &quiet, nullptr, argv.data(), environment);
  posix_spawn_file_actions_destroy(&quiet);
  if (spawned != 0) return std::nullopt;
  alarm(kTimeoutSeconds);
  int status = 0;
  struct rusage usage {};
  const pid_t ended = wait4(running, &status, 0, &usage);
  const auto end = std::chrono::steady_clock::now();
  alarm(0);
  running = 0;
  if (ended <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return ProcessRun{
      double(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()),
      Nanoseconds(usage.ru_utime) + Nanoseconds(usage.ru_stime), double(usage.ru_maxrss)};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MedianOf(const std::vector<ProcessRun>& runs, double ProcessRun::*field) {
  std::vector<double> values;
  for (const ProcessRun& run : runs) values.push_back(run.*field);
  return Median(values);
}

int RunsMain(int argc, char** argv, int defaultRuns, int (*measure)(int runs)) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : defaultRuns;
  if (runs < 1) {
    std::fprintf(stderr, "usage: %s [runs]\n", argv[0]);
    return 2;
  }
  return measure(runs);
}

}  // namespace brimwell::bench
