#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/address_limit.h"

namespace {

// The process's address space in KiB (VmSize).
long AddressSpaceKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmSize:", 0) == 0) return std::strtol(line.c_str() + 7, nullptr, 10);
  return -1;
}

// Threads that each allocate once and wait until all of them have.
constexpr int kThreads = 12;
pthread_barrier_t g_allocated, g_measured;

// Each thread hands its block back, so the allocation is not optimised away.
void* AllocateAndWait(void*) {
  void* block = std::malloc(64);
  pthread_barrier_wait(&g_allocated);
  pthread_barrier_wait(&g_measured);
  return block;
}

// In a child process (the allocator setting is process-wide): under a
// limit 1 GiB above today's use, the growth in MiB of the address space
// while kThreads threads with small stacks allocate at the same time (at
// most 200; -1 or more than 200 when the child failed).
long GrowthUnderALimit() {
  const pid_t child = fork();
  if (child == 0) {
    const rlimit limit{static_cast<rlim_t>(AddressSpaceKiB() + 1024 * 1024) * 1024, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(255);
    KeepAllocatorWithinAddressLimit();
    pthread_barrier_init(&g_allocated, nullptr, kThreads + 1);
    pthread_barrier_init(&g_measured, nullptr, kThreads + 1);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    const long before = AddressSpaceKiB();
    std::vector<pthread_t> threads(kThreads);
    for (pthread_t& thread : threads)
      if (pthread_create(&thread, &attributes, AllocateAndWait, nullptr) != 0) _exit(254);
    pthread_barrier_wait(&g_allocated);
    const long growthMiB = (AddressSpaceKiB() - before) / 1024;
    pthread_barrier_wait(&g_measured);
    for (pthread_t thread : threads) {
      void* block = nullptr;
      pthread_join(thread, &block);
      std::free(block);
    }
    _exit(static_cast<int>(std::min(growthMiB, 200L)));
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace

// Each arena the allocator opens reserves 64 MiB; under a limit the threads
// share one, so a dozen threads that allocate cost little more than their
// stacks (3 MiB here).
TEST(AddressLimit, ThreadsUnderALimitShareTheAllocatorsArena) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator has no arenas";
#endif
  const long growthMiB = GrowthUnderALimit();
  ASSERT_GE(growthMiB, 0) << "the child process failed";
  ASSERT_LE(growthMiB, 200) << "the child could not set the limit or start its threads";
  EXPECT_LT(growthMiB, 32);
}
