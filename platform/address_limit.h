#pragma once
// Living within an address-space limit (ulimit -v).
//
// The C library's allocator gives each thread that allocates its own arena
// and reserves 64 MiB of address space for each one up front. The programs
// run some twenty threads (the software renderer's, the toolkit's, the
// mixer's), so under a limit these reservations, not the memory in use, use
// up the address space, and the renderer and the sound library then fail
// allocations they do not check (the process dies inside them). Under a
// limit the arenas are therefore shared; without one nothing changes.
//
// Both programs call KeepAllocatorWithinAddressLimit first, before any thread
// starts.

// Under a finite address-space limit, has every thread allocate from one
// shared arena; without a limit it does nothing.
void KeepAllocatorWithinAddressLimit();
