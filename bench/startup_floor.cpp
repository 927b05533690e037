// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up against its floor, measured in one run: each iteration starts a minimal Qt Widgets
// program (a main window holding a label, which quits after its first paint) and then the program
// (`umbrivista --quit-after-first-paint`: catalogue, scratch database, texture, the three windows,
// closed once the globe has been drawn), both on Qt's offscreen platform with a scratch home, and
// takes each child's CPU time (user + system) and peak resident memory from wait4. The counters
// are the minimum and median of each over the iterations, and the ratios program / floor of the
// medians (cpu_ratio, rss_ratio) and of the minima (cpu_ratio_min). With UMBRIVISTA_STARTUP_BASELINE
// naming another build of the program (with its data files beside it), that one is started in each
// iteration too and its figures are the base_* counters, for a before/after in one run.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct ChildCost {
  double cpuMs = 0;
  double peakMiB = 0;
};

// Runs `program` with `argument` (if any) to its end, its output thrown away.
ChildCost RunChild(const char* program, const char* argument) {
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("fork");
    std::exit(1);
  }
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execl(program, program, argument, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "startup_floor: %s failed (status %d)\n", program, status);
    std::exit(1);
  }
  auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
  return {ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_maxrss / 1024.0};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Min(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

// A scratch home, temporary folder and runtime folder for the children, so that the runs touch
// nothing of the user's; the first run of the program makes its settings there.
const std::string& UseScratchEnvironment() {
  static const std::string dir = [] {
    char name[] = "/tmp/umbrivista-startup-XXXXXX";
    if (!mkdtemp(name)) {
      std::perror("mkdtemp");
      std::exit(1);
    }
    return std::string(name);
  }();
  setenv("HOME", dir.c_str(), 1);
  setenv("TMPDIR", dir.c_str(), 1);
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  unsetenv("XDG_DATA_HOME");
  unsetenv("XDG_CONFIG_HOME");
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  return dir;
}

void BM_StartToFirstPaint(benchmark::State& state) {
  const std::string& scratch = UseScratchEnvironment();
  // Unmeasured: the program's first start writes its settings; both warm the file cache.
  RunChild(UMBRIVISTA_MINIMAL_WINDOW, nullptr);
  RunChild(UMBRIVISTA_PROGRAM, "--quit-after-first-paint");
  const char* baseline = std::getenv("UMBRIVISTA_STARTUP_BASELINE");
  if (baseline) RunChild(baseline, "--quit-after-first-paint");
  std::vector<double> floorCpu, floorRss, cpu, rss, baseCpu, baseRss;
  for (auto _ : state) {
    const ChildCost floor = RunChild(UMBRIVISTA_MINIMAL_WINDOW, nullptr);
    const ChildCost program = RunChild(UMBRIVISTA_PROGRAM, "--quit-after-first-paint");
    floorCpu.push_back(floor.cpuMs);
    floorRss.push_back(floor.peakMiB);
    cpu.push_back(program.cpuMs);
    rss.push_back(program.peakMiB);
    if (baseline) {
      const ChildCost base = RunChild(baseline, "--quit-after-first-paint");
      baseCpu.push_back(base.cpuMs);
      baseRss.push_back(base.peakMiB);
    }
  }
  if (baseline) {
    state.counters["base_cpu_ms_min"] = Min(baseCpu);
    state.counters["base_cpu_ms_med"] = Median(baseCpu);
    state.counters["base_cpu_ratio"] = Median(baseCpu) / Median(floorCpu);
    state.counters["base_peak_MiB"] = Median(baseRss);
    state.counters["base_rss_ratio"] = Median(baseRss) / Median(floorRss);
  }
  state.counters["floor_cpu_ms_min"] = Min(floorCpu);
  state.counters["floor_cpu_ms_med"] = Median(floorCpu);
  state.counters["cpu_ms_min"] = Min(cpu);
  state.counters["cpu_ms_med"] = Median(cpu);
  state.counters["cpu_ratio"] = Median(cpu) / Median(floorCpu);
  state.counters["cpu_ratio_min"] = Min(cpu) / Min(floorCpu);
  state.counters["floor_peak_MiB"] = Median(floorRss);
  state.counters["peak_MiB"] = Median(rss);
  state.counters["rss_ratio"] = Median(rss) / Median(floorRss);
  std::error_code ignored;
  std::filesystem::remove_all(scratch, ignored);
}

BENCHMARK(BM_StartToFirstPaint)->Iterations(15)->Unit(benchmark::kMillisecond);

}  // namespace
