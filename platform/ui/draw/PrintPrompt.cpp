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
  static DesktopPrintDialog desktop;
  return gInstalled != nullptr ? *gInstalled : desktop;
}

PrintPrompt* InstallPrintPrompt(PrintPrompt* prompt) { return std::exchange(gInstalled, prompt); }

}  // namespace ui
