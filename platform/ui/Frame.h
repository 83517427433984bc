#pragma once

#include <memory>
#include <string>

#include "platform/ui/Menu.h"
#include "platform/ui/Resources.h"
#include "platform/ui/Window.h"

class QMainWindow;
class QToolBar;

namespace ui {

// A decorated frame: a top-level window with a client window, a menu bar whose items show their
// hint (the string with the command's id) in the status bar, an optional tool bar of bitmap
// buttons with hints, and accelerators. Commands start at the focus window inside the frame (else
// the client) and go up through the frame to the application.
class Frame : public Window {
 public:
  // The frame adopts `client` (a window without parent) as its child.
  Frame(const std::string& title, Window* client);
  ~Frame() override;

  Window* Client() const { return client_; }
  // Puts another window (one without parent) in the client's place, created at once when the frame
  // is; the old client stays its owner's to destroy.
  void SetClient(Window* client);
  void SetMenu(int menuId);
  Menu* MenuBar() const { return menu_.get(); }
  void SetAccelerators(int tableId);
  void AddStatusBar();
  std::string StatusText() const;
  void SetStatusText(const std::string& text);
  // The string table of the hints of the frame's menu and tool bar: the menu's id unless set.
  void SetHints(int table) { hints_ = table; }
  // A tool bar button: a picture, the command it sends and its hint (the string with its id).
  void AddToolButton(int commandId, const QImage& picture);
  void AddToolSeparator();
  // The frame sizes itself to fit its client (and status bar) when created.
  void SetShrinkToClient(bool shrink) { shrinkToClient_ = shrink; }
  // Where commands from the menu, tool bar and accelerators start.
  Window* CommandWindow() const;

  bool PreProcessKey(const KeyStroke& key) override;
  bool PlaceChild(const Window& child) override;
  // Tool bar buttons take the enabled state of their commands on the first idle call.
  bool IdleAction(long idleCount) override;

 protected:
  QWidget* MakeWidget(QWidget* parentWidget) override;
  void CreateChildren() override;

 private:
  QMainWindow* Main() const;
  void ShowMenu();
  void MakeStatusBar();

  Window* client_;
  int menuId_ = 0;
  int hints_ = 0;
  std::unique_ptr<Menu> menu_;
  int acceleratorId_ = 0;
  bool statusBar_ = false;
  bool shrinkToClient_ = false;
  QToolBar* toolBar_ = nullptr;
  struct ToolButton {
    int commandId;  // 0: separator
    QImage picture;
  };
  std::vector<ToolButton> toolButtons_;
};

}  // namespace ui
