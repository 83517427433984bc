#include "platform/ui/TestHooks.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRect>
#include <QSaveFile>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <stdexcept>

#include "platform/ui/Application.h"
#include "platform/ui/Control.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/IdleDispatcher.h"
#include "platform/ui/Text.h"
#include "platform/ui/TimerService.h"
#include "platform/ui/Window.h"

namespace ui::test {

namespace {

Application& App() {
  Application* app = Application::Instance();
  if (app == nullptr) throw std::logic_error("no ui::Application");
  return *app;
}

Control* FindControl(Window& root, int id) {
  for (Window* child : root.Children()) {
    if (auto* c = dynamic_cast<Control*>(child); c != nullptr && c->Id() == id) return c;
    if (Control* found = FindControl(*child, id)) return found;
  }
  return nullptr;
}

QWidget& WidgetOf(Window& w) {
  if (w.Widget() == nullptr) throw std::logic_error("window is not created");
  return *w.Widget();
}

Qt::KeyboardModifiers QtModifiers(unsigned m) {
  Qt::KeyboardModifiers result = Qt::NoModifier;
  if (m & kShiftKey) result |= Qt::ShiftModifier;
  if (m & kControlKey) result |= Qt::ControlModifier;
  if (m & kAltKey) result |= Qt::AltModifier;
  return result;
}

// What the window shows now: a grab paints whatever is pending, also on a window that the
// offscreen platform has not exposed; a custom-drawn window answers with its own image.
QImage Shown(Window& window) {
  const QImage grabbed = WidgetOf(window).grab().toImage();
  if (auto* drawn = dynamic_cast<DrawnWindow*>(&window)) return drawn->Snapshot();
  if (auto* button = dynamic_cast<OwnerDrawButton*>(&window)) return button->Snapshot();
  return grabbed;
}

}  // namespace

void PumpMessages(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
}

int PumpIdle(int maxPasses) {
  int passes = 0;
  while (passes < maxPasses) {
    ++passes;
    if (!App().Idle().RunPass()) break;
    PumpMessages(1);
  }
  return passes;
}

void RestIdle() { App().Idle().Rest(); }

std::vector<std::string> DropLeftovers() {
  std::vector<std::string> found;
  if (Application::Instance() == nullptr) return found;
  for (int id : App().Timers().KillEvery()) found.push_back("window timer " + std::to_string(id));
  if (App().Idle().WakeUpArmed()) found.push_back("an idle wake-up");
  App().Idle().Rest();
  return found;
}

void UseManualTimers() { App().Timers().SetManual(true); }

void StepTimers(int ms) { App().Timers().Step(ms); }

Window& ControlOf(Window& root, int id) {
  Control* c = FindControl(root, id);
  if (c == nullptr) throw std::logic_error("no control " + std::to_string(id));
  return *c;
}

void Click(Window& root, int id) {
  auto* button = qobject_cast<QAbstractButton*>(&WidgetOf(ControlOf(root, id)));
  if (button == nullptr)
    throw std::logic_error("control " + std::to_string(id) + " is not a button");
  if (button->isEnabled()) button->click();
}

void Type(Window& root, int id, const std::string& text) {
  QWidget& widget = WidgetOf(ControlOf(root, id));
  widget.setFocus();
  if (auto* line = qobject_cast<QLineEdit*>(&widget)) line->selectAll();
  QTest::keyClicks(&widget, ToWidgetText(text));
}

void Paste(Window& root, int id, const std::string& text) {
  auto* line = qobject_cast<QLineEdit*>(&WidgetOf(ControlOf(root, id)));
  if (line == nullptr) throw std::logic_error("control " + std::to_string(id) + " is not an edit");
  QApplication::clipboard()->setText(ToWidgetText(text));
  line->paste();
}

void PressKey(Window& target, int qtKey, unsigned modifiers) {
  QWidget* widget = QApplication::focusWidget();
  if (widget == nullptr || Window::FromWidget(widget) == nullptr ||
      !WidgetOf(target).isAncestorOf(widget)) {
    widget = &WidgetOf(target);
  }
  QTest::keyClick(widget, static_cast<Qt::Key>(qtKey), QtModifiers(modifiers));
}

void MouseDown(Window& target, Point p, bool right) {
  QTest::mousePress(&WidgetOf(target), right ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier,
                    QPoint(p.x, p.y));
}

void MouseMove(Window& target, Point p) {
  QWidget& widget = WidgetOf(target);
  const QPoint local(p.x, p.y);
  const QPoint global = widget.mapToGlobal(local);
  // With no button down Qt's test move only sets the cursor, which sends nothing when the cursor
  // already stands there (an earlier test moved it to the same point): the move is sent itself.
  if (QCursor::pos() != global) {
    QTest::mouseMove(&widget, local);
    return;
  }
  QMouseEvent move(QEvent::MouseMove, local, global, Qt::NoButton, QGuiApplication::mouseButtons(),
                   Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

void MouseUp(Window& target, Point p, bool right) {
  QTest::mouseRelease(&WidgetOf(target), right ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier,
                      QPoint(p.x, p.y));
}

bool GrabPng(Window& window, const std::string& path) { return SavePng(Shown(window), path); }

bool SavePng(const QImage& image, const std::string& path) {
  QSaveFile file(QString::fromStdString(path));
  return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

QRect SliderThumb(Window& trackbar) {
  auto* slider = static_cast<QSlider*>(trackbar.Widget());
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = option.sliderValue = slider->value();
  option.tickPosition = slider->tickPosition();
  return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                         slider);
}

Color SamplePixel(Window& window, Point p) {
  const QImage image = Shown(window);
  if (!image.valid(p.x, p.y)) throw std::out_of_range("pixel outside the window");
  const QRgb rgb = image.pixel(p.x, p.y);
  return {static_cast<uint8_t>(qRed(rgb)), static_cast<uint8_t>(qGreen(rgb)),
          static_cast<uint8_t>(qBlue(rgb))};
}

}  // namespace ui::test
