#pragma once

// For one test on a real window system the prompts nobody scripts are shown, modal with loops of
// their own, as the user meets them; afterwards such a prompt fails the test again.

#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Prompts.h"

namespace testsupport {

class RealPrompts {
 public:
  RealPrompts() { ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Show); }
  ~RealPrompts() {
    ui::SetUnscriptedPrompts(ui::UnscriptedPrompts::Refuse,
                             [](const std::string& what) { ADD_FAILURE() << what; });
  }
  RealPrompts(const RealPrompts&) = delete;
  RealPrompts& operator=(const RealPrompts&) = delete;
};

}  // namespace testsupport
