#pragma once

class QPrinter;
class QWidget;

namespace ui {

// The print dialog: lets the user choose a printer (or a PDF file) and the paper before printing
// or as the print set-up. Tests install a scripted prompt, so no modal dialog ever opens in them.
class PrintPrompt {
 public:
  enum class Purpose { Setup, Print };

  virtual ~PrintPrompt() = default;
  // Adjusts `printer` to the user's choice; false when the user cancelled.
  virtual bool Ask(QPrinter& printer, Purpose purpose, QWidget* parent) = 0;
};

// The prompt the printers use: the installed one, else the desktop's print dialog.
PrintPrompt& CurrentPrintPrompt();
// The desktop's print dialog, for an installed prompt that leaves some questions to the user.
PrintPrompt& DesktopPrintPrompt();
// Installs `prompt` (nullptr: the desktop's dialog again) and returns the one it replaces.
PrintPrompt* InstallPrintPrompt(PrintPrompt* prompt);

}  // namespace ui
