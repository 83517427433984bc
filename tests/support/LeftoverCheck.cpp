#include "tests/support/LeftoverCheck.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QMetaEnum>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <mutex>
#include <unordered_set>

// Qt's hooks for tools that follow every object's life (exported by QtCore, declared only in a
// private header): slot 3 is called as an object is made, slot 4 as it goes.
extern quintptr qtHookData[];

namespace testsupport {
namespace {

constexpr int kAddObjectHook = 3;
constexpr int kRemoveObjectHook = 4;

// Every live object, so that the timers of any of them can be found.
struct LiveObjects {
  std::mutex mutex;
  std::unordered_set<QObject*> objects;
};
LiveObjects& Live() {
  static auto* live = new LiveObjects;  // never destroyed: objects may go after static teardown
  return *live;
}
void Added(QObject* o) {
  std::lock_guard lock(Live().mutex);
  Live().objects.insert(o);
}
void Removed(QObject* o) {
  std::lock_guard lock(Live().mutex);
  Live().objects.erase(o);
}

std::string NameOf(const QObject* o) {
  std::string name = o->metaObject()->className();
  if (!o->objectName().isEmpty()) name += " \"" + o->objectName().toStdString() + "\"";
  return name;
}

std::string TypeOf(const QEvent* e) {
  if (e->type() == QEvent::MetaCall) return "queued call";
  const char* key = QMetaEnum::fromType<QEvent::Type>().valueToKey(e->type());
  return key != nullptr ? key : "user event " + std::to_string(e->type());
}

// Qt's own process-wide objects (the style, the pixmap cache, the animations' clock): their timers
// and posted calls are Qt's, not a test's, and Qt's state needs them.
bool OwnedByQt(const QObject* o) {
  if (o->inherits("QStyle")) return true;
  for (const char* name : {"QPMCache", "QAnimationTimer", "QUnifiedTimer"}) {
    if (qstrcmp(o->metaObject()->className(), name) == 0) return true;
  }
  return false;
}

// Posted events that only finish what a window already asked for: delivered, not reported.
bool Harmless(const QEvent* e) {
  switch (e->type()) {
    case QEvent::DeferredDelete:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::LayoutRequest:
    case QEvent::Paint:
    case QEvent::Polish:
    case QEvent::PolishRequest:
      return true;
    default:
      return false;
  }
}

// Sees every posted event of this thread as it is sent: reports and drops the ones that are not
// harmless, and lets through what the harmless ones bring about.
class PostedEvents : public QObject {
 public:
  std::vector<std::string> Drain() {
    QCoreApplication::instance()->installEventFilter(this);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::instance()->removeEventFilter(this);
    return std::move(found_);
  }

 protected:
  bool eventFilter(QObject* receiver, QEvent* e) override {
    if (delivering_) return false;
    if (Harmless(e) || OwnedByQt(receiver)) {
      delivering_ = true;
      QCoreApplication::sendEvent(receiver, e);
      delivering_ = false;
    } else {
      found_.push_back("a " + TypeOf(e) + " posted to " + NameOf(receiver));
    }
    return true;
  }

 private:
  bool delivering_ = false;
  std::vector<std::string> found_;
};

// Windows a test closed go only when their deferred deletion is delivered: their timers and
// posted calls go with them.
void DeleteClosedWindows() {
  for (int round = 0; round < 10; ++round) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

std::vector<std::string> DropRunningTimers() {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (dispatcher == nullptr) return {};
  std::vector<QPointer<QObject>> owners;
  {
    std::lock_guard lock(Live().mutex);
    for (QObject* o : Live().objects) {
      if (o->thread() == QThread::currentThread() && !OwnedByQt(o) &&
          !dispatcher->registeredTimers(o).isEmpty())
        owners.emplace_back(o);
    }
  }
  std::vector<std::string> found;
  for (const QPointer<QObject>& o : owners) {
    if (o == nullptr) continue;
    for (const auto& timer : dispatcher->registeredTimers(o)) {
      found.push_back("a running " + std::to_string(timer.interval) + " ms timer of " + NameOf(o));
    }
    if (qstrcmp(o->metaObject()->className(), "QSingleShotTimer") == 0) {
      delete o.data();  // a single shot owns itself, and whatever it would call
    } else if (auto* timer = qobject_cast<QTimer*>(o)) {
      timer->stop();
    } else {
      for (const auto& timer : dispatcher->registeredTimers(o)) o->killTimer(timer.timerId);
    }
  }
  return found;
}

class LeftoverListener : public ::testing::EmptyTestEventListener {
 public:
  LeftoverListener() {
    qtHookData[kAddObjectHook] = reinterpret_cast<quintptr>(&Added);
    qtHookData[kRemoveObjectHook] = reinterpret_cast<quintptr>(&Removed);
  }
  void Add(LeftoverSource source) { sources_.push_back(std::move(source)); }

  std::vector<std::string> Drop() {
    if (QCoreApplication::instance() == nullptr) return {};
    DeleteClosedWindows();
    std::vector<std::string> found;
    for (const LeftoverSource& source : sources_) {
      for (std::string& one : source()) found.push_back(std::move(one));
    }
    for (std::string& one : DropRunningTimers()) found.push_back(std::move(one));
    for (std::string& one : PostedEvents().Drain()) found.push_back(std::move(one));
    return found;
  }

  // Called before the result printer's (listeners end in reverse order), while the test is still
  // the current one: a failure added here is that test's own.
  void OnTestEnd(const ::testing::TestInfo&) override {
    const std::vector<std::string> found = Drop();
    if (found.empty()) return;
    std::string text = "the test left behind, for a later test to meet (now dropped):";
    for (const std::string& one : found) text += "\n  " + one;
    ADD_FAILURE() << text;
  }

 private:
  std::vector<LeftoverSource> sources_;
};

LeftoverListener& Listener() {
  static auto* const listener = [] {
    auto* made = new LeftoverListener;
    ::testing::UnitTest::GetInstance()->listeners().Append(made);  // gtest owns it
    return made;
  }();
  return *listener;
}

[[maybe_unused]] const LeftoverListener& kInstalled = Listener();

}  // namespace

void CheckAfterEachTest(LeftoverSource source) { Listener().Add(std::move(source)); }

std::vector<std::string> DropLeftovers() { return Listener().Drop(); }

}  // namespace testsupport
