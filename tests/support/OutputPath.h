#pragma once

// The test program's build folder, where tests leave pictures to look at. A test writes its own
// file there, or writes it whole and renames it (ui::test::GrabPng and SavePng do): runs of the
// same test side by side share the folder.

#include <string>

namespace testsupport {

inline std::string OutputPath(const std::string& fileName) {
  return std::string(TELVO_TEST_OUTPUT_DIR) + "/" + fileName;
}

}  // namespace testsupport
