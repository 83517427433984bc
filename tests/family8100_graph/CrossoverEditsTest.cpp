// The crossover window's edits against a simulated X unit: alignments, slopes, typed and stepped
// frequencies with the link, and typed texts that hold no number.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/DeviceErrorReport.h"
#include "family8100/filters/CrossoverEdits.h"
#include "family8100/filters/TCrossoverGraph.h"
#include "family8100/filters/TCrossoverWindow.h"
#include "family8100/filters/TFilterBankEditor.h"
#include "family8100/unit/IQDevice8100.h"
#include "family8100/unit/TSigFlowDialog.h"
#include "platform/ui/Application.h"
#include "platform/ui/Resources.h"
#include "platform/ui/TestHooks.h"
#include "resources/Family8100CrossoverIds.h"
#include "resources/Family8100Ids.h"
#include "tests/family8100_unit/BankGraphPixel.h"
#include "tests/family8100_unit/OlderFamilyBus.h"

namespace namespace8100 {
namespace {

using sim::family8100::Model;

class CrossoverEditsTest : public testing::Test {
 protected:
  CrossoverEditsTest() {
    sim::family8100::AddFamily8100Unit(bus.bus, {.model = Model::kX, .address = 2});
    unit = testsupport8100::OnlyUnit(bus);
  }
  const TCrossoverFilter& Side(CrossoverSide side) const {
    return dynamic_cast<const TCrossoverFilter&>(*edits().Crossover(side));
  }
  CrossoverEdits edits() const { return CrossoverEdits(*unit); }

  testsupport8100::OlderFamilyBus bus;
  IQDevice8100* unit = nullptr;
};

// Where the crossover graph puts a crossover's icon at `f`: at its -3 dB point.
ui::Point CrossoverPixel(const TCrossoverGraph& graph, float f) {
  QImage scratch(1, 1, QImage::Format_RGB32);
  ui::Dc dc(scratch);
  familycommon::TFreqDC freq(dc, graph.ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
  const ui::Point up = freq.ValueToPoint({f, 0.707f}, false);
  return dc.Mapping().ToDevice({up.x, -up.y});
}

// The signal flow page with the left output's bank and the crossovers open, as the user opens them.
struct CrossoverPage {
  explicit CrossoverPage(IQDevice8100& unit) : signalFlow(nullptr, unit) {
    RegisterBankEditor();
    RegisterCrossoverEditor();
    signalFlow.Create();
    ui::test::Click(signalFlow, f8100res::kLeftOutputButton);
    ui::test::Click(signalFlow, f8100res::kLowCrossoverButton);
    ui::test::PumpMessages();
    bank = dynamic_cast<TFilterDecoratedFrame*>(signalFlow.Editor(EditorView::LeftOutput));
    crossovers = dynamic_cast<TCrossoverDecFrame*>(signalFlow.Editor(EditorView::Crossovers));
  }
  // Picks the low crossover's alignment from its list.
  void ChooseLowAlignment(int alignment) {
    auto* combo = static_cast<QComboBox*>(
        ui::test::ControlOf(crossovers->Window(), f8100res::kLowAlignment).Widget());
    combo->setCurrentIndex(alignment);
    emit combo->activated(alignment);
    ui::test::PumpMessages();
  }

  TSigFlowDialog signalFlow;
  TFilterDecoratedFrame* bank = nullptr;
  TCrossoverDecFrame* crossovers = nullptr;
};

TEST_F(CrossoverEditsTest, AlignmentsReplaceTheCrossoverAndSlopesStepByAlignment) {
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentBessel);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 1000);
  EXPECT_EQ(Side(CrossoverSide::High).order, 2);
  // A slope step asks the unit where the crossover now sits and takes the row's typed frequency.
  bus.TakeTrace();
  edits().StepOrder(CrossoverSide::High, -1, "2.2k");
  std::vector<std::string> stepped = bus.TakeTrace();
  std::erase(stepped, "R06");  // the unit's ready poll before each write
  ASSERT_GE(stepped.size(), 2u);
  EXPECT_EQ(stepped[0].substr(0, 3), "W15");
  EXPECT_EQ(stepped[1], "R27");
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 2200);
  EXPECT_EQ(Side(CrossoverSide::High).order, 3);
  for (int expected : {4, 8, 8}) {
    edits().StepOrder(CrossoverSide::High, -1, "");
    EXPECT_EQ(Side(CrossoverSide::High).order, expected);
  }
  edits().StepOrder(CrossoverSide::High, 1, "");
  edits().StepOrder(CrossoverSide::High, 1, "");
  EXPECT_EQ(Side(CrossoverSide::High).order, 3);

