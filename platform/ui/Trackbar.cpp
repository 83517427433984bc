#include "platform/ui/Trackbar.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <utility>

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

// The old trackbar's keys, whatever the orientation: left and up step toward the minimum, right
// and down toward the maximum, page keys likewise, home and end to the ends.
std::optional<QAbstractSlider::SliderAction> ActionOfKey(int key) {
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
      return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
      return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
      return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
      return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
      return QAbstractSlider::SliderToMaximum;
    default:
      return std::nullopt;
  }
}

// Moves the slider by the old keys and ends every mouse or keyboard move with one end-of-scroll,
// but for a press held on the track whose hold a failure ended: the move ended there.
class TrackbarInput : public QObject {
 public:
  TrackbarInput(QSlider* slider, std::function<void()> onEnd, std::function<bool()> holdCut)
      : QObject(slider), slider_(slider), onEnd_(std::move(onEnd)), holdCut_(std::move(holdCut)) {
    slider->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::MouseButtonRelease) {
      // A dragged thumb ends at its release signal, after its final position.
      if (!slider_->isSliderDown() && !holdCut_()) onEnd_();
      return false;
    }
    if (e->type() == QEvent::Wheel) {
      Wheel(static_cast<QWheelEvent*>(e)->angleDelta());
      return true;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    const auto action = ActionOfKey(key->key());
    if (!action) return false;
    if (e->type() == QEvent::KeyPress) {
      slider_->triggerAction(*action);
    } else if (!key->isAutoRepeat()) {
      onEnd_();
    }
    return true;
  }

 private:
  // A notch of the wheel steps as an arrow key does, rolled away from the user as the up arrow, and
  // ends the move there: a step from where the thumb rests, not a place the user put it.
  void Wheel(QPoint angle) {
    wheelRest_ += angle.y() != 0 ? angle.y() : angle.x();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    if (notches == 0) return;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    for (int n = 0; n < std::abs(notches); ++n) {
      slider_->triggerAction(notches > 0 ? QAbstractSlider::SliderSingleStepSub
                                         : QAbstractSlider::SliderSingleStepAdd);
    }
    onEnd_();
  }

  QSlider* slider_;
  std::function<void()> onEnd_;
  std::function<bool()> holdCut_;
  int wheelRest_ = 0;
};

// A slider with ticks at chosen positions. Horizontal, the ticks stand below the bar with their
// labels under them, and the style lays the bar out, and hit-tests it, in the band at the top
// only; vertical, they stand on both sides of the thumb, without labels.
class MarkedSlider : public QSlider {
 public:
  MarkedSlider(Qt::Orientation orientation, QWidget* parent, HeldRepeat& trackRepeat)
      : QSlider(orientation, parent), trackRepeat_(trackRepeat) {}

  void SetMarks(std::vector<Trackbar::TickMark> marks) {
    marks_ = std::move(marks);
    update();
  }

 protected:
  // A press on the track pages once inside Qt's handler, which then starts Qt's own repeat. The
  // repeat runs on the window's timer instead, where a failure ends it; the hold begins before the
  // first page, so that a failure of that page ends it before it repeats at all.
  void mousePressEvent(QMouseEvent* e) override {
    trackRepeat_.Begin([this] { triggerAction(trackAction_); });
    QSlider::mousePressEvent(e);
    trackAction_ = repeatAction();
    setRepeatAction(SliderNoAction);
    if (trackAction_ == SliderNoAction) trackRepeat_.LetGo();
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    trackRepeat_.LetGo();
    trackAction_ = SliderNoAction;
    QSlider::mouseReleaseEvent(e);
  }

 public:
  // Whether the press held on the track now had its hold ended before the release.
  bool HoldCut() const { return trackAction_ != SliderNoAction && !trackRepeat_.IsHeld(); }

 protected:
  void initStyleOption(QStyleOptionSlider* option) const override {
    QSlider::initStyleOption(option);
    if (!marks_.empty() && orientation() == Qt::Horizontal) {
      option->rect.setHeight(std::min(height(), BarHeight()));
    }
  }

