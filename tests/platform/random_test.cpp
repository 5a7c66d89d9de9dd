#include <gtest/gtest.h>

#include "platform/crt_random.h"

TEST(CrtRandom, MatchesTheRunTimeSequence) {
  CrtSrand(1);
  EXPECT_EQ(CrtRand(), 41);
  EXPECT_EQ(CrtRand(), 18467);
  EXPECT_EQ(CrtRand(), 6334);
  EXPECT_EQ(CrtRand(), 26500);
}

TEST(CrtRandom, ReseedingRepeatsAndStateFollowsTheFormula) {
  CrtSrand(12345);
  const int a = CrtRand(), b = CrtRand();
  CrtSrand(12345);
  EXPECT_EQ(CrtRand(), a);
  EXPECT_EQ(CrtRand(), b);
  CrtSrand(7);
  CrtRand();
  EXPECT_EQ(CrtRandomState(), 7u * 214013u + 2531011u);
}

TEST(CrtRandom, SignIsPlusOneForAnOddDraw) {
  CrtSrand(1);  // draws 41 (odd), 18467 (odd), 6334 (even)
  EXPECT_EQ(CrtRandomSign(), 1);
  EXPECT_EQ(CrtRandomSign(), 1);
  EXPECT_EQ(CrtRandomSign(), -1);
}

TEST(CrtRandom, ResultsStayInRange) {
  CrtSetRandomState(0xFFFFFFFFu);
  for (int i = 0; i < 100000; ++i) {
    const int r = CrtRand();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, kCrtRandMax);
  }
}