  // Linkwitz-Riley keeps the frequency and takes the next even order.
  edits().ApplyTyped("", "2500");
  bus.TakeTrace();
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentLinkwitzRiley);
  const std::vector<std::string> trace = bus.TakeTrace();
  EXPECT_EQ(trace.front(), "R06");
  EXPECT_EQ(trace[1], "W0D 00");  // the outputs mute while the crossover is replaced
  EXPECT_EQ(trace.back(), "W0D 01");
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 2500);
  EXPECT_EQ(Side(CrossoverSide::High).order, 4);
  edits().StepOrder(CrossoverSide::High, 1, "");
  edits().StepOrder(CrossoverSide::High, 1, "");
  EXPECT_EQ(Side(CrossoverSide::High).order, 2);

  // A replacement that fails on the bus does not leave the outputs muted.
  bus.TakeTrace();
  bus.bus.AddFault(sim::Fault::ErrorObject(3).ForUnit(2).ForObject(0x14).ForOpcode(9).Times(1));
  EXPECT_THROW(edits().ChangeAlignment(CrossoverSide::High, kAlignmentBessel), IQException);
  EXPECT_EQ(bus.TakeTrace().back(), "W0D 01");

  unit->crossoverLink = true;
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentNone);
  EXPECT_EQ(unit->HighCrossover(), nullptr);
  EXPECT_FALSE(unit->crossoverLink);
}

TEST_F(CrossoverEditsTest, LinkedLowFollowsTheHighAtTheirRatioAndEmptyTextsWriteNothing) {
  edits().ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentButterworth);
  edits().ToggleLink("500", "2.0k");
  ASSERT_TRUE(unit->crossoverLink);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 500);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 2000);

  edits().ApplyTyped("500", "3000");
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3000);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 750);
  // The step button commits the following low crossover before the stepped high one.
  bus.TakeTrace();
  edits().StepFrequency(CrossoverSide::High, 3, 1);
  std::vector<std::string> typesWritten = bus.TakeTrace();
  std::erase_if(typesWritten, [](const std::string& line) { return !line.starts_with("W14"); });
  EXPECT_EQ(typesWritten, (std::vector<std::string>{"W14 08", "W14 09"}));
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3100);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 775);

  // The unit holds what the program shows.
  unit->ResetValueStore();
  unit->ReadAllParameters();
  EXPECT_EQ(unit->HighCrossover()->frequency, 3100);
  EXPECT_EQ(unit->LowCrossover()->frequency, 775);

  bus.TakeTrace();
  edits().ApplyTyped("", "abc");
  EXPECT_TRUE(bus.TakeTrace().empty());
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3100);
}

