#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/xserver/XServer.h"

namespace xserver {

// The program's X server, started before the application and ended after it, and the test's own
// connection to it; null when no server could be started.
XInput* Input();
// Why no X server could be started.
const std::string& NoServerWhy();

// Each test begins with this: without an X server it skips, saying why, or fails in CI, where the
// tests must never be skipped.
#define XSERVER_REQUIRED()                                                        \
  do {                                                                            \
    if (::xserver::Input() != nullptr) break;                                     \
    if (std::getenv("CI") != nullptr)                                             \
      FAIL() << "no X server could be started: " << ::xserver::NoServerWhy();     \
    GTEST_SKIP() << "no X server could be started: " << ::xserver::NoServerWhy(); \
  } while (false)

}  // namespace xserver