  void paintEvent(QPaintEvent* e) override {
    QSlider::paintEvent(e);
    if (marks_.empty()) return;
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto [groove, handle] = GrooveAndHandle(option);
    if (orientation() == Qt::Vertical) {
      PaintSideTicks(groove, handle, option.upsideDown);
      return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int tickTop = TickTop();
    for (const Trackbar::TickMark& mark : marks_) {
      const int x = TickX(mark.position);
      painter.drawLine(x, tickTop, x, tickTop + kTickLength);
    }
    painter.setFont(LabelFont());
    const QFontMetrics metrics(painter.font());
    for (const Trackbar::PlacedLabel& label : PlacedLabels()) {
      painter.drawText(label.box.left, label.box.top + metrics.ascent(),
                       QString::fromStdString(label.text));
    }
  }

 public:
  // The labels are a little smaller than the control's text, as crowded scales' labels are.
  QFont LabelFont() const {
    QFont labelFont = font();
    labelFont.setPointSizeF(labelFont.pointSizeF() * kLabelScale);
    return labelFont;
  }

  // Each label centred under its tick as far as the control's edges allow, on the first line where
  // it keeps a letter's width from the label before it: closer, two labels read as one ("4 1/10"
  // as a mixed number).
  std::vector<Trackbar::PlacedLabel> PlacedLabels() const {
    if (orientation() == Qt::Vertical) return {};
    const QFontMetrics metrics(LabelFont());
    const int gap = metrics.horizontalAdvance(QLatin1Char('M'));
    const int firstTop = TickTop() + kTickLength + 1;
    std::vector<Trackbar::PlacedLabel> placed;
    std::vector<int> lineEnds;  // right edge of the last label on each line
    for (const Trackbar::TickMark& mark : marks_) {
      if (mark.label.empty()) continue;
      const int width = metrics.horizontalAdvance(QString::fromStdString(mark.label));
      const int left =
          std::clamp(TickX(mark.position) - width / 2, 0, std::max(0, this->width() - width));
      size_t line = 0;
      while (line < lineEnds.size() && lineEnds[line] + gap > left) ++line;
      if (line == lineEnds.size()) lineEnds.push_back(0);
      lineEnds[line] = left + width;
      const int top = firstTop + static_cast<int>(line) * metrics.height();
      placed.push_back({mark.label, {left, top, left + width, top + metrics.height()}});
    }
    return placed;
  }

 private:
  // Where a horizontal slider's ticks begin, below the bar, and where the tick of `position`
  // stands.
  int TickTop() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return option.rect.bottom() + 1;
  }
  std::pair<QRect, QRect> GrooveAndHandle(const QStyleOptionSlider& option) const {
    return {style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this),
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this)};
  }
  int TickX(int position) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const auto [groove, handle] = GrooveAndHandle(option);
    return groove.left() + handle.width() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), position,
                                           groove.width() - handle.width());
  }

  void PaintSideTicks(const QRect& groove, const QRect& handle, bool upsideDown) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const int span = groove.height() - handle.height();
    const int left = handle.left() - kTickGap;
    const int right = handle.right() + kTickGap;
    for (const Trackbar::TickMark& mark : marks_) {
      const int y =
          groove.top() + handle.height() / 2 +
          QStyle::sliderPositionFromValue(minimum(), maximum(), mark.position, span, upsideDown);
      painter.drawLine(left - kTickLength, y, left, y);
      painter.drawLine(right, y, right + kTickLength, y);
    }
  }

  static constexpr int kTickLength = 3;
  static constexpr int kTickGap = 2;
  static constexpr double kLabelScale = 0.8;

  // The height the style gives a slider without ticks.
  int BarHeight() const {
    QStyleOptionSlider plain;
    QSlider::initStyleOption(&plain);
    plain.tickPosition = QSlider::NoTicks;
    const int thickness = style()->pixelMetric(QStyle::PM_SliderThickness, &plain, this);
    const int length = style()->pixelMetric(QStyle::PM_SliderLength, &plain, this);
    return style()
        ->sizeFromContents(QStyle::CT_Slider, &plain, QSize(length, thickness), this)
        .height();
  }

  std::vector<Trackbar::TickMark> marks_;
  HeldRepeat& trackRepeat_;
  SliderAction trackAction_ = SliderNoAction;
};

}  // namespace