TEST_F(CrossoverEditsTest, DraggingTheLinkedHighCrossoverMovesTheLowOneAtTheirRatio) {
  edits().ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentButterworth);
  edits().ToggleLink("500", "1000");
  TCrossoverWindow window(*unit);
  window.SetRect({0, 0, 800, 600});
  window.Create();
  window.Show();
  ui::test::PumpMessages();
  TCrossoverGraph& graph = window.Graph();
  // Only the high crossover has a visible icon: the low one's would sit at 500 Hz.
  auto pixelOf = [&](float f) { return CrossoverPixel(graph, f); };
  ui::test::MouseDown(graph, pixelOf(500.0f));
  EXPECT_FALSE(graph.Dragging());
  ui::test::MouseUp(graph, pixelOf(500.0f));

  // Esc writes nothing; a mostly sideways drop writes both.
  const ui::Point from = pixelOf(1000.0f);
  const ui::Point to = pixelOf(2000.0f);
  ui::test::MouseDown(graph, from);
  ASSERT_TRUE(graph.Dragging());
  ui::test::MouseMove(graph, {to.x, to.y + 5});
  const std::string shown = ui::test::ControlOf(window.Dialog(), f8100res::kHighFrequency).Text();
  EXPECT_NEAR(std::stoi(shown), 2000, 30);
  ui::test::PressKey(graph, Qt::Key_Escape);
  EXPECT_FALSE(graph.Dragging());
  EXPECT_EQ(ui::Window::MouseCapture(), nullptr);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 1000);
  ui::test::MouseDown(graph, from);
  ui::test::MouseMove(graph, {to.x, to.y + 5});
  ui::test::MouseUp(graph, {to.x, to.y + 5});
  const int high = Side(CrossoverSide::High).frequency;
  EXPECT_NEAR(high, 2000, 30);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, high / 2);
  window.Destroy();
}

// The bypass command works on the crossover the graph has picked, and its item says what it would
// do: greyed with none picked.
TEST_F(CrossoverEditsTest, TheBypassCommandTogglesTheSelectedCrossover) {
  edits().ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentButterworth);
  edits().SetFrequency(CrossoverSide::Low, 300);
  edits().SetFrequency(CrossoverSide::High, 3000);
  TCrossoverWindow window(*unit);
  window.SetRect({0, 0, 800, 600});
  window.Create();
  window.Show();
  ui::test::PumpMessages();
  TCrossoverGraph& graph = window.Graph();
  const struct {
    std::optional<float> clickAt;  // none: the selection stays
    bool enabled;
    const char* text;
    bool lowBypassed;
    bool highBypassed;
    const char* written;  // the unit's bypass write, if any
  } steps[] = {{20.0f, false, "Bypass filter", false, false, nullptr},
               {300.0f, true, "Bypass filter", true, false, "W28 01"},
               {std::nullopt, true, "Enable filter", false, false, "W28 00"},
               {3000.0f, true, "Bypass filter", false, true, "W28 01"}};
  auto* app = ui::Application::Instance();
  for (const auto& step : steps) {
    SCOPED_TRACE(step.clickAt.value_or(0.0f));
    if (step.clickAt) {
      // A drop shows the crossovers afresh, unselected: Esc ends the press with the pick kept.
      ui::test::MouseDown(graph, CrossoverPixel(graph, *step.clickAt));
      ui::test::PressKey(graph, Qt::Key_Escape);
      ui::test::PumpMessages();
    }
    bus.TakeTrace();
    const ui::CommandState state = app->QueryCommand(TCrossoverGraph::kCmBypass, &graph);
    EXPECT_EQ(state.enabled, step.enabled);
    EXPECT_EQ(state.text, step.text);
    app->RouteCommand(TCrossoverGraph::kCmBypass, &graph);
    ui::test::PumpMessages();
    EXPECT_EQ(Side(CrossoverSide::Low).bypass, step.lowBypassed);
    EXPECT_EQ(Side(CrossoverSide::High).bypass, step.highBypassed);
    const std::vector<std::string> trace = bus.TakeTrace();
    if (step.written) {
      EXPECT_EQ(std::ranges::count(trace, step.written), 1) << testing::PrintToString(trace);
    } else {
      EXPECT_TRUE(trace.empty()) << testing::PrintToString(trace);
    }
  }
  window.Destroy();
}

