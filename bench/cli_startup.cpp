// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of umbrivista-cli as whole processes against the floor, a C program that only maps
// the catalogue (catalogue_map.c): the CPU time of each child, user + system as wait4 reports
// it, and the ratio CLI / floor, both measured in the same run, alternately.
//
// The iteration time is the CLI's CPU time. Counters: cli_cpu_ms, floor_cpu_ms, cli_wall_ms,
// floor_wall_ms (means per run) and ratio. UMBRIVISTA_BENCH_CLI=PATH measures another
// umbrivista-cli (an older build, say) against the same floor.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "catalogue.h"
#include "data_files.h"

extern char** environ;

namespace {

struct ChildCost {
  double cpuSeconds = 0;
  double wallSeconds = 0;
};

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

// Runs `argv` with its standard output and errors sent to /dev/null and waits for it; throws
// when it cannot be started or does not exit with status 0.
ChildCost RunChild(const std::vector<std::string>& argv) {
  std::vector<char*> pointers;
  for (const std::string& arg : argv) pointers.push_back(const_cast<char*>(arg.c_str()));
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, pointers[0], &actions, nullptr, pointers.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start " + argv[0]);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) throw std::runtime_error("cannot wait for " + argv[0]);
  }
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    throw std::runtime_error(argv[0] + " " + argv[1] + " failed");
  }
  return {Seconds(usage.ru_utime) + Seconds(usage.ru_stime),
          std::chrono::duration<double>(end - start).count()};
}

std::string CliPath() {
  const char* given = std::getenv("UMBRIVISTA_BENCH_CLI");
  return given && *given ? given : UMBRIVISTA_CLI;
}

void Startup(benchmark::State& state, std::vector<std::string> arguments) {
  std::vector<std::string> cli = {CliPath()};
  cli.insert(cli.end(), arguments.begin(), arguments.end());
  // The catalogue file the CLI finds, from the same folder as the benchmark (build/bin).
  const std::vector<std::string> floor = {UMBRIVISTA_CATALOGUE_MAP,
                                          umbrivista::FindDataFile(umbrivista::kCatalogueFileName)};
  ChildCost cliTotal, floorTotal;
  try {
    // Once each unmeasured: the files in the page cache, the libraries too.
    RunChild(cli);
    RunChild(floor);
    for (auto _ : state) {
      const ChildCost f = RunChild(floor);
      const ChildCost c = RunChild(cli);
      floorTotal.cpuSeconds += f.cpuSeconds;
      floorTotal.wallSeconds += f.wallSeconds;
      cliTotal.cpuSeconds += c.cpuSeconds;
      cliTotal.wallSeconds += c.wallSeconds;
      state.SetIterationTime(c.cpuSeconds);
    }
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["cli_cpu_ms"] = cliTotal.cpuSeconds * 1e3 / runs;
  state.counters["floor_cpu_ms"] = floorTotal.cpuSeconds * 1e3 / runs;
  state.counters["cli_wall_ms"] = cliTotal.wallSeconds * 1e3 / runs;
  state.counters["floor_wall_ms"] = floorTotal.wallSeconds * 1e3 / runs;
  state.counters["ratio"] =
      floorTotal.cpuSeconds > 0 ? cliTotal.cpuSeconds / floorTotal.cpuSeconds : 0;
}

}  // namespace

BENCHMARK_CAPTURE(Startup, deltat, std::vector<std::string>{"deltat", "2024", "4"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(Startup, local,
                  std::vector<std::string>{"local", "16690", "--lat", "32.78", "--lon", "-96.8"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
