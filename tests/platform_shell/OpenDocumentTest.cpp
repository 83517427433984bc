#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <optional>

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
    ASSERT_TRUE(folder_.isValid());
    manual_ = Write("Manual 2.3.pdf", "%PDF-1.4\n");
  }

  std::string Write(const char* name, const char* contents) {
    QFile file(folder_.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    return file.fileName().toStdString();
  }

  QTemporaryDir folder_;
  std::string manual_;
  FakeDesktop desktop_;
};

TEST_F(OpenDocumentTest, FileProblemsAreToldApartBeforeTheDesktopIsAsked) {
  EXPECT_EQ(shell::OpenDocument(manual_ + ".missing", desktop_), OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument(folder_.filePath("no/such/folder/x.pdf").toStdString(), desktop_),
            OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument(manual_ + "/inside", desktop_), OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument("", desktop_), OpenResult::FileMissing);
  EXPECT_EQ(shell::OpenDocument(folder_.path().toStdString(), desktop_), OpenResult::Failed);
  EXPECT_EQ(desktop_.calls, 0);
}

TEST_F(OpenDocumentTest, UnreadableFileIsAccessDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may read any file";
  ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(manual_), QFileDevice::WriteOwner));
  EXPECT_EQ(shell::OpenDocument(manual_, desktop_), OpenResult::AccessDenied);
  EXPECT_EQ(desktop_.calls, 0);
}

TEST_F(OpenDocumentTest, ErrorNumbersMapToResults) {
  EXPECT_EQ(shell::ResultOfFileError(ENOENT), OpenResult::FileMissing);
  EXPECT_EQ(shell::ResultOfFileError(ENOTDIR), OpenResult::FileMissing);
  EXPECT_EQ(shell::ResultOfFileError(EACCES), OpenResult::AccessDenied);
  EXPECT_EQ(shell::ResultOfFileError(EPERM), OpenResult::AccessDenied);
  EXPECT_EQ(shell::ResultOfFileError(EIO), OpenResult::Failed);
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

// The system desktop runs the freedesktop tools found on the PATH; these tests put stand-in
// scripts there.
class SystemDesktopTest : public OpenDocumentTest {
 protected:
  void SetUp() override {
    OpenDocumentTest::SetUp();
    ASSERT_TRUE(tools_.isValid());
    savedPath_ = qgetenv("PATH");
    qputenv("PATH", tools_.path().toLocal8Bit() + ":/usr/bin:/bin");
  }
  void TearDown() override { qputenv("PATH", savedPath_); }

  void Script(const char* name, const QByteArray& body) {
    QFile file(tools_.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ExeOwner));
  }

  // The opener runs detached; waits (bounded) until it has written its marker file.
  std::optional<QByteArray> MarkerContents(const QString& path) {
    constexpr int kPollMs = 10;
    constexpr int kTimeoutMs = 10000;
    QEventLoop loop;
    QTimer poll;
    QTimer deadline;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (QFile::exists(path) && QFile(path).size() > 0) loop.quit();
    });
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(kPollMs);
    deadline.setSingleShot(true);
    deadline.start(kTimeoutMs);
    loop.exec();
    QFile marker(path);
    if (!marker.open(QIODevice::ReadOnly)) return std::nullopt;
    return marker.readAll();
  }

  QTemporaryDir tools_;
  QByteArray savedPath_;
};

TEST_F(SystemDesktopTest, RegisteredViewerOpensTheDocumentWithItsFullPath) {
  const QString marker = tools_.filePath("opened");
  Script("xdg-mime", "echo viewer.desktop\n");
  Script("xdg-open", "printf '%s' \"$1\" > '" + marker.toLocal8Bit() + ".tmp' && mv '" +
                         marker.toLocal8Bit() + ".tmp' '" + marker.toLocal8Bit() + "'\n");
  EXPECT_EQ(shell::OpenDocument(manual_), OpenResult::Opened);
  EXPECT_EQ(MarkerContents(marker), QByteArray::fromStdString(manual_));
}

TEST_F(SystemDesktopTest, NoRegisteredViewerOrNoOpenerIsNoViewer) {
  Script("xdg-mime", "exit 0\n");
  Script("xdg-open", "exit 0\n");
  EXPECT_EQ(shell::OpenDocument(manual_), OpenResult::NoViewer);

  ASSERT_TRUE(QFile::remove(tools_.filePath("xdg-mime")));
  ASSERT_TRUE(QFile::remove(tools_.filePath("xdg-open")));
  qputenv("PATH", tools_.path().toLocal8Bit());
  EXPECT_EQ(shell::OpenDocument(manual_), OpenResult::NoViewer);
}

}  // namespace
