#pragma once

#include "platform/ui/Dialog.h"

namespace shell {
struct VersionInfo;
}

// "About Telvo Windows 2.3": the product name and version around the word "Version", the legal
// notice and, when the version record has one, a special-build line. A missing entry leaves its
// field as the template has it.
class TTelvo33AboutDlg : public ui::Dialog {
 public:
  TTelvo33AboutDlg(ui::Window* parent, const shell::VersionInfo& version);

 protected:
  void SetupWindow() override;

 private:
  const shell::VersionInfo& version_;
};
