#pragma once

// Graphic equalisers on a simulated bus behind a pseudo-terminal, with the program's port reading
// through bustest::AnsweredLine, device manager and the family's two types; the application object
// the family's dialogs need; and the failures the family reports, collected instead of shown.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bus/CommPort.h"
#include "bus/IQDeviceManager.h"
#include "family3300/IQDevice3300.h"
#include "family3300/Types3300.h"
#include "familycommon/AnswerWait.h"
#include "platform/registry/Store.h"
#include "platform/ui/Prompts.h"
#include "sim/SimulatedBus.h"
#include "sim/family3300/Family3300Unit.h"
#include "tests/bus/BusTestSupport.h"

namespace eqtest {

// "code: text" of every bus failure the family reported since the last call.
std::vector<std::string> TakeReportedErrors();
// How many reports a command gave, taken as TakeReportedErrors takes them: its error dialogs, and
// its closing boxes among the prompts `script` answered from the `first` on that tell the failure
// (each naming the request that failed).
std::size_t TakeReports(const ui::PromptScript& script, std::size_t first);

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& contents);
std::string Golden(const std::string& name);

// The wait for a silent unit counted in reads of its clock, a twentieth of the bound each, so that
// no scheduler that keeps the test from running can end it early.
familycommon::AnswerBound AnswerBoundInPolls();

struct EqFixture : testing::Test {
  EqFixture();
  ~EqFixture() override;

  // Adds a unit to the bus; call before RollCall.
  void AddUnit(sim::family3300::Model model, int address, const std::string& name = "Foyer EQ");
  // The bus units, in address order, each waited for in polls; the manager owns them.
  std::vector<namespace3300::IQDevice3300*> RollCall();
  // A virtual unit, waited for in polls too.
  namespace3300::IQDevice3300* NewVirtual(sim::family3300::Model model,
                                          const std::string& name = "Stage EQ");
  // "W11 03" for a set of object 0x11, "R0D" for a get of 0x0D, since the last call; with
  // `withAddress` each after the unit's address ("4:R0D").
  std::vector<std::string> TakeTrace(bool withAddress = false);
  std::filesystem::path Temp(const std::string& name) const { return folder / name; }

  std::filesystem::path folder;
  registry::Store store;
  sim::SimulatedBus bus;
  CommPort port;
  IQDeviceManager manager;
  bustest::RecordingNotifier notifier;
  namespace3300::IQ3300Type oneChannel;
  namespace3300::IQ33002Type twoChannel;
  std::vector<std::unique_ptr<IQDevice>> virtuals;
};

}  // namespace eqtest
