// The filter parameter dialogs against a unit on the simulated bus: what each entry, button and
// slider writes, and what the dialogs leave in the filters they show.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "familyov/filters/CrossoverChanges.h"
#include "familyov/filters/CrossoverRules.h"
#include "familyov/filters/FilterDialogs.h"
#include "familyov/filters/FilterElements.h"
#include "familyov/filters/FilterResponse.h"
#include "familyov/filters/TCrossoverDialog.h"
#include "familyov/filters/TFilterDialog.h"
#include "familyov/unit/OVNotifyCodes.h"
#include "familyov/unit/TEditModelWindows.h"
#include "platform/registry/Store.h"
#include "platform/ui/Button.h"
#include "platform/ui/Static.h"
#include "platform/ui/TestHooks.h"
#include "platform/ui/Trackbar.h"
#include "platform/ui/Window.h"
#include "resources/FamilyOvCrossoverIds.h"
#include "resources/FamilyOvFilterDialogIds.h"
#include "sim/Fault.h"
#include "sim/familyov/ObjectTable.h"
#include "tests/familyov_filterdialogs/DialogTestSupport.h"
#include "tests/support/PollsResumed.h"

namespace namespaceOV {
namespace {

using namespace ovfilterdlg_res;
using dialogtest::SpinQuad;
using dialogtest::Trace;
using testing::ElementsAre;
using testing::FloatNear;

std::string Frequency(int hz) {
  char text[24];
  std::snprintf(text, sizeof text, "W13.0 %08X", static_cast<unsigned>(hz));
  return text;
}

std::string TextOf(ui::Window& dialog, int id) { return ui::test::ControlOf(dialog, id).Text(); }

void TypeAndEnter(ui::Window& dialog, int id, const std::string& text) {
  ui::test::Type(dialog, id, text);
  ui::test::PressKey(ui::test::ControlOf(dialog, id), Qt::Key_Return);
}

TEST(FilterEntryTest, TextsWithoutANumberKeepTheValueAndStepsDoNotOverflow) {
  EXPECT_EQ(ParseFrequencyText("1234.9", 20, 20000, 100), 1234);
  for (const char* unreadable : {"", "k", ".", "-"}) {
    EXPECT_EQ(ParseFrequencyText(unreadable, 20, 20000, 440), 440) << unreadable;
  }
  EXPECT_FLOAT_EQ(ParseRatioText("/2", 0.1f, 100.0f, 1.0f), 0.1f);  // the numerator's low limit
  EXPECT_FLOAT_EQ(ParseRatioText("500", 0.1f, 100.0f, 1.0f), 100.0f);
  EXPECT_FLOAT_EQ(ParseRatioText("", 0.1f, 100.0f, 2.5f), 2.5f);
  // A held button multiplies the frequency step, even after seconds.
  EXPECT_EQ(FrequencyStep(1, 500, 3), -3);
  EXPECT_EQ(FrequencyStep(3, 15000, TQuadButton::kMaxStep), 1000LL * TQuadButton::kMaxStep);
}

struct FilterDialogTest : dialogtest::UnitTest {
  template <typename Filter>
  std::unique_ptr<TFilterDialog> Show(Filter& filter) {
    auto dialog = CreateFilterDialog(filter.typeCode, unit, &host);
    dialog->Create();
    dialog->SetFilter(&filter);
    host.records.clear();
    return dialog;
  }
  // The parameter update of a parametric filter at level 0 and Q 8.7.
  Trace FlatParametricUpdate(const TFilter& filter, int hz) {
    return {Select(filter), Frequency(hz), "W13.2 00000000", "W13.1 00000057", "W14 01"};
  }
};

TEST_F(FilterDialogTest, EnterAppliesTheParametricEntriesAndEscapeRevertsThem) {
  auto& filter = Add<TParametricFilter>(0, 1000);
  auto dialog = Show(filter);
  EXPECT_EQ(TextOf(*dialog, kFrequencyEdit), "1000");
  EXPECT_EQ(TextOf(*dialog, kQEdit), "8.7");
  EXPECT_EQ(TextOf(*dialog, kBandwidthEdit), "0.166");

  TypeAndEnter(*dialog, kFrequencyEdit, "2.5k");
  EXPECT_EQ(Transfers(), FlatParametricUpdate(filter, 2500));
  EXPECT_EQ(TextOf(*dialog, kFrequencyEdit), "2500");
  EXPECT_THAT(host.records, ElementsAre(std::pair(uint32_t{FilterChanged}, (void*)&filter)));
  TypeAndEnter(*dialog, kFrequencyEdit, "25000");
  EXPECT_EQ(filter.frequency, 20000);
  TypeAndEnter(*dialog, kFrequencyEdit, "5");
  EXPECT_EQ(filter.frequency, 20);
  Transfers();

  ui::test::Type(*dialog, kFrequencyEdit, "1234");
  ui::test::Type(*dialog, kLevelEdit, "-3");
  ui::test::PressKey(ui::test::ControlOf(*dialog, kFrequencyEdit), Qt::Key_Escape);
  EXPECT_EQ(TextOf(*dialog, kFrequencyEdit), "20");
  EXPECT_EQ(TextOf(*dialog, kLevelEdit), "0.0");
  EXPECT_TRUE(Transfers().empty());

  // A bandwidth typed as a fraction becomes the Q; the texts agree once both are shown again.
  host.Show();
  host.Widget()->activateWindow();  // focus changes are told only in the active window
  ui::test::PumpMessages();
  ui::test::ControlOf(*dialog, kBandwidthEdit).SetFocus();
  TypeAndEnter(*dialog, kBandwidthEdit, "1/3");
  EXPECT_THAT(filter.q, FloatNear(BandwidthToQ(1.0f / 3.0f), 1e-5f));
  EXPECT_EQ(TextOf(*dialog, kQEdit), "4.3");
  EXPECT_EQ(TextOf(*dialog, kBandwidthEdit), "0.333");
  EXPECT_EQ(Transfers().at(3), "W13.1 0000002B");
  ui::test::Type(*dialog, kBandwidthEdit, "1/0");
  ui::test::ControlOf(*dialog, kQEdit).SetFocus();  // the bandwidth edit loses the focus
  ui::test::PumpMessages();
  EXPECT_FLOAT_EQ(filter.q, BandwidthToQ(TParametricDialog::kMaxBandwidth));
  EXPECT_TRUE(Transfers().empty());  // only Enter writes
  EXPECT_TRUE(ovtest::ReportedErrors().empty());
}

TEST_F(FilterDialogTest, QuadButtonsSliderAndInvertWriteAtOnce) {
  auto& filter = Add<TParametricFilter>(1, 1000);
  auto dialog = Show(filter);
  const auto stepFrom = [&](int hz, int zone) {
    filter.frequency = hz;
    dialog->ShowFilter();
    SpinQuad(*dialog, kFrequencyQuad, zone);
    return filter.frequency;
  };
  EXPECT_EQ(stepFrom(1000, 0), 990);
  EXPECT_EQ(Transfers(), FlatParametricUpdate(filter, 990));
  EXPECT_EQ(stepFrom(1000, 3), 1100);
  EXPECT_EQ(stepFrom(10000, 0), 9900);
  EXPECT_EQ(stepFrom(10000, 3), 11000);
  EXPECT_EQ(stepFrom(20, 0), 20);
  EXPECT_EQ(stepFrom(19990, 3), 20000);
  EXPECT_EQ(TextOf(*dialog, kFrequencyEdit), "20000");

  SpinQuad(*dialog, kLevelQuad, 3);
  SpinQuad(*dialog, kLevelQuad, 1);
  EXPECT_FLOAT_EQ(filter.level, 0.9f);
  EXPECT_EQ(TextOf(*dialog, kLevelEdit), "0.9");
  TypeAndEnter(*dialog, kLevelEdit, "-20");
  ui::test::Click(*dialog, kInvertButton);
  EXPECT_FLOAT_EQ(filter.level, 12.0f);
  Transfers();

  // Moving the slider shows the width it stands for; releasing it writes the Q.
  auto& slider = dynamic_cast<ui::Trackbar&>(ui::test::ControlOf(*dialog, kBandwidthSlider));
  slider.SetPosition(1);
  dialog->SendNotify({kBandwidthSlider, ui::Notify::Scroll, &slider, -1,
                      static_cast<ui::Param>(ui::ScrollCode::ThumbTrack)});
  EXPECT_EQ(TextOf(*dialog, kBandwidthEdit), "4.000");
  EXPECT_FLOAT_EQ(filter.q, 8.7f);
  EXPECT_TRUE(Transfers().empty());
  slider.SetPosition(12);
  dialog->SendNotify({kBandwidthSlider, ui::Notify::Scroll, &slider, -1,
                      static_cast<ui::Param>(ui::ScrollCode::EndScroll)});
  EXPECT_EQ(TextOf(*dialog, kQEdit), "4.3");
  EXPECT_EQ(Transfers().back(), "W14 01");
  EXPECT_EQ(host.records.size(), 11u);
}

// Dark blue pixels inside the dialog's picture: the type's response drawn there.
int PicturePixels(ui::Window& dialog) {
  for (ui::Window* child : dialog.Children()) {
    if (dynamic_cast<ui::Picture*>(child) == nullptr) continue;
    const ui::Rect r = child->WindowRect();
    int drawn = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) {
        const ui::Color c = ui::test::SamplePixel(dialog, {x, y});
        if (c.b > 100 && c.r < 80 && c.g < 80) ++drawn;
      }
    }
    return drawn;
  }
  return 0;
}

