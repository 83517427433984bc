#include <gtest/gtest.h>

#include <QImage>

#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DrawnWindow.h"
#include "platform/ui/Edit.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Static.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "platform/ui/TreeView.h"
#include "platform/ui/draw/Color.h"
#include "tests/platform_ui/UiTestEnvironment.h"

namespace ui {
namespace {

constexpr int kGallery = 9400;
constexpr int kIcon = 9401;
enum : int {
  kText = 101,
  kPicture,
  kLine,
  kGroup,
  kPush,
  kCheck,
  kRadio1,
  kRadio2,
  kEdit,
  kPassword,
  kLog,
  kCombo,
  kList,
  kIcons,
  kReport,
  kTree,
  kTrack,
  kVTrack,
  kSpin,
  kProgress,
  kSwatch
};

QImage IconImage(QColor color) {
  QImage image(16, 16, QImage::Format_RGB32);
  image.fill(color);
  for (int i = 0; i < 16; ++i) image.setPixel(i, i, qRgb(0, 0, 0));
  return image;
}

void RegisterGallery() {
  Resources::AddImage(kIcon, IconImage(QColor(0, 128, 255)).scaled(32, 32));
  Resources::AddDialog(
      {kGallery,
       "Every control",
       {0, 0, 330, 250},
       style::kNone,
       {{kGroup, ControlKind::GroupBox, "Buttons", {5, 5, 105, 75}},
        {kPush, ControlKind::PushButton, "Roll Call", {12, 18, 50, 14}, style::kDefault},
        {kCheck, ControlKind::CheckBox, "Lock", {12, 36, 60, 10}},
        {kRadio1, ControlKind::RadioButton, "msec", {12, 50, 40, 10}, style::kGroup},
        {kRadio2, ControlKind::RadioButton, "feet", {55, 50, 40, 10}},
        {kSwatch, ControlKind::OwnerDrawButton, "", {68, 16, 34, 18}},
        {kText, ControlKind::Static, "Devices found:", {120, 8, 70, 10}},
        {kPicture, ControlKind::Picture, "", {290, 5, 24, 24}, style::kNone, kIcon},
        {kLine, ControlKind::Line, "", {120, 22, 160, 1}},
        {kEdit, ControlKind::Edit, "Lobby", {120, 28, 80, 12}},
        {kPassword, ControlKind::Edit, "1234", {205, 28, 60, 12}, style::kPassword},
        {kLog, ControlKind::Edit, "", {120, 44, 200, 36}, style::kMultiLine | style::kReadOnly},
        {kCombo, ControlKind::ComboBox, "", {5, 86, 105, 60}, style::kDropDownList},
        {kList, ControlKind::ListBox, "", {5, 102, 105, 44}},
        {kIcons, ControlKind::ListView, "", {120, 86, 95, 60}, style::kSingleSelection},
        {kReport,
         ControlKind::ListView,
         "",
         {220, 86, 100, 60},
         style::kReport | style::kSingleSelection},
        {kTree, ControlKind::TreeView, "", {5, 152, 105, 70}},
        {kTrack, ControlKind::Trackbar, "", {120, 152, 120, 18}, style::kAutoTicks},
        {kVTrack,
         ControlKind::Trackbar,
         "",
         {300, 152, 20, 70},
         style::kVertical | style::kAutoTicks},
        {kSpin, ControlKind::UpDown, "", {245, 152, 10, 18}},
        {kProgress, ControlKind::ProgressBar, "", {120, 178, 170, 10}},
        {kIdOk, ControlKind::PushButton, "OK", {200, 228, 50, 14}},
        {kIdCancel, ControlKind::PushButton, "Cancel", {260, 228, 50, 14}}}});
}

// A colour swatch with a sunken two-pixel bevel, as the custom buttons draw theirs.
class Swatch : public OwnerDrawButton {
 public:
  using OwnerDrawButton::OwnerDrawButton;

