// A libFLAC whose verify decoder finds a difference, for the test of what a rip does then: this
// test program's own definitions of four libFLAC functions stand in front of the library's
// (the program's symbols come first), and pass every call through until a failure is armed.
#pragma once

#include <cstdint>

namespace lumbra::test {

// The next call that encodes samples fails as a verify difference would, for that stream only.
void armFlacVerifyFailure();
// Back to libFLAC's own behaviour.
void disarmFlacVerifyFailure();

// What the failing stream reports about the difference.
inline constexpr uint64_t kFakeMismatchSample = 12345;
inline constexpr int kFakeMismatchExpected = 100;
inline constexpr int kFakeMismatchGot = -100;

}  // namespace lumbra::test
