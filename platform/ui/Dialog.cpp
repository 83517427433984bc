#include "platform/ui/Dialog.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEventLoop>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Edit.h"
#include "platform/ui/Guard.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Text.h"

namespace ui {

namespace {
QFont DialogFont(const DialogTemplate& t) {
  QFont font = QApplication::font();
  font.setPointSize(t.pointSize);
  return font;
}

// Where a dialog opens: over its owner's window, or the screen for a dialog without one.
QRect OwnerArea(const Window* owner) {
  if (owner != nullptr && owner->Widget() != nullptr) return owner->Widget()->window()->geometry();
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

// Centred on the area, but never past the screen's edges.
QPoint CentredOn(const QRect& area, const QSize& size) {
  QPoint topLeft = area.center() - QPoint(size.width() / 2, size.height() / 2);
  if (const QScreen* screen = QGuiApplication::screenAt(area.center())) {
    const QRect room = screen->availableGeometry();
    topLeft.setX(std::clamp(topLeft.x(), room.left(),
                            std::max(room.left(), room.right() + 1 - size.width())));
    topLeft.setY(std::clamp(topLeft.y(), room.top(),
                            std::max(room.top(), room.bottom() + 1 - size.height())));
  }
  return topLeft;
}

}  // namespace

Dialog::Dialog(Window* parent, int resourceId) : Window(parent), resourceId_(resourceId) {
  if (const DialogTemplate* t = Resources::Dialog(resourceId)) {
    template_ = *t;
  } else {
    ReportError("dialog", "no dialog template " + std::to_string(resourceId));
  }
  units_ = std::make_unique<DialogUnits>(DialogFont(template_));
  SetText(template_.caption);
  OnCommand(kIdOk, [this] { CloseWindow(kIdOk); });
  OnCommand(kIdCancel, [this] { CloseWindow(kIdCancel); });
}

Dialog::~Dialog() { Destroy(); }

QWidget* Dialog::MakeWidget(QWidget* parentWidget) {
  const bool embedded = (template_.styles & style::kChild) != 0 && parentWidget != nullptr;
  const bool popup = !embedded && (template_.styles & style::kPopup) != 0;
  QWidget* widget = nullptr;
  if (popup) {
    // Unmanaged by the window manager: never activated, placed exactly where the owner puts it.
    auto* frame = new QFrame(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
    frame->setFrameShape(QFrame::Box);
    frame->setLineWidth(1);
    frame->setAttribute(Qt::WA_ShowWithoutActivating);
    widget = frame;
  } else {
    widget = new QWidget(embedded ? parentWidget : nullptr,
                         embedded ? Qt::Widget
                                  : Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint |
                                        Qt::MSWindowsFixedSizeDialogHint);
  }
  widget->setFont(DialogFont(template_));
  const Rect r = units_->ToPixels(template_.box);
  if (embedded) {
    widget->setGeometry(r.left, r.top, r.Width(), r.Height());
    // A click on an embedded dialog's background gives it the focus (and its set-focus message),
    // as the old panes expect; the keyboard still moves between the controls inside.
    widget->setFocusPolicy(Qt::ClickFocus);
  } else {
    widget->setFixedSize(r.Width(), r.Height());
    if (!popup) {
      const bool onScreen = (template_.styles & style::kCentreOnScreen) != 0;
      widget->move(CentredOn(OwnerArea(onScreen ? nullptr : Parent()), widget->size()));
    } else if (Parent() != nullptr && Parent()->IsCreated()) {
      const Point origin = Parent()->ClientToScreen({r.left, r.top});
      widget->move(origin.x, origin.y);
    }
  }
  return widget;
}

void Dialog::CreateChildren() {
  if (entryControls_.empty()) {
    for (const ControlTemplate& t : template_.controls) {
      Control* control = nullptr;
      for (Window* child : Children()) {
        auto* c = dynamic_cast<Control*>(child);
        if (c != nullptr && c->Id() == t.id && t.id > 0 && !c->IsBound()) {
          control = c;
          break;
        }
      }
      if (control == nullptr) {
        ownedControls_.push_back(MakeDefaultControl(this, t));
        control = ownedControls_.back().get();
      }
      control->Bind(t, units_->ToPixels(t.box));
      entryControls_.push_back(control);
    }
  }
  QButtonGroup* radioGroup = nullptr;
  for (std::size_t i = 0; i < entryControls_.size(); ++i) {
    const ControlTemplate& t = template_.controls[i];
    Control* control = entryControls_[i];
    control->Create();
    if (auto* radio = qobject_cast<QRadioButton*>(control->Widget())) {
      if (radioGroup == nullptr || (t.styles & style::kGroup))
        radioGroup = new QButtonGroup(Widget());
      radioGroup->addButton(radio);
    } else {
      radioGroup = nullptr;
    }
  }
  // Windows the dialog adds by code (embedded dialogs, panes) come after the template's controls.
  Window::CreateChildren();
}

Control* Dialog::ControlById(int id) const {
  for (Window* child : Children()) {
    auto* c = dynamic_cast<Control*>(child);
    if (c != nullptr && c->Id() == id) return c;
  }
  return nullptr;
}

int Dialog::Execute() {
  auto* app = Application::Instance();
  if (std::optional<PromptAnswer> scripted =
          InterceptPrompt({PromptKind::Dialog, Text(), {}, resourceId_})) {
    if (!scripted->act) return scripted->result;
    Create();
    Show();
    result_ = kIdCancel;
    ended_ = false;
    QEventLoop loop;  // never run: marks the dialog modal while the script acts on it
    loop_ = &loop;
    app->PushModal(this);
    Guarded("scripted dialog", [&] { scripted->act(*this); });
    app->PopModal(this);
    const bool ended = ended_ || !IsCreated();
    loop_ = nullptr;
    if (!ended && PromptScript::Current() != nullptr) {
      PromptScript::Current()->ReportFailure("dialog " + std::to_string(resourceId_) +
                                             " was left open by its script");
    }
    Destroy();
    return result_;
  }
  Create();
  Widget()->setWindowModality(Qt::ApplicationModal);
  Show();
  QEventLoop loop;
  loop_ = &loop;
  app->PushModal(this);
  loop.exec();
  app->PopModal(this);
  loop_ = nullptr;
  Destroy();
  return result_;
}

void Dialog::WidgetDestroyed() {
  if (loop_ != nullptr) loop_->exit(result_);
}

void Dialog::SetFixedClientSize(Size s) {
  if (Widget() != nullptr && Widget()->isWindow()) Widget()->setFixedSize(s.cx, s.cy);
}

void Dialog::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  if (loop_ != nullptr) {
    loop_->exit(result);
  } else {
    Destroy();
  }
}

void Dialog::CloseWindow(int result) {
  if (!IsCreated() || (result == kIdOk && !FieldsValid()) || !CanClose()) return;
  if (loop_ != nullptr) {
    EndDialog(result);
  } else {
    result_ = result;
    Window::CloseWindow(result);
  }
}

bool Dialog::FieldsValid() {
  for (Window* child : Children()) {
    auto* edit = dynamic_cast<Edit*>(child);
    if (edit == nullptr || !edit->IsCreated() || edit->IsValid()) continue;
    MessageBox(this, edit->ValidationError(), Text(), mb::kOk | mb::kIconExclamation);
    edit->SetFocus();
    return false;
  }
  return true;
}

int Dialog::DefaultButtonId() const {
  for (const ControlTemplate& t : template_.controls) {
    if (t.kind == ControlKind::PushButton && (t.styles & style::kDefault)) return t.id;
  }
  return kIdOk;
}

PushButton* Dialog::FocusedPushButton() const {
  if (Widget() == nullptr) return nullptr;
  // The focus of the dialog's own window: where its keys go, also before the window is active.
  QWidget* focus = Widget()->window()->focusWidget();
  if (qobject_cast<QPushButton*>(focus) == nullptr || !Widget()->isAncestorOf(focus))
    return nullptr;
  return dynamic_cast<PushButton*>(Window::FromWidget(focus));
}

bool Dialog::PreProcessKey(const KeyStroke& key) {
  if (!key.down || key.modifiers != kNoModifier) return false;
  if (key.code == key::kReturn) {
    if (PushButton* focused = FocusedPushButton()) {
      focused->Click();
      return true;
    }
    const int id = DefaultButtonId();
    const Control* button = ControlById(id);
    if (button == nullptr || button->IsEnabled()) {
      Application::Instance()->RouteControlCommand(id, this);
    }
    return true;
  }
  if (key.code == key::kEscape) {
    Application::Instance()->RouteControlCommand(kIdCancel, this);
    return true;
  }
  return false;
}

bool Dialog::IdleAction(long idleCount) {
  if (idleCount != 0) return false;
  for (const ControlTemplate& t : template_.controls) {
    if (t.kind != ControlKind::PushButton || t.id == 0) continue;
    Control* button = ControlById(t.id);
    if (button == nullptr) continue;
    if (auto state = Application::Instance()->AskControlEnabler(t.id, this))
      button->Enable(state->enabled);
  }
  return false;
}

}  // namespace ui
