#include "tests/support/ControlSweep.h"

#include <QRect>
#include <Qt>
#include <string>

#include "controls/THotGauge2.h"
#include "controls/TLEDButton.h"
#include "controls/TLogHotGauge2.h"
#include "controls/TMyVSlider.h"
#include "controls/TPolarityButton.h"
#include "controls/TQuadButton.h"
#include "controls/TSwitchButton.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "platform/ui/TreeView.h"

namespace testsupport {

namespace {

// Meters move by themselves; a drawn slider's read-out shows only while it has the focus.
bool IsLiveReading(const ui::Window& w) {
  return dynamic_cast<const THotGauge2*>(&w) != nullptr ||
         dynamic_cast<const TLogHotGauge2*>(&w) != nullptr ||
         dynamic_cast<const TValueDialog*>(&w) != nullptr;
}

// Each item's text and picture, depth first, a level's items between brackets.
std::string TreeItems(const ui::TreeView& tree, ui::TreeItem first) {
  std::string items;
  for (ui::TreeItem item = first; item; item = tree.NextSibling(item)) {
    items += "|" + tree.ItemText(item) + "/" + std::to_string(tree.ItemImage(item));
    if (const ui::TreeItem child = tree.FirstChild(item)) {
      items += "[" + TreeItems(tree, child) + "]";
    }
  }
  return items;
}

template <typename List>
std::string Items(const List& list) {
  std::string items;
  for (int i = 0; i < list.Count(); ++i) items += (i == 0 ? "" : "|") + list.ItemText(i);
  return items;
}

// The kind and value of a control, or nothing for a window that is no control.
std::optional<std::string> Describe(ui::Window& w) {
  using std::to_string;
  if (auto* check = dynamic_cast<ui::CheckBox*>(&w)) {
    const char* kind = dynamic_cast<ui::RadioButton*>(&w) != nullptr ? "radio " : "check ";
    return kind + check->Text() +
           (!check->HasState()   ? ": no state"
            : check->IsChecked() ? ": ticked"
                                 : ": not ticked");
  }
  if (auto* combo = dynamic_cast<ui::ComboBox*>(&w)) {
    return "list: " + (combo->Selection() < 0 ? "none" : combo->ItemText(combo->Selection())) +
           " of " + Items(*combo);
  }
  if (auto* list = dynamic_cast<ui::ListBox*>(&w)) {
    return "list box: " + to_string(list->Selection()) + " of " + Items(*list);
  }
  if (auto* view = dynamic_cast<ui::ListView*>(&w)) {
    std::string items;
    for (int i = 0; i < view->Count(); ++i) {
      items += (i == 0 ? "" : "|") + view->ItemText(i, 0) + "/" + view->ItemText(i, 1);
    }
    return "list view: " + items;
  }
  if (auto* tree = dynamic_cast<ui::TreeView*>(&w)) {
    return "tree: " + TreeItems(*tree, tree->FirstRoot());
  }
  if (auto* bar = dynamic_cast<ui::Trackbar*>(&w)) return "trackbar: " + to_string(bar->Position());
  if (auto* slider = dynamic_cast<TMyVSlider*>(&w)) {
    return "slider: " + to_string(slider->GetValue());
  }
  // The owner-drawn buttons' unknown looks read as a check box with no state does.
  const auto state = [](int shown, int unknown) {
    return shown == unknown ? std::string("no state") : std::to_string(shown);
  };
  if (auto* lamp = dynamic_cast<TLEDButton*>(&w)) {
    return "lamp " + lamp->Text() + ": " + state(lamp->GetState(), TLEDButton::kUnknownState);
  }
  if (auto* polarity = dynamic_cast<TPolarityButton*>(&w)) {
    return "polarity: " + state(polarity->GetState(), TPolarityButton::kUnknownState);
  }
  if (auto* toggle = dynamic_cast<TSwitchButton*>(&w)) {
    return "switch: " + state(toggle->GetState(), TSwitchButton::kUnknownState);
  }
  if (dynamic_cast<TQuadButton*>(&w) != nullptr || dynamic_cast<ui::UpDown*>(&w) != nullptr) {
    return "spin";
  }
  if (auto* control = dynamic_cast<ui::Control*>(&w)) return "text: " + control->Text();
  return std::nullopt;
}

void Walk(ui::Window& w, const std::function<bool(ui::Window&)>& live,
          std::vector<std::string>& shown) {
  for (ui::Window* child : w.Children()) {
    // A closed dialog shows nothing, whatever its controls kept from when it was open.
    if (IsLiveReading(*child) || !child->IsCreated() || (live && live(*child))) continue;
    if (std::optional<std::string> value = Describe(*child)) {
      const auto* control = dynamic_cast<ui::Control*>(child);
      std::string line = std::to_string(control->Id()) + " " + *value;
      if (!child->IsEnabled()) line += " (greyed)";
      if (!child->IsVisible()) line += " (hidden)";
      shown.push_back(line);
    }
    Walk(*child, live, shown);
  }
}

void PressAndRelease(ui::Window& w, ui::Point p) {
  ui::test::MouseDown(w, p);
  ui::test::PumpMessages();
  ui::test::MouseUp(w, p);
  ui::test::PumpMessages();
}

void Drag(ui::Window& w, ui::Point from, ui::Point to) {
  ui::test::MouseDown(w, from);
  ui::test::MouseMove(w, {(from.x + to.x) / 2, (from.y + to.y) / 2});
  ui::test::MouseMove(w, to);
  ui::test::MouseUp(w, to);
  ui::test::PumpMessages();
}

ui::Point Middle(const ui::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void ClickControl(ui::Window& w) {
  const auto& control = dynamic_cast<ui::Control&>(w);
  ui::test::Click(*w.Parent(), control.Id());
}

void ChooseNext(ui::Window& w) {
  auto& combo = dynamic_cast<ui::ComboBox&>(w);
  combo.SetSelection((combo.Selection() + 1) % combo.Count());
  w.Parent()->SendNotify({.controlId = combo.Id(), .code = ui::Notify::SelChange, .control = &w});
}

using Apply = std::function<void(ui::Window&)>;

Apply Key(int qtKey) {
  return [qtKey](ui::Window& control) { ui::test::PressKey(control, qtKey); };
}

// The key that moves a list's selection to another item: down, or up from the last one.
Apply NextItemKey(int selected, int count) {
  if (count < 2) return {};
  return Key(selected + 1 < count ? Qt::Key_Down : Qt::Key_Up);
}

// A trackbar's thumb dragged a few steps toward the end it is furthest from.
void DragThumb(ui::Window& control) {
  auto& bar = dynamic_cast<ui::Trackbar&>(control);
  const QRect thumb = ui::test::SliderThumb(bar);
  const ui::Point from{thumb.center().x(), thumb.center().y()};
  const ui::Rect client = bar.ClientRect();
  const bool horizontal = client.Width() >= client.Height();
  const int room = (horizontal ? client.Width() : client.Height()) / 4;
  const int toward = bar.Position() - bar.Minimum() < bar.Maximum() - bar.Position() ? 1 : -1;
  Drag(bar, from,
       horizontal ? ui::Point{from.x + toward * room, from.y}
                  : ui::Point{from.x, from.y + toward * room});
}

// Every change a control offers, each named by how the user makes it.
std::vector<std::pair<std::string, Apply>> ChangesFor(ui::Window& w, const SweepOptions& options,
                                                      const std::optional<DialogAnswer>& dialog) {
  if (auto* radio = dynamic_cast<ui::RadioButton*>(&w)) {
    if (radio->IsChecked()) return {};
    return {{"click", ClickControl}};
  }
  if (dynamic_cast<ui::CheckBox*>(&w) != nullptr || dynamic_cast<TLEDButton*>(&w) != nullptr ||
      dynamic_cast<TPolarityButton*>(&w) != nullptr ||
      dynamic_cast<TSwitchButton*>(&w) != nullptr) {
    return {{"click", ClickControl}};
  }
  if (auto* combo = dynamic_cast<ui::ComboBox*>(&w)) {
    if (combo->Count() < 2) return {};
    return {{"next item", ChooseNext}};
  }
  if (auto* list = dynamic_cast<ui::ListBox*>(&w)) {
    if (Apply key = NextItemKey(list->Selection(), list->Count())) return {{"key", key}};
    return {};
  }
  if (auto* view = dynamic_cast<ui::ListView*>(&w)) {
    if (Apply key = NextItemKey(view->SelectedItem(), view->Count())) return {{"key", key}};
    return {};
  }
  if (auto* tree = dynamic_cast<ui::TreeView*>(&w)) {
    if (!tree->FirstRoot()) return {};
    return {{"key", Key(tree->Selected() ? Qt::Key_Down : Qt::Key_Home)}};
  }
  if (auto* bar = dynamic_cast<ui::Trackbar*>(&w)) {
    const bool roomUp = bar->Position() < bar->Maximum();
    return {{"key", Key(roomUp ? Qt::Key_Right : Qt::Key_Left)},
            // A page up moves a trackbar toward its minimum, as the platform's sliders do.
            {"page", Key(roomUp ? Qt::Key_PageDown : Qt::Key_PageUp)},
            {"drag", DragThumb}};
  }
  if (dynamic_cast<TMyVSlider*>(&w) != nullptr) {
    return {{"drag", [](ui::Window& control) {
               const ui::Rect client = control.ClientRect();
               const ui::Point from = Middle(client);
               Drag(control, from, {from.x, from.y - client.Height() / 8});
             }}};
  }
  if (dynamic_cast<TQuadButton*>(&w) != nullptr) {
    std::vector<std::pair<std::string, Apply>> zones;
    for (const auto& [name, zone] : {std::pair{"fine up", TQuadButton::kUpperRight},
                                     {"coarse up", TQuadButton::kUpperLeft},
                                     {"fine down", TQuadButton::kLowerRight},
                                     {"coarse down", TQuadButton::kLowerLeft}}) {
      zones.emplace_back(name, [zone = zone](ui::Window& control) {
        auto& spin = dynamic_cast<TQuadButton&>(control);
        PressAndRelease(spin, Middle(spin.ZoneRect(zone)));
      });
    }
    return zones;
  }
  if (dynamic_cast<ui::UpDown*>(&w) != nullptr) {
    return {{"up", [](ui::Window& control) { dynamic_cast<ui::UpDown&>(control).Step(-1); }},
            {"down", [](ui::Window& control) { dynamic_cast<ui::UpDown&>(control).Step(1); }}};
  }
  if (dynamic_cast<ui::Edit*>(&w) != nullptr && options.typed) {
    const std::optional<std::string> text = options.typed(w);
    if (!text) return {};
    return {{"typed", [text = *text](ui::Window& control) {
               ui::test::Type(*control.Parent(), dynamic_cast<ui::Control&>(control).Id(), text);
               ui::test::PressKey(control, Qt::Key_Return);
             }}};
  }
  if (dynamic_cast<ui::PushButton*>(&w) != nullptr && dialog) {
    return {{"opens " + std::to_string(dialog->resourceId), ClickControl}};
  }
  return {};
}

std::string NameOf(ui::Window& w) {
  const auto* control = dynamic_cast<ui::Control*>(&w);
  return (control != nullptr ? std::to_string(control->Id()) + " " : std::string()) +
         Describe(w).value_or("").substr(0, 24);
}

void Gather(ui::Window& w, ControlPath& path, const SweepOptions& options,
            std::vector<ControlChange>& changes) {
  const bool usable = w.IsVisible() && w.IsEnabled();
  const bool skipped = usable && !path.empty() && options.skip && options.skip(w);
  if (usable && !path.empty() && !skipped) {
    const std::optional<DialogAnswer> dialog =
        options.dialog ? options.dialog(w) : std::optional<DialogAnswer>();
    for (auto& [how, apply] : ChangesFor(w, options, dialog)) {
      changes.push_back({NameOf(w) + " " + how, path, std::move(apply), dialog});
    }
  }
  if (usable && options.more) {
    for (auto& [how, apply] : options.more(w)) {
      changes.push_back({NameOf(w) + " " + how, path, std::move(apply), std::nullopt});
    }
  }
  const std::vector<ui::Window*>& children = w.Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    path.push_back(i);
    Gather(*children[i], path, options, changes);
    path.pop_back();
  }
}

}  // namespace

std::vector<std::string> ShownControls(ui::Window& root,
                                       const std::function<bool(ui::Window&)>& live) {
  std::vector<std::string> shown{"caption: " + root.Text()};
  Walk(root, live, shown);
  return shown;
}

std::string WithoutMarks(std::string line) {
  for (const char* mark : {" (hidden)", " (greyed)"}) {
    if (line.ends_with(mark)) line.resize(line.size() - std::string(mark).size());
  }
  return line;
}

bool ShowsUnknown(const std::string& line) {
  const std::string bare = WithoutMarks(line);
  const std::size_t value = bare.find(": ");
  if (value == std::string::npos) return false;
  const std::string shown = bare.substr(value + 2);
  // A read-out names its value before it: "Limiter: ?".
  return shown.empty() || shown == "?" || shown.ends_with(": ?") || shown == "no state" ||
         shown.starts_with("none of ");
}

ui::Window* ControlAt(ui::Window& root, const ControlPath& path) {
  ui::Window* w = &root;
  for (const std::size_t i : path) {
    if (i >= w->Children().size()) return nullptr;
    w = w->Children()[i];
  }
  return w;
}

std::vector<ControlChange> ChangesOf(ui::Window& root, const SweepOptions& options) {
  std::vector<ControlChange> changes;
  ControlPath path;
  Gather(root, path, options, changes);
  return changes;
}

bool Apply(ui::Window& root, const ControlChange& change) {
  ui::Window* control = ControlAt(root, change.path);
  if (control == nullptr) return false;
  change.apply(*control);
  ui::test::PumpMessages();
  return true;
}

}  // namespace testsupport
