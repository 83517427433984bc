#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <iterator>
#include <locale>
#include <random>

#include "bus/SettingsTextFile.h"
#include "tests/platform/FileSizeLimit.h"
#include "tests/platform/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::FileSizeLimit;
using testing_support::TempDir;

class SettingsTextFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return (dir_.Path() / "unit.txt").string(); }
  std::string Contents() const { return testing_support::FileContents(Path()); }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_.Path()), {}));
  }
  // Opens `text` for reading.
  void Load(const std::string& text) {
    dir_.WriteFile("unit.txt", text);
    ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kRead));
  }
  template <typename Read>
  void ExpectParserError(int kind, Read read) {
    try {
      read();
      ADD_FAILURE() << "no FileParserError";
    } catch (const FileParserError& error) {
      EXPECT_EQ(error.GetKind(), kind);
      EXPECT_EQ(error.GetText().rfind(kind == FileParserError::kUnexpectedEof
                                          ? "Unexpected EOF encountered during read"
                                          : "Format error in file",
                                      0),
                0u)
          << error.GetText();
    }
  }

  TempDir dir_;
  SettingsTextFile file_;
};

TEST_F(SettingsTextFileTest, WritesTheFormatAndReadsItBack) {
  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kWrite));
  file_.WriteSection("Unit");
  file_.WriteInt(5);
  file_.WriteFloat(1.5f);
  file_.WriteString("ab");
  file_.WriteNewline();
  file_.WriteComment("Filters");
  file_.WriteSection("Filter [1");
  file_.WriteInt(-2147483647 - 1);
  file_.WriteFloat(-0.1234567f);
  file_.WriteString("");
  file_.WriteString("Unit] x");
  file_.WriteSection("Short");
  file_.WriteInt(1);
  file_.WriteString(std::string(40, 'm'));
  file_.WriteSection("Long");
  file_.WriteInt(2);
  ASSERT_TRUE(file_.Close());
  EXPECT_EQ(Contents(),
            "\n[Unit]\n5 1.500000 \"ab\" \n// Filters\n"
            "\n[Filter [1]\n-2147483648 -0.123457 \"\" \"Unit] x\" \n[Short]\n1 "
            "\"" +
                std::string(40, 'm') + "\" \n[Long]\n2 ");

  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kRead));
  ASSERT_TRUE(file_.FindSection("Short"));
  EXPECT_EQ(file_.ReadInt(), 1);
  ASSERT_TRUE(file_.FindSection("Long"));
  EXPECT_EQ(file_.ReadInt(), 2);
  file_.Rewind();

  ASSERT_TRUE(file_.FindSection("Filter [1"));
  EXPECT_EQ(file_.ReadInt(), -2147483647 - 1);
  EXPECT_FLOAT_EQ(file_.ReadFloat(), -0.123457f);
  char text[16];
  file_.ReadString(text);
  EXPECT_STREQ(text, "");
  file_.ReadString(text);
  EXPECT_STREQ(text, "Unit] x");
  // Sections are searched forward only.
  EXPECT_FALSE(file_.FindSection("Unit"));
  file_.Rewind();
  ASSERT_TRUE(file_.FindSection("Unit"));
  EXPECT_EQ(file_.ReadInt(), 5);
  EXPECT_EQ(file_.ReadFloat(), 1.5f);
  file_.ReadString(text);
  EXPECT_STREQ(text, "ab");
}

TEST_F(SettingsTextFileTest, ReadsNumbersAsAFormattedReadWould) {
  Load(" +7\t-12\n\n 1e3 .5 -2.\r\n3");
  EXPECT_EQ(file_.ReadInt(), 7);
  EXPECT_EQ(file_.ReadInt(), -12);
  EXPECT_EQ(file_.ReadFloat(), 1000.0f);
  EXPECT_EQ(file_.ReadFloat(), 0.5f);
  EXPECT_EQ(file_.ReadFloat(), -2.0f);
  EXPECT_EQ(file_.ReadInt(), 3);
}

TEST_F(SettingsTextFileTest, ReadErrorsSayWhatWentWrong) {
  for (const std::string& notAnInt :
       std::vector<std::string>{"\"5\"", "99999999999", "-", "x1", std::string(65, '1')}) {
    Load(notAnInt);
    ExpectParserError(FileParserError::kFormatError, [&] { file_.ReadInt(); });
  }
  for (const char* notAFloat : {"1e39", "nan", "inf", "-.", "e5", "1e-50"}) {
    Load(notAFloat);
    ExpectParserError(FileParserError::kFormatError, [&] { file_.ReadFloat(); });
  }

  char text[8];
  Load("1 2.5 \"s\"  \n\t");
  EXPECT_FALSE(file_.FindSection("Missing"));
  ExpectParserError(FileParserError::kUnexpectedEof, [&] { file_.ReadInt(); });
  ExpectParserError(FileParserError::kUnexpectedEof, [&] { file_.ReadFloat(); });
  ExpectParserError(FileParserError::kUnexpectedEof, [&] { file_.ReadString(text); });
  Load("\"open");
  ExpectParserError(FileParserError::kUnexpectedEof, [&] { file_.ReadString(text); });
}