TEST_F(FilterDialogTest, EveryTypeShowsItsPictureAndTheBandwidthThumbStartsAtTheFiltersWidth) {
  std::vector<std::unique_ptr<TFilter>> filters;
  filters.push_back(std::make_unique<TParametricFilter>());
  filters.push_back(std::make_unique<TOctaveFilter>());
  filters.push_back(std::make_unique<TLowpassFilter>());
  filters.push_back(std::make_unique<THighpassFilter>());
  filters.push_back(std::make_unique<TLowshelfFilter>());
  filters.push_back(std::make_unique<THighshelfFilter>());
  filters.push_back(std::make_unique<TCDHornFilter>());
  filters.push_back(std::make_unique<TAllpassFilter>());
  const std::filesystem::path gallery = GALLERY_DIR;
  std::filesystem::create_directories(gallery);
  for (auto& filter : filters) {
    SCOPED_TRACE(filter->typeCode);
    // As the editor shows a filter: given first, then created.
    auto dialog = CreateFilterDialog(filter->typeCode, unit, &host);
    dialog->SetFilter(filter.get());
    dialog->Create();
    dialog->Show();
    ui::test::PumpMessages();
    EXPECT_GT(PicturePixels(*dialog), 10);
    if (filter->typeCode != kFilterParametric) continue;
    // A new filter is a sixth of an octave wide: the thumb stands at 4 / (1/6), not at 4 octaves.
    auto& slider = dynamic_cast<ui::Trackbar&>(ui::test::ControlOf(*dialog, kBandwidthSlider));
    EXPECT_EQ(slider.Position(), 24);
    EXPECT_TRUE(ui::test::GrabPng(*dialog, (gallery / "parametric-dialog.png").string()));
  }
}