 protected:
  void DrawEntire(Dc& dc, const DrawItemState&) override {
    const Rect r = ClientRect();
    dc.FillRect(r, kYellow);
    const Color shadow = SystemColorOf(SystemColor::ButtonShadow);
    const Color light = SystemColorOf(SystemColor::ButtonHighlight);
    dc.FillRect({0, 0, r.right, 2}, shadow);
    dc.FillRect({0, 0, 2, r.bottom}, shadow);
    dc.FillRect({0, r.bottom - 2, r.right, r.bottom}, light);
    dc.FillRect({r.right - 2, 0, r.right, r.bottom}, light);
  }
};

class Gallery : public Dialog {
 public:
  Gallery() : Dialog(nullptr, kGallery), swatch(this, kSwatch), icons(16, 16) {
    icons.Add(IconImage(Qt::red));
    icons.Add(IconImage(Qt::green));
  }
  void SetupWindow() override {
    Get<CheckBox>(kCheck).SetCheck(true);
    Get<RadioButton>(kRadio1).SetCheck(true);
    auto& log = Get<Edit>(kLog);
    log.AppendLine("-> 5A 01 00 2E 89");
    log.AppendLine("<- 5A 01 02 2E 00 40 CB");
    auto& combo = Get<ComboBox>(kCombo);
    for (const char* s : {"Butterworth", "Bessel", "Linkwitz-Riley"}) combo.AddString(s);
    combo.SetSelection(2);
    auto& list = Get<ListBox>(kList);
    for (const char* s : {"COM1", "COM3", "USB - COM5"}) list.AddString(s);
    list.SetSelection(1);
    auto& iconsView = Get<ListView>(kIcons);
    iconsView.SetImageList(&icons);
    iconsView.InsertItem(0, "8148 Lobby", 0);
    iconsView.InsertItem(1, "Report", 1);
    iconsView.SelectItem(0);
    auto& report = Get<ListView>(kReport);
    report.SetImageList(&icons);
    report.AddColumn("Filter", 95);
    report.AddColumn("Hz", 45);
    for (int i = 0; i < 3; ++i) {
      report.InsertItem(i, i == 0 ? "Parametric" : i == 1 ? "Low shelf" : "High pass", i % 2);
      report.SetItemText(i, 1, std::to_string(100 * (i + 1)));
    }
    auto& tree = Get<TreeView>(kTree);
    tree.SetImageList(&icons);
    const TreeItem inputs = tree.InsertItem({}, "Inputs", 0);
    tree.InsertItem(inputs, "Input 1", 1);
    tree.InsertItem(inputs, "Input 2", 1);
    tree.InsertItem({}, "Outputs", 0);
    tree.Expand(inputs);
    auto& track = Get<Trackbar>(kTrack);
    track.SetRange(0, 40);
    track.SetTickFrequency(5);
    track.SetPosition(30);
    auto& vtrack = Get<Trackbar>(kVTrack);
    vtrack.SetRange(0, 160);
    vtrack.SetTickFrequency(20);
    vtrack.SetPosition(40);
    auto& progress = Get<ProgressBar>(kProgress);
    progress.SetRange(0, 100);
    progress.SetValue(60);
  }
  template <typename C>
  C& Get(int id) {
    return static_cast<C&>(*ControlById(id));
  }
  Swatch swatch;
  ImageList icons;
};

TEST(Gallery, EveryKindOfControlFromOneTemplateIsSavedAsAPicture) {
  RegisterGallery();
  Gallery g;
  g.Create();
  g.Show();
  test::PumpMessages();
  const std::string path = testing_support::OutputPath("gallery_controls.png");
  ASSERT_TRUE(test::GrabPng(g, path));
  const QImage saved(QString::fromStdString(path));
  ASSERT_FALSE(saved.isNull());
  EXPECT_EQ(saved.size(), g.Widget()->size());
  // The swatch's bevel: shadow on the top-left edges, highlight on the bottom-right ones.
  const Rect swatch = g.swatch.ClientRect();
  EXPECT_EQ(test::SamplePixel(g.swatch, {1, 1}), SystemColorOf(SystemColor::ButtonShadow));
  EXPECT_EQ(test::SamplePixel(g.swatch, {swatch.right - 1, swatch.bottom - 1}),
            SystemColorOf(SystemColor::ButtonHighlight));
  EXPECT_EQ(test::SamplePixel(g.swatch, {swatch.right / 2, swatch.bottom / 2}), kYellow);
  for (const ControlTemplate& t : g.Template().controls) {
    const Control* c = g.ControlById(t.id);
    ASSERT_NE(c, nullptr) << t.id;
    EXPECT_TRUE(c->IsVisible()) << t.id;
  }
}

}  // namespace
}  // namespace ui
