#pragma once
// Living within an address-space limit (ulimit -v).
//
// Threads cost address space that the programs never use: the C library
// reserves 64 MiB for the allocator arena of each thread that allocates, and
// gives each new thread a stack as large as the stack limit (8 MiB by
// default). The programs run some twenty threads (the software renderer's,
// the toolkit's, the mixer's), so under a limit these reservations, not the
// memory in use, fill the address space; the renderer and the sound library
// then fail allocations they do not check and the process dies inside them,
// and a thread the toolkit cannot start leaves it waiting for ever.
//
// Both programs call KeepWithinAddressLimit first, before any thread starts.

// Under a finite address-space limit: every thread allocates from one shared
// arena, and new threads get stacks of at most 2 MiB (the C library's own
// size when the stack limit is unlimited). Without a limit it does nothing.
void KeepWithinAddressLimit();

// The largest stack a new thread gets under an address-space limit.
inline constexpr unsigned long kLimitedThreadStackBytes = 2ul * 1024 * 1024;
