#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

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

// Every value is read as it is written or refused, naming the line of the fault and what is wrong.
TEST(CheckedFileReader, ValuesAreReadAsWrittenOrRefusedAtTheLineOfTheFault) {
  using Read = std::function<void(SettingsTextFile&, CheckedFileReader&)>;
  const Read name = [](SettingsTextFile&, CheckedFileReader& read) { read.Name(15, false); };
  const Read integer = [](SettingsTextFile&, CheckedFileReader& read) { read.Int(); };
  const Read twoInts = [](SettingsTextFile&, CheckedFileReader& read) {
    read.Int();
    read.Int();
  };
  const Read real = [](SettingsTextFile&, CheckedFileReader& read) { read.Float(); };
  const Read nameOfA = [](SettingsTextFile& file, CheckedFileReader& read) {
    ASSERT_TRUE(file.FindSection("A"));
    read.Name(255, false);
  };
  const Read sectionA = [](SettingsTextFile& file, CheckedFileReader& read) {
    ASSERT_TRUE(file.FindSection("A"));
    read.Int();
    read.EndOfSection("A");
    read.NextSection("B");
    read.Int();
    read.EndOfSection("B");
    read.AllSectionsRead();
  };
  const std::string reason = SettingsTextFile::kUncarriedReason;
  const std::string format = "Format error in file: ";
  const struct {
    std::string text;
    Read read;
    std::string refusal;  // empty: read as written
  } cases[] = {
      // A string starts on the line being read and ends there.
      {"[A]\nabc \n\n[B]\n\"Memory 2\" ", nameOfA,
       "Line 2: " + format + "a quoted text is expected here."},
      {"[A]\n\n  \"x\"", nameOfA, ""},
      {"[A]\n\"abc \n\"x\" ", nameOfA,
       "Line 2: " + format + "the quoted text does not end on its line."},
      {"[A]\n\"abc", nameOfA, "Line 2: Unexpected EOF encountered during read"},
      {"[A]\n\"" + std::string(300, 'n') + "\"", nameOfA,
       "Line 2: " + format + "the text is longer than 255 characters."},
      // A number ends at a blank, a line end or the end of the file.
      {"1junk!! ", integer,
       "Line 1: " + format + "a number must be followed by a blank or a line end."},
      {"7\n0x1\n", twoInts,
       "Line 2: " + format + "a number must be followed by a blank or a line end."},
      {"7\r\n8", twoInts, ""},
      {"\n\n1.5e ", real,
       "Line 3: " + format + "a number must be followed by a blank or a line end."},
      {"1e39 ", real, "Line 1: " + format + "the number 1e39 is out of range."},
      {"\n99999999999 ", integer, "Line 2: " + format + "the number 99999999999 is out of range."},
      {"\nx ", integer, "Line 2: " + format + "a number is expected here."},
      {"7 \n\n", twoInts, "Line 1: Unexpected EOF encountered during read"},
      // Names hold the printable characters of Windows-1252.
      {"\"Caf\xE9 \x80\x9F\xA0\xFF ~\"", name, ""},
      {"\"a\tb\"", name, "Line 1: " + reason},
      {"\n\"a\x01\"", name, "Line 2: " + reason},
      {"\"a\x7F\"", name, "Line 1: " + reason},
      {"\"a\x81\"", name, "Line 1: " + reason},
      {"\"a\x9D\"", name, "Line 1: " + reason},
      {"\"[EQ A]\"", name, "Line 1: " + reason},
      {std::string("\"a\0b\"", 5), name,
       "Line 1: " + format + "the quoted text holds a zero byte."},
      // Sections hold their values and nothing more, each is read once and in its place.
      {"[A]\n1 \n// note\n[B]\n2 ", sectionA, ""},
      {"[A]\n1 2 \n[B]\n2 ", sectionA, "Line 2: Unexpected text after the values of [A]."},
      {"[A]\n1 \n[C]\n2 ", sectionA, "Line 3: The section [B] is missing here."},
      {"[A]\n1 \n[B]\n2 \n[A]\n1 ", sectionA,
       "Line 5: The section [A] stands twice or out of its place."},
      {"[Z]\n[A]\n1 \n[B]\n2 ", sectionA, "Line 1: The section [Z] does not belong in this file."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SettingsTextFile file;
    file.OpenText(c.text);
    CheckedFileReader reader(file);
    try {
      c.read(file, reader);
      EXPECT_EQ(c.refusal, "") << "read";
    } catch (const FileLineError& error) {
      EXPECT_EQ(error.what(), c.refusal);
    }
  }
}

TEST(CheckedFileReader, AFlagIsZeroOrOne) {
  SettingsTextFile file;
  file.OpenText("0 1\n-7 99999");
  CheckedFileReader reader(file);
  EXPECT_FALSE(reader.Flag("mute"));
  EXPECT_TRUE(reader.Flag("mute"));
  for (const char* value : {"-7", "99999"}) {
    try {
      reader.Flag("mute");
      ADD_FAILURE() << value << " read as a flag";
    } catch (const FileLineError& error) {
      EXPECT_EQ(error.what(),
                "Line 2: The mute " + std::string(value) + " is out of range (0 to 1).");
    }
  }
}

}  // namespace
