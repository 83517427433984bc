#include "familyov/channels/TMixerSummaryWindow.h"

#include "familyov/unit/OVGuard.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditOVWindow.h"

namespace namespaceOV {

namespace {

constexpr int kNodeInset = 15;
constexpr int kNodeHalf = 2;  // a node is a 5-pixel square round its point
const ui::Color kOutputNodeColor = ui::kWhite;

ui::Color InputColor(int input) {
  const auto rgb = IQDeviceOrdavinex::GetChannelColor(input);
  if (!rgb) return ui::SystemColorOf(ui::SystemColor::ButtonFace);
  return {rgb->red, rgb->green, rgb->blue};
}

std::vector<ui::Point> Column(int x, int centreY, int count, int rowHeight) {
  std::vector<ui::Point> nodes;
  const int top = centreY - ((count - 1) * rowHeight) / 2;
  for (int i = 0; i < count; ++i) nodes.push_back({x, top + i * rowHeight});
  return nodes;
}

void DrawNode(ui::Dc& dc, ui::Point p, ui::Color color) {
  dc.SetPen(ui::Pen::Solid(color));
  dc.SetBrush(ui::Brush::Solid(color));
  dc.Rectangle({p.x - kNodeHalf, p.y - kNodeHalf, p.x + kNodeHalf + 1, p.y + kNodeHalf + 1});
}

}  // namespace

MixerMapNodes PlaceMixerMapNodes(ui::Rect map, int inputs, int inputRowHeight, int outputs,
                                 int outputRowHeight) {
  const int centreY = (map.bottom - map.top) / 2 + map.top;
  return {Column(map.left + kNodeInset, centreY, inputs, inputRowHeight),
          Column(map.right - kNodeInset, centreY, outputs, outputRowHeight)};
}

TMixerSummaryWindow::TMixerSummaryWindow(ui::Window* parent, IQDeviceOrdavinex& device,
                                         TEditOVWindow& editWindow, int inputRowHeight,
                                         int outputRowHeight)
    : ui::DrawnWindow(parent),
      TDataWindow(parent),
      device_(device),
      editWindow_(editWindow),
      inputRowHeight_(inputRowHeight),
      outputRowHeight_(outputRowHeight) {
  SetRect({0, 0, kWidth, device.outputs * outputRowHeight});
  SetBackground(ui::SystemColorOf(ui::SystemColor::ButtonFace));
  OnMessage(ui::msg::kLButtonDown, [this](const ui::Message&) {
    editWindow_.OpenChildWindow(editWindow_.Ids().mixing);
    return ui::Param{0};
  });
}

void TMixerSummaryWindow::SetupWindow() {
  ui::DrawnWindow::SetupWindow();
  const ui::Rect client = ClientRect();
  nodes_ = PlaceMixerMapNodes(client, device_.inputs, inputRowHeight_, device_.outputs,
                              outputRowHeight_);
  ReadCrosspoints();
}

void TMixerSummaryWindow::ReadCrosspoints() {
  const int inputs = device_.inputs;
  on_.assign(static_cast<std::size_t>(inputs * device_.outputs), false);
  // What was read before a failure is drawn; the rest stays off.
  GuardedUnitCall(device_, [&] {
    for (int output = 0; output < device_.outputs; ++output) {
      for (int input = 0; input < inputs; ++input) {
        gCrosspointLevelObject.SetElement(output * device_.matrixInputs + input);
        on_[static_cast<std::size_t>(output * inputs + input)] =
            gCrosspointLevelObject.Read(device_) > dBLevelObject::kFloorDb;
      }
    }
  });
}

bool TMixerSummaryWindow::Feeds(int input, int output) const {
  if (input < 0 || input >= device_.inputs || output < 0 || output >= device_.outputs) {
    return false;
  }
  return on_.at(static_cast<std::size_t>(output * device_.inputs + input));
}

void TMixerSummaryWindow::Notify(NotifyRecord* record) {
  if (record->code == CrosspointChanged || record->code == RefreshAll) {
    ReadCrosspoints();
    Invalidate();
  }
  TDataWindow::Notify(record);
}

void TMixerSummaryWindow::Paint(ui::Dc& dc) {
  const ui::Rect r = ClientRect();
  dc.SetBrush(ui::Brush::Solid(ui::SystemColorOf(ui::SystemColor::ButtonFace)));
  dc.Rectangle(r);
  dc.SetPen(ui::Pen::Solid(ui::SystemColorOf(ui::SystemColor::ButtonHighlight)));
  dc.MoveTo({r.left, r.bottom});
  dc.LineTo({r.left, r.top});
  dc.LineTo({r.right, r.top});
  dc.SetPen(ui::Pen::Solid(ui::SystemColorOf(ui::SystemColor::ButtonShadow)));
  dc.LineTo({r.right, r.bottom});
  dc.LineTo({r.left, r.bottom});
  for (int input = 0; input < static_cast<int>(nodes_.inputs.size()); ++input) {
    dc.SetPen(ui::Pen::Solid(InputColor(input)));
    for (int output = 0; output < static_cast<int>(nodes_.outputs.size()); ++output) {
      if (!Feeds(input, output)) continue;
      dc.MoveTo(nodes_.inputs[static_cast<std::size_t>(input)]);
      dc.LineTo(nodes_.outputs[static_cast<std::size_t>(output)]);
    }
  }
  for (int input = 0; input < static_cast<int>(nodes_.inputs.size()); ++input) {
    DrawNode(dc, nodes_.inputs[static_cast<std::size_t>(input)], InputColor(input));
  }
  for (const ui::Point& p : nodes_.outputs) DrawNode(dc, p, kOutputNodeColor);
}

}  // namespace namespaceOV
