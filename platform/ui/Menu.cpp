#include "platform/ui/Menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>

#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/Text.h"
#include "platform/ui/Window.h"

namespace ui {

namespace {
int IdOf(const QAction* action) { return action->data().isValid() ? action->data().toInt() : 0; }
}  // namespace

Menu::Menu() : Menu(static_cast<QWidget*>(new QMenu)) {}

Menu::Menu(QWidget* widget) : widget_(widget) {
  if (auto* menu = qobject_cast<QMenu*>(widget_)) {
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [this] { Guarded("menu enablers", [this] { UpdateItems(); }); });
  }
}

Menu::Menu(const MenuTemplate& items) : Menu() { Build(items, 0); }

Menu::~Menu() {
  subMenus_.clear();
  if (ownsWidget_) delete widget_;
}

void Menu::Build(const MenuTemplate& items, int hints) {
  hints_ = hints;
  for (const MenuItemTemplate& item : items) {
    if (item.IsSeparator()) {
      AppendSeparator();
    } else if (item.IsPopup()) {
      auto sub = std::unique_ptr<Menu>(new Menu());
      sub->Build(item.items, hints);
      sub->commandWindow_ = [this] { return CommandWindow(); };
      auto* menu = static_cast<QMenu*>(sub->widget_);
      menu->setTitle(ToWidgetText(item.text));
      widget_->addAction(menu->menuAction());
      subMenus_.push_back(std::move(sub));
    } else {
      AppendItem(item.id, item.text);
    }
  }
}

QAction* Menu::MakeItem(int id, const std::string& text) {
  auto* action = new QAction(ToWidgetText(text), widget_);
  action->setData(id);
  action->setStatusTip(ToWidgetText(Resources::String(hints_, id)));
  QObject::connect(action, &QAction::triggered, action, [this, id] { Run(id); });
  return action;
}

void Menu::Run(int id) {
  auto* app = Application::Instance();
  if (app == nullptr) return;
  Guarded("menu command", [&] { app->RouteCommand(id, CommandWindow()); });
}

Window* Menu::CommandWindow() const { return commandWindow_ ? commandWindow_() : nullptr; }

QAction* Menu::ActionAt(int position) const {
  const QList<QAction*> actions = widget_->actions();
  return position >= 0 && position < actions.size() ? actions[position] : nullptr;
}

QAction* Menu::ActionOf(int id) const {
  if (id == 0) return nullptr;
  for (QAction* a : widget_->actions()) {
    if (IdOf(a) == id) return a;
  }
  for (const auto& sub : subMenus_) {
    if (QAction* a = sub->ActionOf(id)) return a;
  }
  return nullptr;
}

int Menu::ItemCount() const { return static_cast<int>(widget_->actions().size()); }

int Menu::ItemId(int position) const {
  const QAction* a = ActionAt(position);
  return a != nullptr ? IdOf(a) : -1;
}

std::string Menu::ItemText(int id) const {
  const QAction* a = ActionOf(id);
  return a != nullptr ? FromWidgetText(a->text()) : std::string();
}

void Menu::SetItemText(int id, const std::string& text) {
  if (QAction* a = ActionOf(id)) a->setText(ToWidgetText(text));
}

void Menu::AppendItem(int id, const std::string& text) { widget_->addAction(MakeItem(id, text)); }

void Menu::AppendSeparator() {
  auto* separator = new QAction(widget_);
  separator->setSeparator(true);
  widget_->addAction(separator);
}

void Menu::InsertItem(int position, int id, const std::string& text) {
  widget_->insertAction(ActionAt(position), MakeItem(id, text));
}

void Menu::DeleteItem(int id) {
  QAction* a = ActionOf(id);
  if (a == nullptr) return;
  if (a->parent() == widget_) {
    widget_->removeAction(a);
    delete a;
    return;
  }
  for (const auto& sub : subMenus_) sub->DeleteItem(id);
}

void Menu::DeleteAt(int position) {
  QAction* a = ActionAt(position);
  if (a == nullptr) return;
  widget_->removeAction(a);
  std::erase_if(subMenus_, [a](const std::unique_ptr<Menu>& sub) {
    return static_cast<QMenu*>(sub->widget_)->menuAction() == a;
  });
  if (a->parent() == widget_) delete a;
}

void Menu::CheckItem(int id, bool checked) {
  if (QAction* a = ActionOf(id)) {
    a->setCheckable(true);
    a->setChecked(checked);
  }
}

bool Menu::IsChecked(int id) const {
  const QAction* a = ActionOf(id);
  return a != nullptr && a->isChecked();
}

void Menu::EnableItem(int id, bool enabled) {
  if (QAction* a = ActionOf(id)) a->setEnabled(enabled);
}

bool Menu::IsEnabled(int id) const {
  const QAction* a = ActionOf(id);
  return a != nullptr && a->isEnabled();
}

Menu* Menu::SubMenu(int position) {
  const QAction* a = ActionAt(position);
  for (const auto& sub : subMenus_) {
    if (a != nullptr && static_cast<QMenu*>(sub->widget_)->menuAction() == a) return sub.get();
  }
  return nullptr;
}

void Menu::SetCommandWindow(std::function<Window*()> commandWindow) {
  commandWindow_ = std::move(commandWindow);
}

void Menu::UpdateItems() {
  auto* app = Application::Instance();
  if (app == nullptr) return;
  Window* start = CommandWindow();
  for (QAction* a : widget_->actions()) {
    const int id = IdOf(a);
    if (id == 0) continue;
    if (std::optional<CommandState> state = app->AskEnabler(id, start)) {
      a->setEnabled(state->enabled);
      if (state->checked) {
        a->setCheckable(true);
        a->setChecked(*state->checked);
      }
      if (state->text) a->setText(ToWidgetText(*state->text));
    } else if (!app->IsHandled(id, start)) {
      a->setEnabled(false);
    }
  }
}

int Menu::Track(Window& owner, Point screen) {
  auto* menu = qobject_cast<QMenu*>(widget_);
  if (menu == nullptr) return 0;
  commandWindow_ = [&owner] { return &owner; };
  int chosen = 0;
  if (auto scripted = InterceptPrompt({PromptKind::PopupMenu, {}, {}, 0})) {
    UpdateItems();
    const QAction* a = ActionOf(scripted->result);
    chosen = a != nullptr && a->isEnabled() ? scripted->result : 0;
  } else {
    auto* app = Application::Instance();
    if (app != nullptr) app->BeginPrompt();
    QAction* picked = menu->exec(QPoint(screen.x, screen.y));
    if (app != nullptr) app->EndPrompt();
    // exec already ran the command through the action's trigger.
    return picked != nullptr ? IdOf(picked) : 0;
  }
  if (chosen != 0) Run(chosen);
  return chosen;
}

int Menu::TrackAtCursor(Window& owner) {
  const QPoint cursor = QCursor::pos();
  return Track(owner, {cursor.x(), cursor.y()});
}

std::unique_ptr<Menu> Menu::OnMenuBar(QMenuBar* bar, const MenuTemplate& items, int hints) {
  auto menu = std::unique_ptr<Menu>(new Menu(bar));
  menu->ownsWidget_ = false;
  menu->Build(items, hints);
  return menu;
}

}  // namespace ui
