#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Resources.h"
#include "platform/ui/draw/Geometry.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace ui {

class Window;

// A menu: a frame's menu bar or a popup. Items are reached by position or by command id; a popup
// item's position leads to its sub-menu. Before a popup opens, the command enablers along the
// route from the command window decide its items; an item nobody handles is greyed.
class Menu {
 public:
  // An empty popup.
  Menu();
  explicit Menu(const MenuTemplate& items);
  ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  int ItemCount() const;
  int ItemId(int position) const;  // 0 for separators and popups, -1 out of range
  std::string ItemText(int id) const;
  void SetItemText(int id, const std::string& text);
  void AppendItem(int id, const std::string& text);
  void AppendSeparator();
  void InsertItem(int position, int id, const std::string& text);
  void DeleteItem(int id);
  void DeleteAt(int position);
  void CheckItem(int id, bool checked);
  bool IsChecked(int id) const;
  void EnableItem(int id, bool enabled);
  bool IsEnabled(int id) const;
  Menu* SubMenu(int position);

  // Opens the popup at a screen point, with `owner` receiving the chosen command (routed from it
  // through its parents); returns the command, 0 when the user chose nothing.
  int Track(Window& owner, Point screen);
  // The same at the mouse cursor.
  int TrackAtCursor(Window& owner);

  // Where the items' commands start their route; the frame sets it for its menu bar.
  void SetCommandWindow(std::function<Window*()> commandWindow);
  // Runs the enablers on this menu's items as before opening (the tests' "menu about to open").
  void UpdateItems();
  // A frame's menu bar holding the template's popups, their items' hints from string table
  // `hints`; the bar stays the frame's.
  static std::unique_ptr<Menu> OnMenuBar(QMenuBar* bar, const MenuTemplate& items, int hints);

 private:
  explicit Menu(QWidget* widget);
  QAction* ActionOf(int id) const;
  QAction* ActionAt(int position) const;
  void Build(const MenuTemplate& items, int hints);
  QAction* MakeItem(int id, const std::string& text);
  void Run(int id);
  Window* CommandWindow() const;

  QWidget* widget_;
  bool ownsWidget_ = true;
  // The string table of the items' hints; a popup's items have none.
  int hints_ = 0;
  std::vector<std::unique_ptr<Menu>> subMenus_;
  std::function<Window*()> commandWindow_;
};

}  // namespace ui
