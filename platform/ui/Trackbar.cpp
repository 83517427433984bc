#include "platform/ui/Trackbar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QProgressBar>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace ui {

namespace {

ScrollCode CodeOf(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
      return ScrollCode::LineDown;
    case QAbstractSlider::SliderSingleStepSub:
      return ScrollCode::LineUp;
    case QAbstractSlider::SliderPageStepAdd:
      return ScrollCode::PageDown;
    case QAbstractSlider::SliderPageStepSub:
      return ScrollCode::PageUp;
    case QAbstractSlider::SliderToMinimum:
      return ScrollCode::Top;
    case QAbstractSlider::SliderToMaximum:
      return ScrollCode::Bottom;
    default:
      return ScrollCode::ThumbTrack;
  }
}

bool IsNavigationKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      return true;
    default:
      return false;
  }
}

// Ends every mouse or keyboard move with one end-of-scroll.
class EndScrollFilter : public QObject {
 public:
  EndScrollFilter(QObject* slider, std::function<void()> onEnd)
      : QObject(slider), onEnd_(std::move(onEnd)) {
    slider->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonRelease ||
        (e->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(e)->isAutoRepeat() &&
         IsNavigationKey(static_cast<QKeyEvent*>(e)->key()))) {
      onEnd_();
    }
    return false;
  }

 private:
  std::function<void()> onEnd_;
};

}  // namespace

QWidget* Trackbar::MakeControlWidget(QWidget* parentWidget) {
  const bool vertical = HasStyle(style::kVertical);
  auto* slider = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parentWidget);
  slider->setInvertedAppearance(vertical);
  slider->setInvertedControls(vertical);
  slider->setTickPosition(HasStyle(style::kAutoTicks) ? QSlider::TicksBelow : QSlider::NoTicks);
  QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [this](int action) {
    NotifyParent(ui::Notify::Scroll, -1, static_cast<Param>(CodeOf(action)));
  });
  new EndScrollFilter(slider, [this] {
    NotifyParent(ui::Notify::Scroll, -1, static_cast<Param>(ScrollCode::EndScroll));
  });
  return slider;
}

void Trackbar::SetRange(int minimum, int maximum) {
  if (auto* s = As<QSlider>()) s->setRange(minimum, maximum);
}
int Trackbar::Minimum() const { return Widget() != nullptr ? As<QSlider>()->minimum() : 0; }
int Trackbar::Maximum() const { return Widget() != nullptr ? As<QSlider>()->maximum() : 0; }

void Trackbar::SetPosition(int position) {
  if (auto* s = As<QSlider>()) {
    const QSignalBlocker block(s);
    s->setValue(position);
  }
}

// During a move the slider position leads the value; the parent reads where the thumb is.
int Trackbar::Position() const { return Widget() != nullptr ? As<QSlider>()->sliderPosition() : 0; }

void Trackbar::SetTickFrequency(int ticks) {
  if (auto* s = As<QSlider>()) s->setTickInterval(ticks);
}

void Trackbar::SetPageSize(int page) {
  if (auto* s = As<QSlider>()) s->setPageStep(page);
}

QWidget* UpDown::MakeControlWidget(QWidget* parentWidget) {
  auto* box = new QWidget(parentWidget);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (const auto& [arrow, delta] : {std::pair{Qt::UpArrow, -1}, std::pair{Qt::DownArrow, 1}}) {
    auto* button = new QToolButton(box);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QObject::connect(button, &QToolButton::clicked, button, [this, delta = delta] { Step(delta); });
    layout->addWidget(button);
  }
  return box;
}

void UpDown::SetRange(int minimum, int maximum) {
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  position_ = std::clamp(position_, minimum_, maximum_);
}

void UpDown::SetPosition(int position) { position_ = std::clamp(position, minimum_, maximum_); }

void UpDown::Step(int delta) {
  if (NotifyParent(ui::Notify::DeltaPos, -1, delta) != 0) return;
  position_ = std::clamp(position_ + delta, minimum_, maximum_);
}

QWidget* ProgressBar::MakeControlWidget(QWidget* parentWidget) {
  auto* bar = new QProgressBar(parentWidget);
  bar->setTextVisible(false);
  return bar;
}

void ProgressBar::SetRange(int minimum, int maximum) {
  if (auto* bar = As<QProgressBar>()) bar->setRange(minimum, std::max(minimum, maximum));
}

void ProgressBar::SetValue(int value) {
  if (auto* bar = As<QProgressBar>())
    bar->setValue(std::clamp(value, bar->minimum(), bar->maximum()));
}

int ProgressBar::Value() const { return Widget() != nullptr ? As<QProgressBar>()->value() : 0; }

}  // namespace ui