TEST_F(CrossoverEditsTest, AChangedCrossoverReachesTheOutputBanksGraphThroughTheSignalFlowPage) {
  CrossoverPage page(*unit);
  ASSERT_NE(page.bank, nullptr);
  ASSERT_NE(page.crossovers, nullptr);
  // The left output's graph sums the low crossover: it must never keep one the unit let go.
  const GraphIcons8100& icons = page.bank->Editor().Graph()->Icons();
  page.ChooseLowAlignment(kAlignmentButterworth);
  ASSERT_EQ(icons.All().size(), 1u);
  EXPECT_EQ(&icons.All()[0]->Filter(), unit->LowCrossover());
  page.ChooseLowAlignment(kAlignmentNone);
  EXPECT_TRUE(icons.All().empty());
  EXPECT_TRUE(icons.BankTrace().empty());
}

TEST_F(CrossoverEditsTest, AnAlignmentChangeThatStopsAtAnyStepLeavesTheCrossoversAsTheUnitHasThem) {
  CrossoverPage page(*unit);
  ASSERT_NE(page.bank, nullptr);
  ASSERT_NE(page.crossovers, nullptr);
  // Behind the error box both graphs stand only for crossovers the unit has, and repaint.
  TFrequencyGraph& bankGraph = *page.bank->Editor().Graph();
  TCrossoverGraph& crossoverGraph = page.crossovers->Window().Graph();
  const auto standForTheUnitsCrossovers = [&](const GraphIcons8100& icons) {
    const std::array<const TFilter*, 2> held{unit->LowCrossover(), unit->HighCrossover()};
    return std::ranges::all_of(icons.All(), [&](const auto& icon) {
      return std::ranges::any_of(held, [&](const TFilter* c) { return c && icon->Shows(c); });
    });
  };
  int reports = 0;
  bool consistentWhenReported = false;
  controls::SetDeviceErrorReporter([&](const IQException&, IQDevice*, int) {
    ++reports;
    consistentWhenReported = standForTheUnitsCrossovers(bankGraph.Icons()) &&
                             standForTheUnitsCrossovers(crossoverGraph.Icons());
    for (ui::DrawnWindow* graph :
         std::initializer_list<ui::DrawnWindow*>{&bankGraph, &crossoverGraph}) {
      graph->Invalidate();
      ui::test::SamplePixel(*graph, {0, 0});
    }
  });
  const auto changeToBessel = [&] { page.ChooseLowAlignment(kAlignmentBessel); };
  const auto prepare = [&] {
    edits().ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
    page.crossovers->Window().Dialog().Changed();
    ui::test::PumpMessages();
    bus.TakeTrace();
  };
  prepare();
  changeToBessel();
  ASSERT_EQ(Side(CrossoverSide::Low).alignment, kAlignmentBessel);
  // The change ends with its last write; the windows' reads of what it left follow.
  const std::vector<std::string> trace = bus.TakeTrace();
  const auto lastWrite = std::ranges::find_if(trace.rbegin(), trace.rend(),
                                              [](const std::string& t) { return t[0] == 'W'; });
  const int steps = static_cast<int>(trace.rend() - lastWrite);
  ASSERT_GT(steps, 4);
  const GraphIcons8100& icons = page.bank->Editor().Graph()->Icons();
  for (int failing = 1; failing <= steps; ++failing) {
    SCOPED_TRACE(failing);
    prepare();
    bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
    reports = 0;
    consistentWhenReported = false;
    changeToBessel();
    bus.bus.ClearFaults();
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(consistentWhenReported);
    for (const auto& icon : icons.All()) EXPECT_EQ(&icon->Filter(), unit->LowCrossover());
    const std::vector<std::string> program = testsupport8100::Described(*unit);
    unit->ReadAllParameters();
    EXPECT_EQ(program, testsupport8100::Described(*unit));
  }
  controls::SetDeviceErrorReporter(nullptr);
}

