#pragma once

#include <functional>
#include <string>
#include <utility>

namespace ui {

// Where an exception that reached the layer's event entry is reported. The default writes to the
// standard error stream; the program shows it to the user, tests install their own to fail the
// test. Returns the reporter it replaces, so that a test can put it back.
using ErrorReporter = std::function<void(const std::string& where, const std::string& what)>;
ErrorReporter SetErrorReporter(ErrorReporter reporter);
void ReportError(const std::string& where, const std::string& what);

// Runs a handler so that no exception escapes into Qt's event dispatch.
template <typename F>
void Guarded(const char* where, F&& handler) {
  try {
    std::forward<F>(handler)();
  } catch (const std::exception& e) {
    ReportError(where, e.what());
  } catch (...) {
    ReportError(where, "unknown exception");
  }
}

}  // namespace ui
