#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ui {

class Window;

struct FileFilter {
  std::string description;  // "Settings files (*.ov2)", or "Settings files"
  std::string patterns;     // "*.ov2", several separated by ';'
};

struct FileDialogOptions {
  std::string title;
  std::vector<FileFilter> filters;
  std::string defaultExtension;  // without the dot; added when the chosen name has none
  std::string folder;            // empty: where the last file dialog's file was chosen
  std::string fileName;
  bool overwritePrompt = true;  // save only
};

// The chosen path, or none when the user cancels. Open asks for an existing file; save never does,
// and asks before replacing one when overwritePrompt is set.
std::optional<std::string> AskOpenFile(Window* owner, const FileDialogOptions& options);
std::optional<std::string> AskSaveFile(Window* owner, const FileDialogOptions& options);

// The filter list as the dialog shows it: each description with its patterns in parentheses,
// once, whether the description names them or not.
std::string FileDialogFilterText(const std::vector<FileFilter>& filters);
// The folder a file dialog starts in: the one asked for, else the folder of the file last chosen
// in a file dialog, else (before any) the working folder, as an empty name.
std::string FileDialogStartFolder(const FileDialogOptions& options);

// The name with the default extension added when its last component has none.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace ui