// The unit may carry out a write it refuses: whichever request of a step or a drop it refuses,
// one error shows and the program's crossovers and bank filters are what a fresh read finds.
TEST_F(CrossoverEditsTest, AStepOrADropRefusedAtAnyStepLeavesTheFiltersAsTheUnitHoldsThem) {
  TCrossoverWindow window(*unit);
  window.SetRect({0, 0, 800, 600});
  window.Create();
  window.Show();
  TFrequencyGraph bankGraph(*unit, kRightInputBank, nullptr);
  bankGraph.SetRect({0, 0, 800, 400});
  bankGraph.Create();
  bankGraph.Show();
  int reports = 0;
  controls::SetDeviceErrorReporter([&](const IQException&, IQDevice*, int) { ++reports; });

  // Both crossovers unlinked at 500 Hz and 2 kHz, and a peak at 1 kHz in the bank.
  const auto prepare = [&] {
    unit->RemoveFilters();
    unit->crossoverLink = false;
    edits().ChangeAlignment(CrossoverSide::Low, kAlignmentButterworth);
    edits().ChangeAlignment(CrossoverSide::High, kAlignmentButterworth);
    edits().SetFrequency(CrossoverSide::Low, 500);
    edits().SetFrequency(CrossoverSide::High, 2000);
    auto peak = std::make_unique<TParametricFilter>();
    peak->bank = kRightInputBank;
    peak->frequency = 1000;
    peak->level = 0.0f;
    peak->q = 1.4f;
    TFilter& placed = unit->PlaceFilter(std::move(peak));
    placed.WriteToUnit(*unit);
    placed.SetUnitFlag(*unit);
    window.Dialog().Changed();
    bankGraph.EvReloadAll();  // on its own the graph has no hub to tell it
    ui::test::PumpMessages();
  };
  const auto refuseEachStep = [&](const std::function<void()>& operation) {
    prepare();
    bus.TakeTrace();
    operation();
    // The operation ends with its last write; the windows' reads of what it left follow.
    const std::vector<std::string> trace = bus.TakeTrace();
    const auto lastWrite = std::ranges::find_if(trace.rbegin(), trace.rend(),
                                                [](const std::string& t) { return t[0] == 'W'; });
    const int steps = static_cast<int>(trace.rend() - lastWrite);
    ASSERT_GE(steps, 2);
    for (int failing = 1; failing <= steps; ++failing) {
      SCOPED_TRACE(failing);
      prepare();
      bus.bus.AddFault(sim::Fault::ErrorObject(7).OnOccurrence(failing));
      reports = 0;
      operation();
      bus.bus.ClearFaults();
      EXPECT_EQ(reports, 1);
      const std::vector<std::string> program = testsupport8100::Described(*unit);
      unit->ReadAllParameters();
      ui::test::PumpMessages();
      EXPECT_EQ(program, testsupport8100::Described(*unit));
    }
  };

  {
    SCOPED_TRACE("order step");
    refuseEachStep([&] {
      dynamic_cast<ui::UpDown&>(ui::test::ControlOf(window.Dialog(), f8100res::kHighOrder))
          .Step(-1);
      ui::test::PumpMessages();
    });
  }
  {
    SCOPED_TRACE("frequency step");
    refuseEachStep([&] {
      ui::Window& quad = ui::test::ControlOf(window.Dialog(), f8100res::kHighQuad);
      const ui::Point upperRight{quad.ClientRect().right * 3 / 4, quad.ClientRect().bottom / 4};
      ui::test::MouseDown(quad, upperRight);
      ui::test::MouseUp(quad, upperRight);
      ui::test::PumpMessages();
    });
  }
  {
    SCOPED_TRACE("typed frequency");
    refuseEachStep([&] {
      ui::Window& highEdit = ui::test::ControlOf(window.Dialog(), f8100res::kHighFrequency);
      highEdit.SetText("3000");
      ui::test::PressKey(highEdit, Qt::Key_Return);
      ui::test::PumpMessages();
    });
  }
  {
    SCOPED_TRACE("link");
    refuseEachStep([&] {
      ui::test::ControlOf(window.Dialog(), f8100res::kLowFrequency).SetText("700");
      ui::test::Click(window.Dialog(), f8100res::kCrossoverLink);
      ui::test::PumpMessages();
    });
  }
  {
    SCOPED_TRACE("crossover drop");
    TCrossoverGraph& graph = window.Graph();
    const auto pixelOf = [&](float f) {
      QImage scratch(1, 1, QImage::Format_RGB32);
      ui::Dc dc(scratch);
      familycommon::TFreqDC freq(dc, graph.ClientRect(), 20.0f, 24000.0f, -80.0f, 20.0f, false);
      const ui::Point up = freq.ValueToPoint({f, 0.707f}, false);
      return dc.Mapping().ToDevice({up.x, -up.y});
    };
    refuseEachStep([&] {
      const ui::Point to = pixelOf(4000.0f);
      ui::test::MouseDown(graph, pixelOf(2000.0f));
      ASSERT_TRUE(graph.Dragging());
      ui::test::MouseMove(graph, to);
      ui::test::MouseUp(graph, to);
      ui::test::PumpMessages();
    });
  }
  {
    SCOPED_TRACE("bank drop");
    refuseEachStep([&] {
      const ui::Point at = testsupport8100::BankGraphPixel(bankGraph, *unit, {1000.0f, 1.0f});
      const ui::Point to{at.x + 60, at.y - 4};
      const ui::Point further{at.x + 90, at.y - 4};
      ui::test::MouseDown(bankGraph, at);
      ui::test::MouseUp(bankGraph, at);
      ui::test::PumpMessages();
      // The press selects the filter's slot on the unit: refused, no drag starts.
      ui::test::MouseDown(bankGraph, at);
      ui::test::MouseMove(bankGraph, to);
      ui::test::PumpMessages();
      // Let go before the last step's live write: only the drop takes the unit there.
      ui::test::MouseMove(bankGraph, further);
      ui::test::MouseUp(bankGraph, further);
      ui::test::PumpMessages();
    });
  }
  controls::SetDeviceErrorReporter(nullptr);
  bankGraph.Destroy();
  window.Destroy();
}

