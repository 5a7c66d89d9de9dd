#pragma once
// The entry point of a benchmark program whose benchmarks need a display.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace bench {

// Runs the benchmarks inside a QApplication; without a display it says so
// and measures nothing.
inline int RunOnDisplay(int argc, char** argv, const char* program) {
  const char* display = std::getenv("DISPLAY");
  if (!display || !*display) {
    std::printf("%s needs a display (try xvfb-run); nothing measured.\n", program);
    return 0;
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
