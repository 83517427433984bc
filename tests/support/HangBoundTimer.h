#pragma once

// A bound on a wait that must end by itself: `onHang` runs once kHangBound has passed, unless the
// bound is gone by then, as it is with the test's locals (a single shot would outlive them).

#include <QTimer>
#include <functional>

#include "tests/support/HangBound.h"

namespace testsupport {

class HangBoundTimer {
 public:
  explicit HangBoundTimer(const std::function<void()>& onHang) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, onHang);
    timer_.start(kHangBound);
  }

 private:
  QTimer timer_;
};

}  // namespace testsupport
