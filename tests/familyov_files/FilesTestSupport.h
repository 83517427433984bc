#pragma once

// Settings files of the newer family: one application for the whole program (the progress dialog
// and the prompts need it), the golden files and a temporary folder per test.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <string>

#include "platform/ui/Prompts.h"

namespace filestest {

void FailTest(const std::string& what);
std::string GoldenPath(const std::string& name);
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
// Equal texts, or where they part: line number and both lines (files are too long to print).
::testing::AssertionResult SameText(const std::string& actual, const std::string& expected);
// A 2-input unit's file whose logic inputs recall memory `last` where they recalled a later one,
// so that a unit of `last` memories takes it.
std::string LogicRecallingAtMost(std::string text, int last);

class FilesTest : public ::testing::Test {
 protected:
  std::string TempPath(const std::string& name) const;

  QTemporaryDir folder;
  ui::PromptScript script{FailTest};
};

}  // namespace filestest
