#include "platform/address_limit.h"

#include <malloc.h>
#include <sys/resource.h>

void KeepAllocatorWithinAddressLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return;
  mallopt(M_ARENA_MAX, 1);
}
