#include "platform/ui/Frame.h"

#include <qdrawutil.h>

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>

#include "platform/ui/Application.h"
#include "platform/ui/Text.h"

namespace ui {

namespace {
// A status bar drawn recessed, as one pane: without its border an empty bar cannot be told from
// the window below the client, and the bar seems to be missing.
class RecessedStatusBar : public QStatusBar {
 protected:
  void paintEvent(QPaintEvent* e) override {
    QStatusBar::paintEvent(e);
    QPainter painter(this);
    qDrawShadePanel(&painter, rect(), palette(), true, 1);
  }
};
}  // namespace

Frame::Frame(const std::string& title, Window* client) : client_(client) {
  SetText(title);
  if (client_ != nullptr) client_->SetParent(this);
}

Frame::~Frame() { Destroy(); }

QWidget* Frame::MakeWidget(QWidget* parentWidget) { return new QMainWindow(parentWidget); }

QMainWindow* Frame::Main() const { return static_cast<QMainWindow*>(Widget()); }

void Frame::CreateChildren() {
  Window::CreateChildren();
  QMainWindow* main = Main();
  const QSize clientSize =
      client_ != nullptr && client_->Widget() != nullptr ? client_->Widget()->size() : QSize();
  if (client_ != nullptr && client_->Widget() != nullptr) main->setCentralWidget(client_->Widget());
  ShowMenu();
  if (statusBar_) MakeStatusBar();
  if (!toolButtons_.empty()) {
    toolBar_ = main->addToolBar(QString());
    toolBar_->setMovable(false);
    for (const ToolButton& b : toolButtons_) {
      if (b.commandId == 0) {
        toolBar_->addSeparator();
        continue;
      }
      QAction* action = toolBar_->addAction(QIcon(QPixmap::fromImage(b.picture)), QString());
      const QString hint = ToWidgetText(Resources::String(hints_, b.commandId));
      action->setData(b.commandId);
      action->setToolTip(hint);
      action->setStatusTip(hint);
      QObject::connect(action, &QAction::triggered, action, [this, id = b.commandId] {
        Application::Instance()->RouteCommand(id, CommandWindow());
      });
    }
  }
  if (shrinkToClient_ && clientSize.isValid()) {
    // The client keeps its own size and the frame grows around it.
    client_->Widget()->setMinimumSize(clientSize);
    main->adjustSize();
    client_->Widget()->setMinimumSize(0, 0);
  }
}

void Frame::SetClient(Window* client) {
  if (client == client_) return;
  if (client_ != nullptr && client_->Widget() != nullptr && Widget() != nullptr &&
      Main()->centralWidget() == client_->Widget()) {
    Main()->takeCentralWidget()->hide();
  }
  client_ = client;
  if (client_ == nullptr) return;
  client_->SetParent(this);
  if (Widget() == nullptr) return;
  client_->Create();
  Main()->setCentralWidget(client_->Widget());
  client_->Show();
}

void Frame::ShowMenu() {
  if (Widget() == nullptr || menuId_ == 0) return;
  const MenuTemplate* t = Resources::Menu(menuId_);
  if (t == nullptr) return;
  menu_.reset();
  Main()->menuBar()->clear();
  menu_ = Menu::OnMenuBar(Main()->menuBar(), *t, hints_);
  menu_->SetCommandWindow([this] { return CommandWindow(); });
}

void Frame::SetMenu(int menuId) {
  menuId_ = menuId;
  hints_ = menuId;
  ShowMenu();
}

void Frame::SetAccelerators(int tableId) { acceleratorId_ = tableId; }

void Frame::AddStatusBar() {
  statusBar_ = true;
  if (Widget() != nullptr) MakeStatusBar();
}

void Frame::MakeStatusBar() {
  auto* bar = new RecessedStatusBar;
  bar->setSizeGripEnabled(false);
  Main()->setStatusBar(bar);
}

std::string Frame::StatusText() const {
  if (Widget() == nullptr || !statusBar_) return {};
  return FromWidgetText(Main()->statusBar()->currentMessage());
}

void Frame::SetStatusText(const std::string& text) {
  if (Widget() != nullptr && statusBar_) Main()->statusBar()->showMessage(ToWidgetText(text));
}

void Frame::AddToolButton(int commandId, const QImage& picture) {
  toolButtons_.push_back({commandId, picture});
}

void Frame::AddToolSeparator() { toolButtons_.push_back({0, {}}); }

Window* Frame::CommandWindow() const {
  // The menu bar keeps the keyboard after a menu is closed with Escape: the frame itself holding
  // the focus still means "start at the client", or the client's items would be greyed.
  Window* focus = Window::FocusWindow();
  for (Window* w = focus; w != nullptr && focus != this; w = w->Parent()) {
    if (w == this) return focus;
  }
  return client_ != nullptr ? client_ : const_cast<Frame*>(this);
}

bool Frame::PlaceChild(const Window& child) {
  if (&child != client_) return true;
  if (Widget() == nullptr || Main()->centralWidget() != child.Widget()) return false;
  // A hidden frame's layout does not follow its size by itself.
  Main()->layout()->invalidate();
  Main()->layout()->activate();
  return true;
}

bool Frame::PreProcessKey(const KeyStroke& key) {
  if (!key.down || acceleratorId_ == 0) return false;
  const AcceleratorTable* table = Resources::Accelerators(acceleratorId_);
  if (table == nullptr) return false;
  for (const Accelerator& a : *table) {
    // A key whose command nobody handles is left to the focus window.
    if (a.keyCode == key.code && a.modifiers == key.modifiers) {
      return Application::Instance()->RouteCommand(a.commandId, CommandWindow());
    }
  }
  return false;
}

bool Frame::IdleAction(long idleCount) {
  if (idleCount != 0 || toolBar_ == nullptr) return false;
  auto* app = Application::Instance();
  for (QAction* action : toolBar_->actions()) {
    const int id = action->data().toInt();
    if (id != 0) action->setEnabled(app->QueryCommand(id, CommandWindow()).enabled);
  }
  return false;
}

}  // namespace ui