Trackbar::Trackbar(Window* parent, int id)
    : Control(parent, id), trackRepeat_(*this, kTrackRepeatTimerId, kTrackRepeatPace) {}

QWidget* Trackbar::MakeControlWidget(QWidget* parentWidget) {
  const bool vertical = HasStyle(style::kVertical);
  auto* slider =
      new MarkedSlider(vertical ? Qt::Vertical : Qt::Horizontal, parentWidget, trackRepeat_);
  slider->setInvertedAppearance(vertical);
  slider->setTickPosition(HasStyle(style::kAutoTicks) ? QSlider::TicksBelow : QSlider::NoTicks);
  QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [this](int action) {
    NotifyParent(ui::Notify::Scroll, -1, static_cast<Param>(CodeOf(action)));
  });
  const auto notify = [this](ScrollCode code) {
    NotifyParent(ui::Notify::Scroll, -1, static_cast<Param>(code));
  };
  QObject::connect(slider, &QAbstractSlider::sliderReleased, slider, [notify] {
    notify(ScrollCode::ThumbPosition);
    notify(ScrollCode::EndScroll);
  });
  new TrackbarInput(
      slider, [notify] { notify(ScrollCode::EndScroll); }, [slider] { return slider->HoldCut(); });
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

void Trackbar::SetTickMarks(std::vector<TickMark> marks) {
  if (auto* s = dynamic_cast<MarkedSlider*>(Widget())) s->SetMarks(std::move(marks));
}

std::vector<Trackbar::PlacedLabel> Trackbar::TickLabels() const {
  const auto* s = dynamic_cast<const MarkedSlider*>(Widget());
  return s != nullptr ? s->PlacedLabels() : std::vector<PlacedLabel>();
}

QFont Trackbar::TickLabelFont() const {
  const auto* s = dynamic_cast<const MarkedSlider*>(Widget());
  return s != nullptr ? s->LabelFont() : QFont();
}

UpDown::UpDown(Window* parent, int id)
    : Control(parent, id), arrowRepeat_(*this, kArrowRepeatTimerId, kArrowRepeatPace, [this] {
        // Up without a click, and no longer pressed: neither the hand's release nor its moving
        // back onto the arrow steps again.
        if (Widget() == nullptr) return;
        for (auto* arrow : Widget()->findChildren<QToolButton*>()) {
          if (!arrow->isDown()) continue;
          arrow->setDown(false);
          QMouseEvent release(QEvent::MouseButtonRelease, QPointF(), QPointF(), Qt::LeftButton,
                              Qt::NoButton, Qt::NoModifier);
          QCoreApplication::sendEvent(arrow, &release);
        }
      }) {}

QWidget* UpDown::MakeControlWidget(QWidget* parentWidget) {
  auto* box = new QWidget(parentWidget);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (const auto& [arrow, delta] : {std::pair{Qt::UpArrow, -1}, std::pair{Qt::DownArrow, 1}}) {
    auto* button = new QToolButton(box);
    button->setArrowType(arrow);
    // The arrows step what stands beside them; the keyboard passes them by, as it always did.
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QObject::connect(button, &QToolButton::pressed, button,
                     [this, delta = delta] { arrowRepeat_.Begin([this, delta] { Step(delta); }); });
    QObject::connect(button, &QToolButton::released, button, [this] { arrowRepeat_.LetGo(); });
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
  if (auto* bar = As<QProgressBar>()) {
    bar->setTextVisible(false);
    bar->setValue(std::clamp(value, bar->minimum(), bar->maximum()));
  }
}

int ProgressBar::Value() const { return Widget() != nullptr ? As<QProgressBar>()->value() : 0; }

void ProgressBar::ShowUnknown() {
  if (auto* bar = As<QProgressBar>()) {
    // An empty bar alone is a reading too.
    bar->setValue(bar->minimum());
    bar->setFormat(QStringLiteral("?"));
    bar->setTextVisible(true);
  }
}

bool ProgressBar::ShowsUnknown() const {
  return Widget() != nullptr && As<QProgressBar>()->isTextVisible();
}

}  // namespace ui