TEST_F(CrossoverEditsTest, AnOpenWindowFollowsCrossoversReplacedOrRemovedElsewhere) {
  edits().ChangeAlignment(CrossoverSide::Low, kAlignmentBessel);
  edits().SetFrequency(CrossoverSide::Low, 1500);
  TCrossoverWindow window(*unit);
  window.Create();
  const GraphIcons8100& icons = window.Graph().Icons();
  ui::Window& lowEdit = ui::test::ControlOf(window, f8100res::kLowFrequency);
  auto* lowAlignment =
      static_cast<QComboBox*>(ui::test::ControlOf(window, f8100res::kLowAlignment).Widget());

  // A read of the unit, as a recall or a save makes, holds new crossover objects.
  unit->ReadAllParameters();
  ui::test::PumpMessages();
  ASSERT_NE(unit->LowCrossover(), nullptr);
  ASSERT_EQ(icons.All().size(), 1u);
  EXPECT_EQ(&icons.All()[0]->Filter(), unit->LowCrossover());
  EXPECT_EQ(lowEdit.Text(), "1500");
  EXPECT_EQ(unit->LowCrossover()->frequencyField, &lowEdit);
  window.Graph().Invalidate();
  ui::test::PumpMessages();

  unit->RemoveFilters();
  ui::test::PumpMessages();
  EXPECT_TRUE(icons.All().empty());
  EXPECT_EQ(lowAlignment->currentIndex(), kAlignmentNone);
  EXPECT_EQ(lowEdit.Text(), "");
  window.Destroy();
}

TEST_F(CrossoverEditsTest, TheStripFitsTheWindowAtItsFirstSize) {
  const ui::Rect first = unit->editorPlaces[kCrossoverView].rect;
  EXPECT_EQ(first, (ui::Rect{10, 10, 560, 400}));
  TCrossoverWindow window(*unit);
  window.SetRect({0, 0, first.Width() - 20, first.Height() - 30});
  window.Create();
  ui::test::PumpMessages();
  const ui::Dialog& strip = window.Dialog();
  const ui::DialogTemplate* layout = ui::Resources::Dialog(strip.ResourceId());
  ASSERT_NE(layout, nullptr);
  EXPECT_LE(strip.Units().ToPixels(layout->box).right, strip.ClientRect().right);
  window.Destroy();
}