TEST_F(FilterDialogTest, PeakShelfAndOrderDialogsKeepTheirRanges) {
  auto& octave = Add<TOctaveFilter>(0, 1250);
  auto boostCut = Show(octave);
  EXPECT_EQ(TextOf(*boostCut, kFrequencyText), "1250");
  TypeAndEnter(*boostCut, kLevelEdit, "-20");
  ui::test::Click(*boostCut, kInvertButton);
  EXPECT_FLOAT_EQ(octave.level, 12.0f);

  auto& shelf = Add<THighshelfFilter>(0, 8000);
  auto shelfDialog = Show(shelf);
  TypeAndEnter(*shelfDialog, kLevelEdit, "15");
  EXPECT_FLOAT_EQ(shelf.level, 12.0f);
  TypeAndEnter(*shelfDialog, kLevelEdit, "-15");
  EXPECT_FLOAT_EQ(shelf.level, -12.0f);
  EXPECT_EQ(TextOf(*shelfDialog, kLevelEdit), "-12.0");

  // A right click offers the shown values as the defaults of new filters of the type.
  registry::Store store;
  type.SetRegistryKey(store.Root());
  script.ChooseFromPopup(TFilterDialog::kCmSetAsDefault);
  ui::test::MouseDown(*shelfDialog, {2, 2}, true);
  ui::test::MouseUp(*shelfDialog, {2, 2}, true);
  THighshelfFilter fresh;
  unit.LoadFilterDefaults(fresh);
  EXPECT_EQ(fresh.frequency, 8000);
  EXPECT_FLOAT_EQ(fresh.level, -12.0f);

  auto& horn = Add<TCDHornFilter>(2, 3000);
  auto hornDialog = Show(horn);
  Transfers();
  ui::test::Click(*hornDialog, kSecondOrderRadio);
  EXPECT_THAT(Transfers(), ElementsAre(Select(horn), "W10 0B", "W0F 02", "W24 00", Frequency(3000),
                                       "W31 00", "W13.1 00000002", Select(horn), "W14 00"));
  EXPECT_EQ(horn.order, 2);
}

