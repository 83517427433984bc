#include "familyov/channels/TMixerWindow.h"

#include "controls/DeviceErrorReport.h"
#include "familyov/channels/ChildPlacement.h"
#include "familyov/channels/ProcessingValues.h"
#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/ParameterTable.h"
#include "familyov/unit/TEditOVWindow.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/draw/Dc.h"
#include "resources/FamilyOvProcessingIds.h"

namespace namespaceOV {

namespace {

using namespace ovprocessing_res;

constexpr int kBox = 20;
constexpr int kPitch = 22;
constexpr int kMargin = 10;
constexpr int kNodeInset = 15;
constexpr int kNodeSpacingAllowance = 30;
constexpr float kOn = 0.0f;
constexpr float kOff = dBLevelObject::kFloorDb;
constexpr ui::Color kOutputNodeColor = ui::kWhite;

ui::Color ChannelColor(int channel) {
  const auto rgb = IQDeviceOrdavinex::GetChannelColor(channel);
  return rgb ? ui::Color{rgb->red, rgb->green, rgb->blue}
             : ui::SystemColorOf(ui::SystemColor::ButtonFace);
}

bool IsOn(IQDeviceOrdavinex& device, int element) {
  gCrosspointLevelObject.SetElement(element);
  return gCrosspointLevelObject.Read(device) > kOff;
}

}  // namespace

TMixerWindow::TMixerWindow(TEditOVWindow& editWindow)
    : OVChild<ui::DrawnWindow>(editWindow, "Mixing", nullptr) {
  PlaceAtWorkAreaCorner(*this, kWidth, kHeight);
  SetFixedSize(true);
  SetIcon(Device().GetModelBitmapId());
  SetBackground(ui::SystemColorOf(ui::SystemColor::ButtonFace));
}

TMixerWindow::~TMixerWindow() { Destroy(); }

std::size_t TMixerWindow::Crosspoint(int output, int input) {
  return static_cast<std::size_t>(output * Device().inputs + input);
}

ui::CheckBox& TMixerWindow::Box(int output, int input) {
  return *boxes_.at(Crosspoint(output, input));
}

void TMixerWindow::SetupWindow() {
  ui::DrawnWindow::SetupWindow();
  BuildGrid();
  PlaceNodes();
  RefreshChecks();
}

ui::StaticText& TMixerWindow::AddLabel(int channel, ui::Rect r) {
  auto label = std::make_unique<ui::StaticText>(this, 0);
  label->Bind(
      {0, ui::ControlKind::Static, Device().GetChannelLabel(channel), {}, ui::style::kCenter}, r);
  label->Create();
  labels_.push_back(std::move(label));
  return *labels_.back();
}

void TMixerWindow::BuildGrid() {
  const IQDeviceOrdavinex& device = Device();
  const int width = ClientRect().Width();
  const int gridWidth = (device.outputs + 1) * kPitch;
  const int gridHeight = (device.inputs + 1) * kPitch;
  const int left = width / 2 - gridWidth / 2;
  const int top = static_cast<int>((device.inputs * 0.5 + 1.0) * kBox) - gridHeight / 2;
  const auto cell = [&](int column, int row) {
    const int x = left + column * kPitch;
    const int y = top + row * kPitch;
    return ui::Rect{x, y, x + kBox, y + kBox};
  };
  for (int i = 0; i < device.inputs; ++i) AddLabel(i, cell(0, i + 1));
  for (int o = 0; o < device.outputs; ++o) AddLabel(device.firstOutput + o, cell(o + 1, 0));
  for (int o = 0; o < device.outputs; ++o) {
    for (int i = 0; i < device.inputs; ++i) {
      // Each box has its own id, so that its click names its crosspoint.
      const int id = kCrosspointBox + o * device.inputs + i;
      auto box = std::make_unique<ui::CheckBox>(this, id);
      box->Bind({id, ui::ControlKind::CheckBox, "", {}, ui::style::kNone}, cell(o + 1, i + 1));
      box->Create();
      OnCommand(id, [this, o, i] { CmCrosspoint(o, i); });
      boxes_.push_back(std::move(box));
    }
  }
}

void TMixerWindow::PlaceNodes() {
  const IQDeviceOrdavinex& device = Device();
  const ui::Rect client = ClientRect();
  diagram_ = {kMargin, (device.inputs + 1) * kPitch + kMargin, client.Width() - kMargin,
              client.Height() - kMargin};
  const int spacing =
      device.outputs > 0 ? (diagram_.Height() - kNodeSpacingAllowance) / device.outputs : 0;
  const int centreY = diagram_.top + diagram_.Height() / 2;
  nodes_.clear();
  const int firstInputY = centreY - ((device.inputs - 1) * spacing) / 2;
  for (int i = 0; i < device.inputs; ++i) {
    nodes_.push_back({diagram_.left + kNodeInset, firstInputY + i * spacing});
  }
  const int firstOutputY = centreY - ((device.outputs - 1) * spacing) / 2;
  for (int o = 0; o < device.outputs; ++o) {
    nodes_.push_back({diagram_.right - kNodeInset, firstOutputY + o * spacing});
  }
}

void TMixerWindow::RefreshChecks() {
  IQDeviceOrdavinex& device = Device();
  // A crosspoint the unit does not answer shows no state and draws no line.
  on_.assign(boxes_.size(), false);
  for (auto& box : boxes_) box->ShowNoState();
  GuardedUnitCall(device, [&] {
    for (int i = 0; i < device.inputs; ++i) {
      for (int o = 0; o < device.outputs; ++o) {
        const bool on = IsOn(device, CrosspointElement(o, i, device.matrixInputs));
        on_[Crosspoint(o, i)] = on;
        Box(o, i).SetCheck(on);
      }
    }
  });
}

void TMixerWindow::Paint(ui::Dc& dc) {
  dc.FillRect(diagram_, ui::SystemColorOf(ui::SystemColor::ButtonFace));
  const ui::Point bottomLeft{diagram_.left, diagram_.bottom - 1};
  const ui::Point topRight{diagram_.right - 1, diagram_.top};
  dc.SetPen(ui::Pen::Solid(ui::SystemColorOf(ui::SystemColor::ButtonShadow)));
  dc.MoveTo(bottomLeft);
  dc.LineTo({diagram_.left, diagram_.top});
  dc.LineTo(topRight);
  dc.SetPen(ui::Pen::Solid(ui::SystemColorOf(ui::SystemColor::ButtonHighlight)));
  dc.LineTo({diagram_.right - 1, diagram_.bottom - 1});
  dc.LineTo(bottomLeft);
  PaintConnections(dc);
}

void TMixerWindow::PaintConnections(ui::Dc& dc) {
  IQDeviceOrdavinex& device = Device();
  const auto input = [&](int i) { return nodes_.at(static_cast<std::size_t>(i)); };
  const auto output = [&](int o) { return nodes_.at(static_cast<std::size_t>(device.inputs + o)); };
  // Every possible line in the background colour first wipes the lines drawn before.
  dc.SetPen(ui::Pen::Solid(ui::SystemColorOf(ui::SystemColor::ButtonFace)));
  for (int i = 0; i < device.inputs; ++i) {
    for (int o = 0; o < device.outputs; ++o) {
      dc.MoveTo(input(i));
      dc.LineTo(output(o));
    }
  }
  for (int i = 0; i < device.inputs; ++i) {
    dc.SetPen(ui::Pen::Solid(ChannelColor(i)));
    for (int o = 0; o < device.outputs; ++o) {
      const std::size_t index = Crosspoint(o, i);
      if (index >= on_.size() || !on_[index]) continue;
      dc.MoveTo(input(i));
      dc.LineTo(output(o));
    }
  }
  const auto node = [&](ui::Point p, ui::Color color) {
    dc.SetPen(ui::Pen::Solid(color));
    dc.SetBrush(ui::Brush::Solid(color));
    dc.Rectangle({p.x - 2, p.y - 2, p.x + 3, p.y + 3});
  };
  for (int i = 0; i < device.inputs; ++i) node(input(i), ChannelColor(i));
  for (int o = 0; o < device.outputs; ++o) node(output(o), kOutputNodeColor);
}

void TMixerWindow::CmCrosspoint(int output, int input) {
  IQDeviceOrdavinex& device = Device();
  const bool on = Box(output, input).IsChecked();
  const auto redraw = [this] {
    if (auto client = DrawNow()) PaintConnections(client->dc());
  };
  ChangeOnUnit(device,
               [&] {
                 // A box clicked while it showed unknown may tick a crosspoint the unit has on
                 // already: its level stays as the unit holds it.
                 const int element = CrosspointElement(output, input, device.matrixInputs);
                 if (IsOn(device, element) == on) return;
                 gCrosspointLevelObject.SetElement(element);
                 gCrosspointLevelObject.Write(device, on ? kOn : kOff);
               },
               {.taken =
                    [&] {
                      on_[Crosspoint(output, input)] = on;
                      redraw();
                      NotifyRecord record{.code = CrosspointChanged};
                      NotifyRoot(&record);
                    },
                .showUnit =
                    [&] {
                      RefreshChecks();
                      redraw();
                    },
                .showUnknown =
                    [&] {
                      on_[Crosspoint(output, input)] = false;
                      Box(output, input).ShowNoState();
                      redraw();
                    }});
}

void TMixerWindow::Notify(NotifyRecord* record) {
  if (record->code == RefreshAll || record->code == CrosspointChanged) {
    RefreshChecks();
    Invalidate();
  }
  TDataWindow::Notify(record);
}

}  // namespace namespaceOV
