#pragma once

#include <memory>
#include <string>

#include "familycommon/ProgressReport.h"

class TProgressDialog;

namespace familycommon {

// A progress report shown as the shared progress dialog, over the client window.
class ProgressWindow : public ProgressReport {
 public:
  ProgressWindow();
  ~ProgressWindow() override;
  void Begin(int range, const std::string& text) override;
  void Step(int value) override;
  void End() override;

 private:
  std::unique_ptr<TProgressDialog> dialog_;
};

}  // namespace familycommon