TEST_F(SettingsTextFileTest, LengthsAreBounded) {
  const std::string name30(30, 'n');
  Load("\"abc\" \"abcd\" [" + name30 + "] [" + name30 + "x]");
  char fits[4];
  file_.ReadString(fits);
  EXPECT_STREQ(fits, "abc");
  ExpectParserError(FileParserError::kFormatError, [&] { file_.ReadString(fits); });
  EXPECT_TRUE(file_.FindSection(name30));
  EXPECT_FALSE(file_.FindSection(name30 + "x"));

  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kWrite));
  EXPECT_THROW(file_.WriteSection(name30 + "x"), SettingsWriteError);
  EXPECT_THROW(file_.WriteSection("a]b"), SettingsWriteError);

  constexpr std::size_t kLargestFileBytes = 16 * 1024 * 1024;
  Load(std::string(kLargestFileBytes, ' '));
  dir_.WriteFile("unit.txt", std::string(kLargestFileBytes + 1, ' '));
  EXPECT_FALSE(file_.Open(Path(), SettingsTextFile::kRead));
}

TEST_F(SettingsTextFileTest, RefusesWritesItCouldNotReadBack) {
  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kWrite));
  file_.WriteString("before");
  try {
    file_.WriteString("say \"hi\"");
    ADD_FAILURE() << "a double quote was written";
  } catch (const SettingsWriteError& error) {
    EXPECT_STREQ(error.what(),
                 "The text \"say \"hi\"\" holds a double quote, a \"[\", a control character "
                 "or a byte that is no Windows-1252 character and cannot be written to a settings "
                 "file.");
  }
  EXPECT_THROW(file_.WriteString("[Delay]99 99"), SettingsWriteError);
  EXPECT_THROW(file_.WriteString("two\nlines"), SettingsWriteError);
  EXPECT_THROW(file_.WriteString("cr\r"), SettingsWriteError);
  EXPECT_THROW(file_.WriteString("tab\t"), SettingsWriteError);
  EXPECT_THROW(file_.WriteString("hole\x81"), SettingsWriteError);
  EXPECT_THROW(file_.WriteFloat(std::nanf("")), SettingsWriteError);
  EXPECT_THROW(file_.WriteFloat(-INFINITY), SettingsWriteError);
  file_.WriteString("after");
  ASSERT_TRUE(file_.Close());
  EXPECT_EQ(Contents(), "\"before\" \"after\" ");

  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kRead));
  EXPECT_THROW(file_.WriteInt(1), SettingsWriteError);
}

TEST_F(SettingsTextFileTest, OnlyBracketsOutsideStringsAndCommentsAreHeaders) {
  // A name that looks like a header, a comment that names one, a "[" with no "]" after it in
  // the text, and a quote left open on its line: none hides or stands for a header.
  Load(
      "// [Delay]\n[Name]\n\"[Delay]99 99\" \"Mix [L\" \n[Delay]\n5 6 \n[[Long]\n2 "
      "\"a // b\" \"open \n[Last]\n3 ");
  ASSERT_TRUE(file_.FindSection("Delay"));
  EXPECT_EQ(file_.ReadInt(), 5);
  EXPECT_EQ(file_.LineAt(file_.Tell()), 5);
  ASSERT_TRUE(file_.FindSection("Long"));
  EXPECT_EQ(file_.ReadInt(), 2);
  ASSERT_TRUE(file_.FindSection("Last"));
  EXPECT_EQ(file_.ReadInt(), 3);
  file_.Rewind();
  ASSERT_TRUE(file_.FindSection("Name"));
  char text[16];
  file_.ReadString(text);
  EXPECT_STREQ(text, "[Delay]99 99");
  EXPECT_FALSE(file_.FindSection("L"));

  // Read and written again: the headers are those of the new text.
  ASSERT_TRUE(file_.Open(Path(), 2));
  ASSERT_TRUE(file_.FindSection("Name"));
  file_.WriteSection("Mid");
  file_.Rewind();
  EXPECT_TRUE(file_.FindSection("Mid"));
}

TEST_F(SettingsTextFileTest, TheClosingCommentTellsAWholeFileFromOneCutShort) {
  Load("\n[Unit]\n5 \n\n// End of file\r\n\n");
  EXPECT_TRUE(file_.EndsWithComment("End of file"));
  EXPECT_FALSE(file_.EndsWithComment("End"));
  for (const char* cut : {"\n[Unit]\n5 \n", "", "// End of file x\n", "\"// End of file"}) {
    Load(cut);
    EXPECT_FALSE(file_.EndsWithComment("End of file")) << cut;
  }
}