// A write of a filter whose answer was lost leaves its order radios showing none. Enter in the
// frequency field meanwhile writes the order the unit holds, read, with the frequency typed; a read
// that fails writes nothing and is told once.
TEST_F(FilterDialogTest, EnterBesideOrderRadiosShowingNoneKeepsTheOrderTheUnitHolds) {
  struct Row {
    const char* what;
    bool readsFail;
    std::size_t orderWrites;
  };
  for (const Row& row : {Row{"answering", false, 1}, Row{"reads fail", true, 0}}) {
    SCOPED_TRACE(row.what);
    auto& horn = Add<TCDHornFilter>(2, 3000);
    auto dialog = Show(horn);
    bus.bus.AddFault(sim::Fault::Silence()
                         .ForOpcode(sim::kOpcodeSet)
                         .ForObject(sim::familyov::object::kFilterParam));
    TypeAndEnter(*dialog, kFrequencyEdit, "2000");
    ASSERT_FALSE(
        dynamic_cast<ui::CheckBox&>(ui::test::ControlOf(*dialog, kFirstOrderRadio)).HasState());
    bus.bus.ClearFaults();
    if (row.readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    ovtest::ReportedErrors().clear();
    Transfers();
    TypeAndEnter(*dialog, kFrequencyEdit, "2500");
    const Trace trace = Transfers();
    EXPECT_EQ(std::ranges::count(trace, "W13.1 00000001"), row.orderWrites);
    EXPECT_EQ(std::ranges::count(trace, "W13.1 00000002"), 0);
    EXPECT_EQ(std::ranges::count(trace, Frequency(2500)), row.orderWrites);
    EXPECT_EQ(ovtest::ReportedErrors().size(), row.readsFail ? 1u : 0u);
    bus.bus.ClearFaults();
    unit.RemoveAllFilters();
  }
}

// A bandwidth dropped whose update the unit carried out without answering leaves the filter's
// values in doubt and the thumb at the Q last known. An arrow on the slider meanwhile, before any
// idle pass, steps from the Q the unit holds, read first; a read that fails writes nothing and is
// told once.
TEST_F(FilterDialogTest, AnArrowOnAQInDoubtStepsFromTheQTheUnitHolds) {
  struct Row {
    const char* what;
    bool readsFail;
    std::size_t qWrites;
  };
  for (const Row& row : {Row{"answering", false, 1}, Row{"reads fail", true, 0}}) {
    SCOPED_TRACE(row.what);
    auto dialog = Show(Add<TParametricFilter>(1, 1000));
    auto& slider = dynamic_cast<ui::Trackbar&>(ui::test::ControlOf(*dialog, kBandwidthSlider));
    const int known = slider.Position();
    bus.bus.AddFault(sim::Fault::Silence()
                         .ForOpcode(sim::kOpcodeSet)
                         .ForObject(sim::familyov::object::kFilterCommand));
    slider.SetPosition(12);
    dialog->SendNotify({kBandwidthSlider, ui::Notify::Scroll, &slider, -1,
                        static_cast<ui::Param>(ui::ScrollCode::EndScroll)});
    ASSERT_EQ(slider.Position(), known);
    ASSERT_EQ(TextOf(*dialog, kQEdit), "");
    bus.bus.ClearFaults();
    if (row.readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
    ovtest::ReportedErrors().clear();
    Transfers();
    ui::test::PressKey(slider, Qt::Key_Right);
    const Trace trace = Transfers();
    char stepped[24];
    std::snprintf(stepped, sizeof stepped, "W13.1 %08X",
                  static_cast<unsigned>(QToUnit(BandwidthToQ(4.0f / 13))));
    EXPECT_EQ(std::ranges::count(trace, std::string(stepped)), row.qWrites);
    // The selection is written to read the filter; no value is written but the step's.
    EXPECT_EQ(
        std::ranges::count_if(trace, [](const std::string& t) { return t.starts_with("W13"); }),
        row.readsFail ? 0 : 3);
    EXPECT_EQ(ovtest::ReportedErrors().size(), row.readsFail ? 1u : 0u);
    bus.bus.ClearFaults();
    unit.RemoveAllFilters();
  }
}

template <typename Filter>
std::unique_ptr<ui::Dialog> OpenFilter(FilterDialogTest& test) {
  const auto& filters = test.unit.Filters();
  return test.Show(filters.empty() ? test.Add<Filter>(0, 1000) : *filters.front());
}

// A value typed whose update the unit carried out without answering leaves every field of the
// filter unknown, and the program's copy at the value before. A step, an arrow, a turn-over or
// Enter meanwhile, before any idle pass, starts from the values the unit holds, read first, and
// from a value typed over a blank field; a read that fails writes nothing and is told once.
struct InDoubtStep {
  const char* what;
  std::unique_ptr<ui::Dialog> (*open)(FilterDialogTest&);
  int edit;
  const char* typed;
  void (*step)(ui::Window& dialog);
  // The field's text once the step is taken.
  const char* stepped;
  // Typed over the blank field before the step, and the field's text once the step is taken.
  const char* retyped;
  const char* steppedFromRetyped;
};

TEST_F(FilterDialogTest, AStepOnValuesInDoubtStartsFromTheValuesTheUnitHolds) {
  const auto arrow = [](ui::Window& dialog) {
    dynamic_cast<ui::UpDown&>(ui::test::ControlOf(dialog, kOrderUpDown)).Step(-1);
  };
  for (const InDoubtStep& row : {
           InDoubtStep{"ParametricFrequencyQuad", OpenFilter<TParametricFilter>, kFrequencyEdit,
                       "2000", [](ui::Window& d) { SpinQuad(d, kFrequencyQuad, 2); }, "2001",
                       "2500", "2501"},
           InDoubtStep{"ParametricInvert", OpenFilter<TParametricFilter>, kLevelEdit, "-3",
                       [](ui::Window& d) { ui::test::Click(d, kInvertButton); }, "3.0", "-4",
                       "4.0"},
           InDoubtStep{"ParametricEnter", OpenFilter<TParametricFilter>, kLevelEdit, "-3",
                       [](ui::Window& d) { TypeAndEnter(d, kFrequencyEdit, "1200"); }, "-3.0", "-4",
                       "-4.0"},
           InDoubtStep{"OctaveLevelQuad", OpenFilter<TOctaveFilter>, kLevelEdit, "-3",
                       [](ui::Window& d) { SpinQuad(d, kLevelQuad, 3); }, "-2.0", "-4", "-3.0"},
           InDoubtStep{"ShelfLevelQuad", OpenFilter<THighshelfFilter>, kLevelEdit, "6",
                       [](ui::Window& d) { SpinQuad(d, kLevelQuad, 2); }, "6.1", "5", "5.1"},
           InDoubtStep{"LowpassSlopeArrow", OpenFilter<TLowpassFilter>, kFrequencyEdit, "80", arrow,
                       "80", "90", "90"},
           InDoubtStep{"AllpassFrequencyQuad", OpenFilter<TAllpassFilter>, kFrequencyEdit, "90",
                       [](ui::Window& d) { SpinQuad(d, kFrequencyQuad, 1); }, "89", "95", "94"},
       }) {
    for (const char* condition : {"answering", "reads fail", "typed over the blank"}) {
      SCOPED_TRACE(std::string(row.what) + " " + condition);
      const bool readsFail = condition == std::string("reads fail");
      const bool retyped = condition == std::string("typed over the blank");
      std::unique_ptr<ui::Dialog> dialog = row.open(*this);
      bus.bus.AddFault(sim::Fault::Silence()
                           .ForOpcode(sim::kOpcodeSet)
                           .ForObject(sim::familyov::object::kFilterCommand));
      TypeAndEnter(*dialog, row.edit, row.typed);
      ASSERT_EQ(TextOf(*dialog, row.edit), "");
      bus.bus.ClearFaults();
      if (readsFail) bus.bus.AddFault(sim::Fault::Silence().ForOpcode(sim::kOpcodeGet));
      if (retyped) ui::test::Type(*dialog, row.edit, row.retyped);
      ovtest::ReportedErrors().clear();
      Transfers();
      row.step(*dialog);
      const Trace trace = Transfers();
      if (readsFail) {
        EXPECT_EQ(std::ranges::count_if(trace, [](auto& t) { return t.starts_with("W13"); }), 0);
        EXPECT_EQ(TextOf(*dialog, row.edit), "");
      } else {
        EXPECT_EQ(TextOf(*dialog, row.edit), retyped ? row.steppedFromRetyped : row.stepped);
      }
      EXPECT_EQ(ovtest::ReportedErrors().size(), readsFail ? 1u : 0u);
      bus.bus.ClearFaults();
      unit.RemoveAllFilters();
    }
  }
}

TEST_F(FilterDialogTest, ASlopeOrderStepReallocatesTheFilterEvenAtItsLimit) {
  auto& lowpass = Add<TLowpassFilter>(0, 500);
  auto dialog = Show(lowpass);
  auto& order = dynamic_cast<ui::UpDown&>(ui::test::ControlOf(*dialog, kOrderUpDown));
  const std::string before = Select(lowpass);
  order.Step(-1);  // the upper arrow: a steeper slope
  Trace trace = Transfers();
  // After the capacity test's reads: select, the re-allocation, the full write and command 0.
  trace.erase(trace.begin(), std::ranges::find(trace, before));
  ASSERT_GE(trace.size(), 4u);
  EXPECT_EQ(trace[1], "R22");
  EXPECT_EQ(trace[2], Select(lowpass));  // the number the unit gave it
  EXPECT_EQ(trace.back(), "W14 00");
  EXPECT_NE(std::ranges::find(trace, "W13.1 00000003"), trace.end());
  EXPECT_EQ(TextOf(*dialog, kSlopeText), "-18");

  lowpass.order = 8;
  order.Step(-1);
  EXPECT_EQ(lowpass.order, 8);
  EXPECT_EQ(std::ranges::count(Transfers(), "R22"), 1);
  lowpass.order = 1;
  order.Step(1);
  EXPECT_EQ(lowpass.order, 1);
  EXPECT_EQ(Transfers().back(), "W14 00");
}

TEST_F(FilterDialogTest, AnOrderStepBeyondTheCapacityOfTheWholeChainIsRefused) {
  auto offline = ovtest::NewVirtual<IQDevice8126>(6);
  std::vector<TFilter*> chain;
  for (int channel = 0; channel < 3; ++channel) {
    auto made = std::make_unique<THighpassFilter>();
    made->channel = channel;
    chain.push_back(offline->AddFilter(std::move(made)));
  }
  for (TFilter* member : {chain[1], chain[2]}) member->linkNumber = chain[0]->number + 1;
  offline->LinkFilters();
  // Fill up until two sections are left: one more for each of the three is too many.
  while (offline->CanAddSections(kOtherSections, 3)) {
    offline->AddFilter(std::make_unique<TLowshelfFilter>());
  }
  ASSERT_TRUE(offline->CanAddSections(kOtherSections, 2));
  auto dialog = CreateFilterDialog(kFilterHighpass, *offline, &host);
  dialog->Create();
  dialog->SetFilter(chain[1]);  // a member asks for as much as the head
  offline->trace.clear();
  script.AnswerMessageBox(ui::kIdOk);
  dynamic_cast<ui::UpDown&>(ui::test::ControlOf(*dialog, kOrderUpDown)).Step(-1);
  EXPECT_EQ(script.Seen().back().text, "Insufficient DSP Capacity");
  EXPECT_EQ(script.Seen().back().caption, "Highpass filter");
  EXPECT_EQ(static_cast<THighpassFilter*>(chain[1])->order, 2);
  EXPECT_EQ(std::ranges::count_if(offline->trace, [](auto& t) { return t[0] == 'W'; }), 0);
}

TEST_F(FilterDialogTest, ADialogTakesItsControlsOutOfEveryFilterWhenItLetsGo) {
  auto& shown = Add<TParametricFilter>(0, 1000);
  auto& copy = Add<TParametricFilter>(1, 1000);
  auto& next = Add<TParametricFilter>(0, 2000);
  auto dialog = Show(shown);
  ui::Window* frequencyEdit = &ui::test::ControlOf(*dialog, kFrequencyEdit);
  EXPECT_EQ(shown.dialogFrequencyControl, frequencyEdit);
  EXPECT_EQ(shown.dialogLevelControl, &ui::test::ControlOf(*dialog, kLevelEdit));
  copy.CopyFrom(shown);  // a copy carries the references along
  copy.channel = 1;

  dialog->SetFilter(&next);
  EXPECT_EQ(shown.dialogFrequencyControl, nullptr);
  EXPECT_EQ(copy.dialogLevelControl, nullptr);
  EXPECT_EQ(next.dialogFrequencyControl, frequencyEdit);
  dialog.reset();
  EXPECT_EQ(next.dialogFrequencyControl, nullptr);
  EXPECT_EQ(next.dialogLevelControl, nullptr);

  // The boost/cut dialog has no frequency edit; its filter gets none.
  auto& octave = Add<TOctaveFilter>(0, 100);
  auto boostCut = Show(octave);
  EXPECT_EQ(octave.dialogFrequencyControl, nullptr);
  EXPECT_NE(octave.dialogLevelControl, nullptr);
}

TEST_F(FilterDialogTest, AnyFilterChangeRefreshesAndThePlaceholderDoesNothing) {
  auto& shown = Add<TLowshelfFilter>(0, 200);
  auto& other = Add<TLowshelfFilter>(1, 300);
  auto dialog = Show(shown);
  shown.frequency = 250;
  NotifyRecord record{FilterChanged, 1, 0, &other};
  host.Notify(&record);
  EXPECT_EQ(TextOf(*dialog, kFrequencyEdit), "250");

  // A filter that goes takes the dialog's controls with it.
  std::vector<TFilter*> removed{&other, &shown};
  NotifyRecord removal{FilterRemoved, 0, 1, &removed};
  host.Notify(&removal);
  EXPECT_EQ(dialog->GetFilter(), nullptr);
  EXPECT_EQ(shown.dialogFrequencyControl, nullptr);

  // A filter of another class is not shown.
  dialog->SetFilter(&Add<TLowpassFilter>(0, 100));
  EXPECT_EQ(dialog->GetFilter(), nullptr);

  auto stub = CreateFilterDialog(kFilterLowCrossover, unit, &host);
  EXPECT_NE(dynamic_cast<TStubDialog*>(stub.get()), nullptr);
  stub->Create();
  stub->SetFilter(&shown);
  stub->SetFocus();
  ui::test::PressKey(*stub, Qt::Key_Return);
  ui::test::PressKey(*stub, Qt::Key_Escape);
  EXPECT_TRUE(stub->IsCreated());
  EXPECT_TRUE(Transfers().empty());
}

// A value typed while the unit fails the write of that value, taken as the focus leaves where a
// field does that, then Enter and the focus leaving (as the error box takes it): one report; the
// field shows again what it showed after a refusal, and unknown while the write is in doubt. Once
// the unit answers, its edit window reads it again: a dialog shows what the unit holds, and a
// value it did not take is not written later.
struct TypedFilterField {
  const char* what;
  // The dialog on the unit's filter (made on the first call).
  std::unique_ptr<ui::Dialog> (*open)(FilterDialogTest&);
  int edit;
  const char* typed;
  // Which of the filter's parameter writes carries the value, counted from 1.
  int write;
};

std::unique_ptr<ui::Dialog> OpenCrossover(FilterDialogTest& test) {
  if (CrossoverOf(test.unit, 0, CrossoverSide::kHigh) == nullptr) {
    CrossoverChanges(test.unit, nullptr).SetType(0, CrossoverSide::kHigh, kCrossoverBessel);
  }
  auto dialog = std::make_unique<TCrossoverDialog>(&test.host, test.unit);
  dialog->Create();
  test.Transfers();
  return dialog;
}

class FailedFilterEntryTest
    : public FilterDialogTest,
      public testing::WithParamInterface<std::tuple<TypedFilterField, ovtest::WriteFailure>> {};

TEST_P(FailedFilterEntryTest, IsToldOnceAndShowsWhatTheUnitHoldsOnceItAnswers) {
  // Named apart, not bound together: a lambda below takes the field.
  const TypedFilterField& field = std::get<0>(GetParam());
  const ovtest::WriteFailure& failure = std::get<1>(GetParam());
  TEdit8126Window editWindow(nullptr, unit);
  editWindow.Create();
  std::unique_ptr<ui::Dialog> dialog = field.open(*this);
  const auto enter = [&](ui::Window& edit) {
    ui::test::PressKey(edit, Qt::Key_Return);
    return Transfers();
  };
  auto& edit = ui::test::ControlOf(*dialog, field.edit);
  const auto focusOut = [&] {
    dialog->SendNotify({.controlId = field.edit, .code = ui::Notify::KillFocus, .control = &edit});
  };
  const Trace untyped = enter(edit);
  const std::string shown = edit.Text();
  ui::test::Type(*dialog, field.edit, field.typed);
  focusOut();
  bus.bus.AddFault(failure.fault.ForUnit(8)
                       .ForObject(sim::familyov::object::kFilterParam)
                       .OnOccurrence(field.write));
  enter(edit);
  focusOut();
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
  EXPECT_EQ(edit.Text(), failure.refused ? shown : "");

  bus.bus.ClearFaults();
  testsupport::ResumePollsAndSettle();
  dialog = field.open(*this);
  Transfers();
  auto& answered = ui::test::ControlOf(*dialog, field.edit);
  EXPECT_EQ(answered.Text() != shown, failure.carriedOut) << answered.Text();
  if (!failure.carriedOut) {
    EXPECT_EQ(enter(answered), untyped);
  }
  EXPECT_EQ(ovtest::ReportedErrors().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTypedField, FailedFilterEntryTest,
    testing::Combine(
        testing::Values(
            TypedFilterField{"ParametricFrequency", OpenFilter<TParametricFilter>, kFrequencyEdit,
                             "2500", 1},
            TypedFilterField{"ParametricLevel", OpenFilter<TParametricFilter>, kLevelEdit, "-3", 2},
            TypedFilterField{"ParametricQ", OpenFilter<TParametricFilter>, kQEdit, "2", 3},
            TypedFilterField{"ParametricBandwidth", OpenFilter<TParametricFilter>, kBandwidthEdit,
                             "1/3", 3},
            TypedFilterField{"OctaveLevel", OpenFilter<TOctaveFilter>, kLevelEdit, "4", 2},
            TypedFilterField{"LowpassFrequency", OpenFilter<TLowpassFilter>, kFrequencyEdit, "80",
                             1},
            TypedFilterField{"ShelfLevel", OpenFilter<THighshelfFilter>, kLevelEdit, "6", 2},
            TypedFilterField{"AllpassFrequency", OpenFilter<TAllpassFilter>, kFrequencyEdit, "90",
                             1},
            TypedFilterField{"CrossoverFrequency", OpenCrossover, ovcrossover_res::kHighFrequency,
                             "1.5k", 1}),
        testing::ValuesIn(ovtest::kWriteFailures)),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).what) + std::get<1>(info.param).name;
    });

}  // namespace
}  // namespace namespaceOV
