#include "platform/ui/Resources.h"

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace ui {

namespace {

template <typename T>
std::map<int, T>& Table() {
  static std::map<int, T> table;
  return table;
}

template <typename T>
const T* Find(int id) {
  const auto it = Table<T>().find(id);
  return it != Table<T>().end() ? &it->second : nullptr;
}

template <typename T>
std::vector<int> Ids() {
  std::vector<int> ids;
  for (const auto& [id, entry] : Table<T>()) ids.push_back(id);
  return ids;
}

// Registering the same template again is harmless; another template under a taken id would
// silently replace a dialog of some other window.
bool SameLayout(const DialogTemplate& a, const DialogTemplate& b) {
  if (a.caption != b.caption || a.box != b.box || a.controls.size() != b.controls.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.controls.size(); ++i) {
    if (a.controls[i].id != b.controls[i].id || a.controls[i].kind != b.controls[i].kind) {
      return false;
    }
  }
  return true;
}

std::map<std::pair<int, int>, std::string>& Strings() {
  static std::map<std::pair<int, int>, std::string> strings;
  return strings;
}

}  // namespace

void Resources::AddDialog(DialogTemplate t) {
  const int id = t.id;
  if (const DialogTemplate* taken = Find<DialogTemplate>(id); taken && !SameLayout(*taken, t)) {
    throw std::logic_error("two dialog templates share the id " + std::to_string(id));
  }
  Table<DialogTemplate>()[id] = std::move(t);
}
const DialogTemplate* Resources::Dialog(int id) { return Find<DialogTemplate>(id); }

void Resources::AddMenu(int id, MenuTemplate menu) { Table<MenuTemplate>()[id] = std::move(menu); }
const MenuTemplate* Resources::Menu(int id) { return Find<MenuTemplate>(id); }

void Resources::AddAccelerators(int id, AcceleratorTable table) {
  Table<AcceleratorTable>()[id] = std::move(table);
}
const AcceleratorTable* Resources::Accelerators(int id) { return Find<AcceleratorTable>(id); }

std::vector<int> Resources::DialogIds() { return Ids<DialogTemplate>(); }
std::vector<int> Resources::MenuIds() { return Ids<MenuTemplate>(); }
std::vector<int> Resources::AcceleratorIds() { return Ids<AcceleratorTable>(); }

void Resources::AddString(int table, int id, std::string text) {
  Strings()[{table, id}] = std::move(text);
}
std::string Resources::String(int table, int id) {
  const auto it = Strings().find({table, id});
  return it != Strings().end() ? it->second : std::string();
}

void Resources::AddImage(int id, QImage image) {
  // As with dialogs: a second picture under a taken id would silently show in the first one's
  // place.
  if (const QImage* taken = Find<QImage>(id); taken && *taken != image) {
    throw std::logic_error("two images share the id " + std::to_string(id));
  }
  Table<QImage>()[id] = std::move(image);
}
QImage Resources::Image(int id) {
  const QImage* image = Find<QImage>(id);
  return image != nullptr ? *image : QImage();
}

}  // namespace ui
