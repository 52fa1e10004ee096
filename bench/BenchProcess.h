// Runs one measurement of a benchmark in a fresh process (the benchmark program itself, started
// again with its arguments), so that the peak resident size and the processor time are that
// run's own and nothing of an earlier size stays in memory. The child prints its figures on
// standard output; the parent collects them with the child's resource usage.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace vemo::bench {

struct ChildRun {
  std::string output;     // what the child printed
  double wall = 0;        // s, start to exit
  double cpu = 0;         // s, user + system
  double peakMb = 0;      // peak resident size
};

// Starts /proc/self/exe with args; false when it could not start or did not exit with 0.
inline bool RunChild(const std::vector<std::string>& args, ChildRun& run) {
  int pipeFd[2];
  if (pipe(pipeFd) != 0) return false;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) {
    dup2(pipeFd[1], STDOUT_FILENO);
    close(pipeFd[0]);
    close(pipeFd[1]);
    std::vector<char*> argv;
    static char self[] = "bench";
    argv.push_back(self);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(pipeFd[1]);
  run.output.clear();
  char buffer[4096];
  for (ssize_t n; (n = read(pipeFd[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, static_cast<size_t>(n));
  close(pipeFd[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// The line a driver script collects from every benchmark: command, points, wall seconds,
// processor seconds, peak resident MB.
inline void PrintBenchLine(const char* command, int points, double seconds, double cpu, double peakMb) {
  std::printf("BENCH %s %d %.3f %.3f %.1f\n", command, points, seconds, cpu, peakMb);
  std::fflush(stdout);
}

inline double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace vemo::bench
