#include "platform/ui/draw/PrintPrompt.h"

#include <QPrintDialog>
#include <QPrinter>
#include <utility>

namespace ui {

namespace {

class DesktopPrintDialog : public PrintPrompt {
 public:
  bool Ask(QPrinter& printer, Purpose purpose, QWidget* parent) override {
    QPrintDialog dialog(&printer, parent);
    if (purpose == Purpose::Setup) dialog.setWindowTitle(QObject::tr("Print Setup"));
    return dialog.exec() == QDialog::Accepted;
  }
};

PrintPrompt* gInstalled = nullptr;

}  // namespace

PrintPrompt& CurrentPrintPrompt() {
  return gInstalled != nullptr ? *gInstalled : DesktopPrintPrompt();
}

PrintPrompt& DesktopPrintPrompt() {
  static DesktopPrintDialog desktop;
  return desktop;
}

PrintPrompt* InstallPrintPrompt(PrintPrompt* prompt) { return std::exchange(gInstalled, prompt); }

}  // namespace ui
