#pragma once
// Small helpers shared by the benchmark programs.
#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <utility>

// Resident set size of the process in MB.
inline double ResidentMegabytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// ---- frame pairs ----------------------------------------------------------------------------
// Times a device frame and the minimal program's frame of each iteration:
// wall time for both (the device's is the iteration time) and the calling
// thread's processor time. Run with LP_NUM_THREADS=0 a software renderer
// rasterizes on the calling thread, so cpu_ratio compares the two frames'
// work even on a busy machine.
class FramePairTimer {
 public:
  using Clock = std::chrono::steady_clock;
  void StartDevice() { Mark(); }
  void StartBaseline() {
    const auto [wall, cpu] = Mark();
    m_deviceWall += wall, m_deviceCpu += cpu;
  }
  // Answers the device frame's wall seconds for SetIterationTime.
  double EndBaseline() {
    const auto [wall, cpu] = Mark();
    m_baselineWall += wall, m_baselineCpu += cpu;
    const double device = m_deviceWall - m_lastDevice;
    m_lastDevice = m_deviceWall;
    return device;
  }
  double DeviceSeconds() const { return m_deviceWall; }
  // fps of the device, baseline_ms, ratio and cpu_ratio (device / minimal).
  void Report(benchmark::State& state) const {
    const double frames = double(state.iterations());
    state.counters["fps"] = frames / m_deviceWall;
    if (m_baselineWall <= 0) return;
    state.counters["baseline_ms"] = m_baselineWall / frames * 1000;
    state.counters["ratio"] = m_deviceWall / m_baselineWall;
    state.counters["cpu_ratio"] = m_deviceCpu / m_baselineCpu;
  }

 private:
  static double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
  }
  std::pair<double, double> Mark() {
    const auto now = Clock::now();
    const double cpu = ThreadSeconds();
    const std::pair<double, double> since{std::chrono::duration<double>(now - m_wall).count(), cpu - m_cpu};
    m_wall = now, m_cpu = cpu;
    return since;
  }
  Clock::time_point m_wall = Clock::now();
  double m_cpu = ThreadSeconds();
  double m_deviceWall = 0, m_deviceCpu = 0, m_baselineWall = 0, m_baselineCpu = 0;
  double m_lastDevice = 0;
};
