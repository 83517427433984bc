#include "platform/ui/Guard.h"

#include <cstdio>
#include <utility>

namespace ui {

namespace {
ErrorReporter& Reporter() {
  static ErrorReporter reporter;
  return reporter;
}
}  // namespace

ErrorReporter SetErrorReporter(ErrorReporter reporter) {
  return std::exchange(Reporter(), std::move(reporter));
}

void ReportError(const std::string& where, const std::string& what) {
  if (Reporter()) {
    Reporter()(where, what);
  } else {
    std::fprintf(stderr, "uncaught exception in %s: %s\n", where.c_str(), what.c_str());
  }
}

}  // namespace ui