TEST_F(CrossoverEditsTest, TheSignalFlowPageOpensTheWindowWhoseEnterAppliesTypedFrequencies) {
  edits().ChangeAlignment(CrossoverSide::Low, kAlignmentLinkwitzRiley);
  edits().ChangeAlignment(CrossoverSide::High, kAlignmentLinkwitzRiley);
  edits().ToggleLink("500", "2000");
  RegisterCrossoverEditor();
  ui::Window owner(nullptr);
  owner.Create();
  auto frame = MakeEditor({*unit, owner, EditorView::Crossovers, "Crossovers - 2"});
  ASSERT_NE(frame, nullptr);
  frame->Create();
  frame->Show();
  ui::test::PumpMessages();
  auto& window = dynamic_cast<TCrossoverDecFrame&>(*frame).Window();
  ui::Window& lowEdit = ui::test::ControlOf(window, f8100res::kLowFrequency);
  EXPECT_FALSE(lowEdit.IsEnabled());
  EXPECT_EQ(lowEdit.Text(), "500");
  // The window wears the model's icon, and its rows their pictures.
  EXPECT_FALSE(frame->Widget()->windowIcon().isNull());
  EXPECT_FALSE(ui::Resources::Image(f8100res::kLowCrossoverPicture).isNull());
  EXPECT_FALSE(ui::Resources::Image(f8100res::kHighCrossoverPicture).isNull());

  // While linked the left row's step button moves nothing: the ratio holds.
  ui::Window& lowQuad = ui::test::ControlOf(window, f8100res::kLowQuad);
  const ui::Point upperRight{lowQuad.ClientRect().right * 3 / 4, lowQuad.ClientRect().bottom / 4};
  ui::test::MouseDown(lowQuad, upperRight);
  ui::test::MouseUp(lowQuad, upperRight);
  ui::test::PumpMessages();
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 500);
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 2000);
  // The link lamp is lit while linked and dark once unlinked.
  ui::Window& link = ui::test::ControlOf(window, f8100res::kCrossoverLink);
  const ui::Point lampCentre{link.ClientRect().right / 2, link.ClientRect().bottom / 2};
  const ui::Color lit = ui::test::SamplePixel(link, lampCentre);
  ui::test::Click(window, f8100res::kCrossoverLink);
  ui::test::PumpMessages();
  EXPECT_NE(ui::test::SamplePixel(link, lampCentre), lit);
  ui::test::Click(window, f8100res::kCrossoverLink);
  ui::test::PumpMessages();
  ASSERT_TRUE(unit->crossoverLink);

  ui::Window& highEdit = ui::test::ControlOf(window, f8100res::kHighFrequency);
  highEdit.SetText("");
  ui::test::Type(window, f8100res::kHighFrequency, "3000");
  ui::test::PressKey(highEdit, Qt::Key_Return);
  ui::test::PumpMessages();
  EXPECT_EQ(Side(CrossoverSide::High).frequency, 3000);
  EXPECT_EQ(Side(CrossoverSide::Low).frequency, 750);
  EXPECT_EQ(lowEdit.Text(), "750");
  EXPECT_EQ(ui::test::ControlOf(window, f8100res::kHighSlope).Text(), "-12");
  EXPECT_TRUE(frame->IsCreated());

  bool closed = false;
  owner.OnMessage(kEditorClosed, [&closed](const ui::Message& m) {
    closed = m.lParam == static_cast<ui::Param>(EditorView::Crossovers);
    return 0;
  });
  frame->CloseWindow(ui::kIdCancel);
  ui::test::PumpMessages();
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace namespace8100
