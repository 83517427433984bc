#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/OutputPath.h"

namespace ui::testing_support {

// A failure handler for prompt scripts: fails the running test with the prompt's description.
void FailTest(const std::string& what);
// For its lifetime, modal loops really run (the test bounds them itself) instead of failing.
class RealModalLoops {
 public:
  RealModalLoops();
  ~RealModalLoops();
  RealModalLoops(const RealModalLoops&) = delete;
  RealModalLoops& operator=(const RealModalLoops&) = delete;
};

// For its lifetime, errors the layer reports are collected instead of failing the test.
class CollectedErrors {
 public:
  CollectedErrors();
  ~CollectedErrors();
  CollectedErrors(const CollectedErrors&) = delete;
  CollectedErrors& operator=(const CollectedErrors&) = delete;
  std::vector<std::string> errors;  // "where: what"
};

using testsupport::OutputPath;

}  // namespace ui::testing_support
