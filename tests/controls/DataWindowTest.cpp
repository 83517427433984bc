#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/TDataWindow.h"
#include "platform/ui/Window.h"

namespace {

std::vector<std::string> g_handled;

// A plain window carrying the mix-in, logging each record it handles.
class DataWin : public ui::Window, public TDataWindow {
 public:
  DataWin(ui::Window* parent, std::string name)
      : ui::Window(parent), TDataWindow(parent), name_(std::move(name)) {}
  void Notify(NotifyRecord* record) override {
    g_handled.push_back(name_);
    TDataWindow::Notify(record);
  }

 private:
  std::string name_;
};

// root -> a -> a1, root -> plain -> hidden, root -> b
struct DataWindowTest : testing::Test {
  DataWin root{nullptr, "root"};
  DataWin a{&root, "a"};
  DataWin a1{&a, "a1"};
  ui::Window plain{&root};
  DataWin hidden{&plain, "hidden"};
  DataWin b{&root, "b"};
  NotifyRecord record{0x65, 2, 0, nullptr};

  void SetUp() override { g_handled.clear(); }
};

TEST_F(DataWindowTest, ABroadcastWalksDepthFirstAndStopsAtPlainWindows) {
  root.Notify(&record);
  EXPECT_EQ(g_handled, (std::vector<std::string>{"root", "a", "a1", "b"}));
  g_handled.clear();
  b.Notify(&record);
  EXPECT_EQ(g_handled, std::vector<std::string>{"b"});
}

TEST_F(DataWindowTest, LinksSpreadThroughTheSubtreeAndAreInheritedByNewWindows) {
  EXPECT_EQ(root.RootLink(), nullptr);
  EXPECT_EQ(hidden.RootLink(), nullptr) << "its parent is not a data window";
  root.SetLink1(&root);
  a.SetLink2(&a);
  for (const DataWin* w : {&root, &a, &a1, &b}) EXPECT_EQ(w->RootLink(), &root);
  EXPECT_EQ(hidden.RootLink(), nullptr);
  EXPECT_EQ(a1.LocalLink(), &a);
  EXPECT_EQ(b.LocalLink(), nullptr);
  DataWin late{&a1, "late"};
  EXPECT_EQ(late.RootLink(), &root);
  EXPECT_EQ(late.LocalLink(), &a);
  a.SetLink2(&plain);
  EXPECT_EQ(late.LocalLink(), nullptr) << "a plain window is no data window to link to";
}

TEST_F(DataWindowTest, SendersReachTheWholeUnitThroughTheRootOrOnlyTheirOwner) {
  a1.NotifyRoot(&record);
  EXPECT_TRUE(g_handled.empty()) << "no link, nobody to tell";
  root.SetLink1(&root);
  a.SetLink2(&a);
  a1.NotifyRoot(&record);
  EXPECT_EQ(g_handled, (std::vector<std::string>{"root", "a", "a1", "b"}));
  g_handled.clear();
  a1.NotifyLocal(&record);
  EXPECT_EQ(g_handled, (std::vector<std::string>{"a", "a1"}));
}

}  // namespace