TEST_F(SettingsTextFileTest, AFileAboveTheLimitIsRefusedAtOnceWithItsSize) {
  dir_.WriteFile("unit.txt", std::string(1001, '['));
  EXPECT_EQ(file_.OpenToRead(Path(), 1000),
            "The file is too large: 1001 bytes, where a settings file of this kind holds at most "
            "1000.");
  EXPECT_EQ(file_.OpenToRead((dir_.Path() / "missing.txt").string(), 1000), "Could not open file");
  EXPECT_EQ(file_.OpenToRead(Path(), 1001), std::nullopt);
  EXPECT_FALSE(file_.FindSection("x"));
}

// The decimal point of a German locale is a comma; the file's stays a point.
struct CommaDecimalPoint : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST_F(SettingsTextFileTest, NumbersIgnoreTheUsersLocale) {
  const std::locale oldGlobal =
      std::locale::global(std::locale(std::locale::classic(), new CommaDecimalPoint));
  const std::string oldNumeric = std::setlocale(LC_NUMERIC, nullptr);
  for (const char* german : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
    if (std::setlocale(LC_NUMERIC, german) != nullptr) break;
  }

  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kWrite));
  file_.WriteFloat(1234.5f);
  file_.WriteInt(1234567);
  ASSERT_TRUE(file_.Close());
  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kRead));
  const float readBack = file_.ReadFloat();

  std::setlocale(LC_NUMERIC, oldNumeric.c_str());
  std::locale::global(oldGlobal);
  EXPECT_EQ(Contents(), "1234.500000 1234567 ");
  EXPECT_EQ(readBack, 1234.5f);
}

TEST_F(SettingsTextFileTest, SavesReplaceTheFileWholeOrNotAtAll) {
  dir_.WriteFile("unit.txt", "\n[Unit]\n5 \"old\" ");
  ASSERT_TRUE(file_.Open(Path(), SettingsTextFile::kWrite));
  file_.WriteSection("Unit");
  EXPECT_EQ(Contents(), "\n[Unit]\n5 \"old\" ");
  {
    FileSizeLimit diskFull(4);
    EXPECT_FALSE(file_.Close());
  }
  EXPECT_EQ(file_.NotWrittenText(), "The file could not be written: File too large.");
  EXPECT_EQ(Contents(), "\n[Unit]\n5 \"old\" ");
  EXPECT_EQ(FilesInFolder(), 1u);

  {
    SettingsTextFile abandoned;
    ASSERT_TRUE(abandoned.Open(Path(), SettingsTextFile::kWrite));
    abandoned.WriteInt(1);
  }
  EXPECT_EQ(Contents(), "\n[Unit]\n5 \"old\" ");
  EXPECT_EQ(FilesInFolder(), 1u);

  // Read and write: values are changed in place.
  ASSERT_TRUE(file_.Open(Path(), 2));
  ASSERT_TRUE(file_.FindSection("Unit"));
  file_.WriteInt(7);
  ASSERT_TRUE(file_.Close());
  EXPECT_EQ(Contents(), "\n[Unit]7  \"old\" ");

  EXPECT_FALSE(file_.Open((dir_.Path() / "missing.txt").string(), SettingsTextFile::kRead));
  EXPECT_FALSE(file_.Open((dir_.Path() / "missing.txt").string(), 2));
  EXPECT_FALSE(
      file_.Open((dir_.Path() / "no-folder" / "u.txt").string(), SettingsTextFile::kWrite));
  EXPECT_EQ(file_.CouldNotOpenText(), "Could not open file: No such file or directory");
  EXPECT_FALSE(file_.Open(dir_.Path().string(), SettingsTextFile::kRead));
}

TEST_F(SettingsTextFileTest, DamagedFilesOnlyEverThrowParserErrors) {
  const std::string good = "\n[Unit]\n5 1.500000 \"ab\" \n// c\n\n[Next]\n-3 \"x\" 2.25 ";
  std::mt19937 random(1107);
  const std::string alphabet = "[]\"\n .-+e0123456789xN";
  for (int round = 0; round < 3000; ++round) {
    std::string damaged = good;
    for (int edits = 1 + round % 5; edits > 0 && !damaged.empty(); --edits) {
      std::size_t at = random() % damaged.size();
      if (random() % 2) {
        damaged[at] = alphabet[random() % alphabet.size()];
      } else {
        damaged.erase(at, 1 + random() % 6);
      }
    }
    file_.OpenText(damaged);
    char text[4];
    try {
      for (const char* section : {"Unit", "Next"}) {
        if (!file_.FindSection(section)) continue;
        file_.ReadInt();
        file_.ReadFloat();
        file_.ReadString(text);
      }
    } catch (const FileParserError&) {
    }
  }
}

}  // namespace
