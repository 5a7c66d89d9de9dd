#pragma once
// The program's random number generator.
//
// The same linear congruential generator as the C run-time's rand(): state =
// state * 214013 + 2531011 (mod 2^32), result = (state >> 16) & 0x7FFF, so
// results are 0..32767 and a board rebuilt from its seed draws exactly the
// same numbers. There is one generator for the whole program (one thread).
// Nothing in the project calls the C library's rand()/srand().
#include <cstdint>

inline constexpr int kCrtRandMax = 0x7FFF;

// Seeds the generator (srand). The start state, before any seeding, is 1.
void CrtSrand(std::uint32_t seed);

// The next result, 0..32767 (rand).
int CrtRand();

// +1 for an odd draw, -1 for an even one; consumes one draw.
int CrtRandomSign();

// The raw state, for tests that check how many draws a step consumed.
std::uint32_t CrtRandomState();
void CrtSetRandomState(std::uint32_t state);
