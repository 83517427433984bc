#pragma once

#include <QImage>
#include <string>
#include <vector>

#include "platform/ui/Message.h"

namespace ui {

enum class ControlKind {
  Static,   // text; styles kCenter / kRight / kSunken
  Picture,  // an icon or bitmap resource (imageId)
  Line,     // an etched horizontal line, or an etched frame when taller than wide
  GroupBox,
  PushButton,  // kDefault marks the default button
  CheckBox,
  RadioButton,  // kGroup starts a new group of exclusive buttons
  Edit,         // kPassword, kUpperCase, kMultiLine, kReadOnly, kNumber (digits only)
  ComboBox,     // kDropDownList (no typing) or editable
  ListBox,      // kSort
  ListView,     // kReport or small icons; kEditLabels, kSingleSelection, kNoHeader, kSort
  TreeView,     // kEditLabels
  Trackbar,     // kVertical, kAutoTicks
  UpDown,
  ProgressBar,
  OwnerDrawButton,
};

namespace style {
inline constexpr unsigned kNone = 0;
inline constexpr unsigned kDefault = 1u << 0;
inline constexpr unsigned kCenter = 1u << 1;
inline constexpr unsigned kRight = 1u << 2;
inline constexpr unsigned kSunken = 1u << 3;
inline constexpr unsigned kGroup = 1u << 4;
inline constexpr unsigned kPassword = 1u << 5;
inline constexpr unsigned kUpperCase = 1u << 6;
inline constexpr unsigned kMultiLine = 1u << 7;
inline constexpr unsigned kReadOnly = 1u << 8;
inline constexpr unsigned kNumber = 1u << 9;
inline constexpr unsigned kDropDownList = 1u << 10;
inline constexpr unsigned kSort = 1u << 11;
inline constexpr unsigned kReport = 1u << 12;
inline constexpr unsigned kEditLabels = 1u << 13;
inline constexpr unsigned kSingleSelection = 1u << 14;
inline constexpr unsigned kNoHeader = 1u << 15;
inline constexpr unsigned kVertical = 1u << 16;
inline constexpr unsigned kAutoTicks = 1u << 17;
inline constexpr unsigned kDisabled = 1u << 18;
inline constexpr unsigned kHidden = 1u << 19;
inline constexpr unsigned kFixedPitch = 1u << 20;  // text in the system's fixed-pitch font
// Dialog styles
inline constexpr unsigned kChild = 1u << 24;  // caption-less, embedded in its parent window
// A caption-less top-level window with a thin border that shows without taking the focus from the
// window the user works in (a floating read-out).
inline constexpr unsigned kPopup = 1u << 25;
// Opens centred on the screen, whoever owns it (else centred on its owner's window).
inline constexpr unsigned kCentreOnScreen = 1u << 26;
}  // namespace style

// A rectangle in dialog units: origin and size.
struct DluBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const DluBox&) const = default;
};

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string text;
  DluBox box;
  unsigned styles = style::kNone;
  int imageId = 0;  // pictures
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  DluBox box;
  unsigned styles = style::kNone;
  std::vector<ControlTemplate> controls;
  int pointSize = 8;
};

// A menu item: a command (id and text, "&" marking the mnemonic and "\t" the shortcut text), a
// popup (text and items) or, with neither text nor id, a separator.
struct MenuItemTemplate {
  std::string text;
  int id = 0;
  std::vector<MenuItemTemplate> items;
  bool IsSeparator() const { return text.empty() && id == 0 && items.empty(); }
  bool IsPopup() const { return !items.empty(); }
};
using MenuTemplate = std::vector<MenuItemTemplate>;

struct Accelerator {
  int keyCode = 0;  // key::... or an upper-case letter or digit
  unsigned modifiers = kNoModifier;
  int commandId = 0;
};
using AcceleratorTable = std::vector<Accelerator>;

// The program's resources by id: dialog templates, menus, accelerator tables, strings and images
// (icons and bitmaps). The application registers them at start; lookups of a missing id answer
// null or empty. Strings stand in tables, one a window: the status-bar hints of a window's menu
// and tool bar are those of its table, so that windows whose commands share a number each keep
// their own.
class Resources {
 public:
  // Registering a template again is harmless; another template under a taken id throws
  // std::logic_error, since it would replace some other window's dialog.
  static void AddDialog(DialogTemplate t);
  static const DialogTemplate* Dialog(int id);
  static void AddMenu(int id, MenuTemplate menu);
  static const MenuTemplate* Menu(int id);
  static void AddAccelerators(int id, AcceleratorTable table);
  static const AcceleratorTable* Accelerators(int id);
  // The ids of every dialog template, menu and accelerator table registered, in order.
  static std::vector<int> DialogIds();
  static std::vector<int> MenuIds();
  static std::vector<int> AcceleratorIds();
  static void AddString(int table, int id, std::string text);
  static std::string String(int table, int id);
  static void AddImage(int id, QImage image);
  static QImage Image(int id);
};

}  // namespace ui
