#include "platform/shell/OpenDocument.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QMimeDatabase>
#include <QProcess>
#include <cerrno>

namespace shell {

namespace {

constexpr int kViewerQueryTimeoutMs = 5000;

class FreedesktopTools : public Desktop {
 public:
  ViewerAnswer ViewerFor(const std::string& mimeType) override {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QString::fromStdString(mimeType)});
    if (!query.waitForStarted(kViewerQueryTimeoutMs)) return ViewerAnswer::Unknown;
    if (!query.waitForFinished(kViewerQueryTimeoutMs)) {
      query.kill();
      query.waitForFinished(kViewerQueryTimeoutMs);
      return ViewerAnswer::Unknown;
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
      return ViewerAnswer::Unknown;
    }
    return query.readAllStandardOutput().trimmed().isEmpty() ? ViewerAnswer::NoneRegistered
                                                             : ViewerAnswer::Found;
  }

  LaunchAnswer Launch(const std::string& path) override {
    QProcess opener;
    opener.setProgram(QStringLiteral("xdg-open"));
    opener.setArguments({QString::fromStdString(path)});
    if (opener.startDetached()) return LaunchAnswer::Started;
    return opener.error() == QProcess::FailedToStart ? LaunchAnswer::OpenerMissing
                                                     : LaunchAnswer::Failed;
  }
};

}  // namespace

Desktop& SystemDesktop() {
  static FreedesktopTools tools;
  return tools;
}

OpenResult ResultOfFileError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return OpenResult::FileMissing;
    case EACCES:
    case EPERM:
      return OpenResult::AccessDenied;
    default:
      return OpenResult::Failed;
  }
}

OpenResult OpenDocument(const std::string& path, Desktop& desktop) {
  if (path.empty()) return OpenResult::FileMissing;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return ResultOfFileError(errno);
  if (!S_ISREG(info.st_mode)) return OpenResult::Failed;
  if (::access(path.c_str(), R_OK) != 0) return ResultOfFileError(errno);

  const QString mimeType = QMimeDatabase().mimeTypeForFile(QString::fromStdString(path)).name();
  if (desktop.ViewerFor(mimeType.toStdString()) == Desktop::ViewerAnswer::NoneRegistered) {
    return OpenResult::NoViewer;
  }
  switch (desktop.Launch(path)) {
    case Desktop::LaunchAnswer::Started:
      return OpenResult::Opened;
    case Desktop::LaunchAnswer::OpenerMissing:
      return OpenResult::NoViewer;
    case Desktop::LaunchAnswer::Failed:
      break;
  }
  return OpenResult::Failed;
}

}  // namespace shell
