#include "platform/address_limit.h"

#include <malloc.h>
#include <pthread.h>
#include <sys/resource.h>

void KeepWithinAddressLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return;
  mallopt(M_ARENA_MAX, 1);
  pthread_attr_t defaults;
  if (pthread_getattr_default_np(&defaults) != 0) return;
  size_t stack = 0;
  if (pthread_attr_getstacksize(&defaults, &stack) == 0 && stack > kLimitedThreadStackBytes &&
      pthread_attr_setstacksize(&defaults, kLimitedThreadStackBytes) == 0)
    pthread_setattr_default_np(&defaults);
  pthread_attr_destroy(&defaults);
}
