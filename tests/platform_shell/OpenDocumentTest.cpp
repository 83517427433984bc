#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

#include "platform/shell/OpenDocument.h"

namespace {

using shell::Desktop;
using shell::OpenResult;

class FakeDesktop : public Desktop {
 public:
  ViewerAnswer viewer = ViewerAnswer::Found;
  LaunchAnswer launch = LaunchAnswer::Started;
  std::string askedType;
  std::string launched;
  int calls = 0;

  ViewerAnswer ViewerFor(const std::string& mimeType) override {
    ++calls;
    askedType = mimeType;
    return viewer;
  }
  LaunchAnswer Launch(const std::string& path) override {
    ++calls;
    launched = path;
    return launch;
  }
};

class OpenDocumentTest : public testing::Test {
 protected:
  void SetUp() override {
    QFile file(folder_.filePath("Manual 2.3.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4\n");
    manual_ = file.fileName().toStdString();
  }

  QTemporaryDir folder_;
  std::string manual_;
  FakeDesktop desktop_;
};

TEST_F(OpenDocumentTest, FileProblemsAreToldApartBeforeTheDesktopIsAsked) {
  EXPECT_EQ(shell::OpenDocument(manual_ + ".missing", desktop_), OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument(folder_.filePath("no/such/x.pdf").toStdString(), desktop_),
            OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument(manual_ + "/inside", desktop_), OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument("", desktop_), OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument(folder_.path().toStdString(), desktop_), OpenResult::Failed);
  EXPECT_EQ(desktop_.calls, 0);
  EXPECT_EQ(shell::ResultOfFileError(EACCES), OpenResult::AccessDenied);
  EXPECT_EQ(shell::ResultOfFileError(EPERM), OpenResult::AccessDenied);
  EXPECT_EQ(shell::ResultOfFileError(EIO), OpenResult::Failed);
}

TEST_F(OpenDocumentTest, UnreadableFileIsAccessDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may read any file";
  ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(manual_), QFileDevice::WriteOwner));
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::AccessDenied);
}

TEST_F(OpenDocumentTest, DesktopAnswersDecideBetweenOpenedNoViewerAndFailed) {
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::Opened);
  EXPECT_EQ(desktop_.askedType, "application/pdf");
  EXPECT_EQ(desktop_.launched, manual_);
  desktop_.viewer = Desktop::ViewerAnswer::NoneRegistered;
  desktop_.launched.clear();
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::NoViewer);
  EXPECT_TRUE(desktop_.launched.empty());
  desktop_.viewer = Desktop::ViewerAnswer::Unknown;  // the opener may still know one
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::Opened);
  desktop_.launch = Desktop::LaunchAnswer::OpenerMissing;
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::NoViewer);
  desktop_.launch = Desktop::LaunchAnswer::Failed;
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::Failed);
}

// The system desktop runs the freedesktop tools found on the PATH: stand-in scripts here.
TEST_F(OpenDocumentTest, SystemDesktopAsksXdgMimeAndStartsXdgOpen) {
  QTemporaryDir tools;
  auto script = [&](const char* name, const QByteArray& body) {
    QFile file(tools.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  };
  const QByteArray savedPath = qgetenv("PATH");
  qputenv("PATH", tools.path().toLocal8Bit() + ":/usr/bin:/bin");
  script("xdg-open", "exit 0\n");
  script("xdg-mime", "[ \"$3\" = application/pdf ] && echo viewer.desktop\nexit 0\n");
  EXPECT_EQ(shell::OpenDocument(manual_), OpenResult::Opened);
  ASSERT_TRUE(QFile::remove(tools.filePath("xdg-mime")));
  script("xdg-mime", "exit 0\n");
  EXPECT_EQ(shell::OpenDocument(manual_), OpenResult::NoViewer);
  qputenv("PATH", tools.path().toLocal8Bit() + "/none");
  EXPECT_EQ(shell::OpenDocument(manual_), OpenResult::NoViewer);
  qputenv("PATH", savedPath);
}

}  // namespace
