#include <gtest/gtest.h>

#include <filesystem>

#include "platform/shell/ProgramFolder.h"
#include "platform/shell/VersionInfo.h"

namespace {

TEST(ProgramInfo, VersionComesFromTheBuildAndGivesTheTitle) {
  const shell::VersionInfo& v = shell::ProgramVersion();
  ASSERT_TRUE(v.productName && v.productVersion && v.legalNotice);
  EXPECT_EQ(*v.productName, "Telvo Windows");
  EXPECT_EQ(*v.productVersion, "2.3.0");
  EXPECT_FALSE(v.specialBuild.has_value());
  EXPECT_EQ(shell::ApplicationTitle(), "Telvo Windows 2.3");
}

TEST(ProgramInfo, ProgramPathAndFolderAreWhereThisProgramLies) {
  const std::filesystem::path folder = std::filesystem::canonical(SHELL_TEST_BINARY_DIR);
  EXPECT_EQ(shell::ProgramFolder(), folder);
  EXPECT_EQ(shell::ProgramPath().parent_path(), folder);
  EXPECT_TRUE(std::filesystem::is_regular_file(shell::ProgramPath()));
}

}  // namespace
