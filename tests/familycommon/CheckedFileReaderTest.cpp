#include <gtest/gtest.h>

#include <string>

#include "bus/SettingsTextFile.h"
#include "familycommon/CheckedFileReader.h"

namespace {

using familycommon::CheckedFileReader;
using familycommon::FileLineError;

TEST(CheckedFileReader, TextsUpToTheirLimitAreReadWholeLongerOnesRefused) {
  SettingsTextFile file;
  file.OpenText("\"\" \"abcd\"\n\"abcde\"\n");
  CheckedFileReader reader(file);
  EXPECT_EQ(reader.Text(4), "");
  EXPECT_EQ(reader.Text(4), "abcd");
  try {
    reader.Text(4);
    FAIL() << "a text longer than its limit was read";
  } catch (const FileLineError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Line 2: ", 0), 0u) << error.what();
  }
}

TEST(CheckedFileReader, ValuesOutOfRangeAreRefusedByNameAndLine) {
  SettingsTextFile file;
  file.OpenText("7\n300\n2.5\n");
  CheckedFileReader reader(file);
  EXPECT_EQ(reader.Int(0, 10, "Clock event day"), 7);
  try {
    reader.Int(0, 255, "Logic memory");
    FAIL() << "a value out of range was read";
  } catch (const FileLineError& error) {
    EXPECT_STREQ(error.what(), "Line 2: The Logic memory 300 is out of range (0 to 255).");
  }
  EXPECT_THROW(reader.Float(0.0f, 1.0f, std::string("level")), FileLineError);
}

}  // namespace
