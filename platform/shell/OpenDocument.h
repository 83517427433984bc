#pragma once

#include <string>

namespace shell {

enum class OpenResult {
  Opened,        // a viewer was started on the document
  FileMissing,   // no such file (or a folder on its path is missing)
  AccessDenied,  // the file exists but may not be read
  NoViewer,      // the desktop has no viewer for the document's type
  Failed,        // anything else: not a plain file, the viewer could not be started
};

// What the desktop offers for opening documents; tests supply their own.
class Desktop {
 public:
  enum class ViewerAnswer { Found, NoneRegistered, Unknown };
  enum class LaunchAnswer { Started, OpenerMissing, Failed };

  virtual ~Desktop() = default;
  // Whether a viewer is registered for the MIME type; Unknown when the desktop cannot say.
  virtual ViewerAnswer ViewerFor(const std::string& mimeType) = 0;
  // Starts the desktop's opener on the file without waiting for the viewer.
  virtual LaunchAnswer Launch(const std::string& path) = 0;
};

// The freedesktop.org tools: `xdg-mime` to ask for a viewer, `xdg-open` to start it, found on
// the PATH.
Desktop& SystemDesktop();

// Opens the document at `path` with the desktop's viewer for its type.
OpenResult OpenDocument(const std::string& path, Desktop& desktop = SystemDesktop());

// The result for an error number from looking at or reading the file.
OpenResult ResultOfFileError(int error);

}  // namespace shell
