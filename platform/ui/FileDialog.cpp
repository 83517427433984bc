#include "platform/ui/FileDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/Message.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Text.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {

// The folder of the file last chosen in a file dialog, where the next one starts.
std::string& LastFolder() {
  static std::string folder;
  return folder;
}

void RememberFolderOf(const std::string& path) {
  const QString folder = QFileInfo(QFile::decodeName(path.c_str())).absolutePath();
  if (!folder.isEmpty()) LastFolder() = QFile::encodeName(folder).toStdString();
}

std::optional<std::string> Ask(Window* owner, const FileDialogOptions& o, bool save) {
  const PromptKind kind = save ? PromptKind::SaveFile : PromptKind::OpenFile;
  std::optional<std::string> chosen;
  if (auto scripted = InterceptPrompt({kind, o.title, {}, 0})) {
    chosen = scripted->path;
  } else {
    QFileDialog dialog(owner != nullptr ? owner->Widget() : nullptr, ToWidgetText(o.title),
                       QFile::decodeName(FileDialogStartFolder(o).c_str()),
                       ToWidgetText(FileDialogFilterText(o.filters)));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, the same way for scripts
    if (!o.fileName.empty()) dialog.selectFile(QFile::decodeName(o.fileName.c_str()));
    auto* app = Application::Instance();
    if (app != nullptr) app->BeginPrompt();
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (app != nullptr) app->EndPrompt();
    if (accepted) chosen = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  }
  if (!chosen || chosen->empty()) return std::nullopt;
  RememberFolderOf(*chosen);
  std::string path = WithDefaultExtension(*chosen, o.defaultExtension);
  if (save && o.overwritePrompt && QFileInfo::exists(QFile::decodeName(path.c_str()))) {
    const std::string question = path + " already exists.\nDo you want to replace it?";
    if (MessageBox(owner, question, o.title, mb::kYesNo | mb::kIconExclamation) != kIdYes) {
      return std::nullopt;
    }
  }
  return path;
}

}  // namespace

std::string FileDialogFilterText(const std::vector<FileFilter>& filters) {
  std::string text;
  for (const FileFilter& f : filters) {
    std::string patterns = f.patterns;
    std::ranges::replace(patterns, ';', ' ');
    const std::string shown = "(" + patterns + ")";
    const bool named = f.description.size() >= shown.size() && f.description.ends_with(shown);
    if (!text.empty()) text += ";;";
    text += named ? f.description : f.description + " " + shown;
  }
  return text;
}

std::string FileDialogStartFolder(const FileDialogOptions& options) {
  return options.folder.empty() ? LastFolder() : options.folder;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
  if (extension.empty()) return path;
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return hasExtension ? path : path + "." + extension;
}

std::optional<std::string> AskOpenFile(Window* owner, const FileDialogOptions& options) {
  return Ask(owner, options, false);
}

std::optional<std::string> AskSaveFile(Window* owner, const FileDialogOptions& options) {
  return Ask(owner, options, true);
}

}  // namespace ui
