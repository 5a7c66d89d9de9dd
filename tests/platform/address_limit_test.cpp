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

// What threads cost once KeepWithinAddressLimit has run under a limit.
struct ThreadCost {
  long arenaGrowthKiB = -1;  // address space taken while threads allocate
  long stackBytes = -1;      // the stack of a thread with default attributes
};

constexpr int kThreads = 12;
pthread_barrier_t g_allocated, g_measured;

// Allocates once and waits until every thread has; hands the block back so
// that the allocation is not optimised away.
void* AllocateAndWait(void*) {
  void* block = std::malloc(64);
  pthread_barrier_wait(&g_allocated);
  pthread_barrier_wait(&g_measured);
  return block;
}

void* OwnStackSize(void*) {
  pthread_attr_t attributes;
  size_t stack = 0;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    pthread_attr_getstacksize(&attributes, &stack);
    pthread_attr_destroy(&attributes);
  }
  return reinterpret_cast<void*>(stack);
}

// Growth of the address space while kThreads threads with small stacks of
// their own allocate at the same time; -1 when a thread cannot start.
long ArenaGrowthKiB() {
  pthread_barrier_init(&g_allocated, nullptr, kThreads + 1);
  pthread_barrier_init(&g_measured, nullptr, kThreads + 1);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  const long before = AddressSpaceKiB();
  std::vector<pthread_t> threads(kThreads);
  for (pthread_t& thread : threads)
    if (pthread_create(&thread, &attributes, AllocateAndWait, nullptr) != 0) std::abort();
  pthread_barrier_wait(&g_allocated);
  const long growth = AddressSpaceKiB() - before;
  pthread_barrier_wait(&g_measured);
  for (pthread_t thread : threads) {
    void* block = nullptr;
    pthread_join(thread, &block);
    std::free(block);
  }
  return growth;
}

long DefaultStackBytes() {
  pthread_t thread;
  void* stack = nullptr;
  if (pthread_create(&thread, nullptr, OwnStackSize, nullptr) != 0) return -1;
  pthread_join(thread, &stack);
  return static_cast<long>(reinterpret_cast<size_t>(stack));
}

// Measured in a child process, since the settings are process-wide, under a
// limit 1 GiB above the child's use (or the hard limit, when lower).
ThreadCost CostUnderALimit() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = std::min(limit.rlim_max, static_cast<rlim_t>(AddressSpaceKiB() + 1024 * 1024) * 1024);
    if (setrlimit(RLIMIT_AS, &limit) != 0) _exit(1);
    KeepWithinAddressLimit();
    const ThreadCost cost{ArenaGrowthKiB(), DefaultStackBytes()};
    _exit(write(pipeEnds[1], &cost, sizeof cost) == sizeof cost ? 0 : 1);
  }
  close(pipeEnds[1]);
  ThreadCost cost;
  if (child < 0 || read(pipeEnds[0], &cost, sizeof cost) != sizeof cost) cost = {};
  close(pipeEnds[0]);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return cost;
}

}  // namespace

// Each allocator arena reserves 64 MiB and a default stack is as large as the
// stack limit (8 MiB unless set otherwise); under an address-space limit the
// threads share one arena (a dozen threads with 256 KiB stacks then take
// about 3 MiB) and get stacks of 2 MiB.
TEST(AddressLimit, ThreadsUnderALimitShareOneArenaAndGetSmallStacks) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator has no arenas and its threads other stacks";
#endif
  const ThreadCost cost = CostUnderALimit();
  ASSERT_GE(cost.arenaGrowthKiB, 0) << "the child process failed";
  EXPECT_LT(cost.arenaGrowthKiB, 32 * 1024);
  ASSERT_GT(cost.stackBytes, 0);
  EXPECT_LE(cost.stackBytes, static_cast<long>(kLimitedThreadStackBytes));
}
