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

TEST(ProgramInfo, ProgramFolderIsWhereThisProgramLies) {
  EXPECT_EQ(shell::ProgramFolder(), std::filesystem::canonical(SHELL_TEST_BINARY_DIR));
}

}  // namespace
