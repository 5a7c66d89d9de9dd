#pragma once
// The end-of-test check of every fixture on the recording device: the device
// refused no call the test did not provoke on purpose. A call the recording
// device refuses (chiefly with D3DERR_INVALIDCALL) is a draw or a state the
// program would lose on a real device.
//
// A fixture calls CheckRefusedCalls in its TearDown; a test that provokes
// refusals says how many with ExpectRefusedCalls.
#include <gtest/gtest.h>

#include <string>

#include "platform/d3d9/recording/recording_device.h"

class RefusedCallCheck {
 public:
  // The test provokes n refused calls on purpose.
  void ExpectRefusedCalls(int n) { m_expectedRefusals = n; }
  void CheckRefusedCalls(const RecordingScript& script) const {
    std::string list;
    for (const std::string& call : script.m_unexpectedFailures) list += "  " + call + "\n";
    EXPECT_EQ(int(script.m_unexpectedFailures.size()), m_expectedRefusals)
        << "calls the recording device refused:\n"
        << list;
  }

 private:
  int m_expectedRefusals = 0;
};
