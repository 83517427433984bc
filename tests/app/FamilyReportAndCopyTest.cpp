// The newer family's report and copy as the main window reaches them: a unit dropped on "Report"
// writes its report, a unit dropped on another unit or on the empty virtual list copies its
// settings; simulated units on the pseudo-terminal.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "bus/IQDeviceManager.h"
#include "familyov/unit/DeviceCopy.h"
#include "familyov/unit/OrdavinexModels.h"
#include "familyov/unit/ParameterTable.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/TestHooks.h"
#include "resources/AppIds.h"
#include "sim/familyov/FamilyOvUnit.h"
#include "tests/app/AppTestSupport.h"

namespace apptest {
namespace {

using namespaceOV::IQDeviceOrdavinex;
using sim::familyov::Model;

std::string Contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string MemoryName(IQDevice& unit, int memory) {
  namespaceOV::gMemoryNameObject.SetElement(memory - 1);
  return namespaceOV::gMemoryNameObject.Read(unit);
}

void NameMemory(IQDevice& unit, int memory, const std::string& name) {
  namespaceOV::gMemoryNameObject.SetElement(memory - 1);
  namespaceOV::gMemoryNameObject.Write(unit, name);
}

class FamilyReportAndCopyTest : public ShellTest {
 protected:
  void SetUp() override {
    SettingsKey().SetNumber("port number", kSimComNumber);
    UseBuiltInTypes();
  }
  void Add(Model model, int address, const std::string& firmware = "1.5") {
    sim::familyov::AddFamilyOvUnit(bus, {.model = model, .address = address, .firmware = firmware});
  }
  TDeviceListWindow& units() { return client().BusList(); }
  TDeviceListWindow& virtuals() { return client().VirtualList(); }
  int ItemOf(int address) { return ItemNamed(units(), "(" + std::to_string(address) + ") "); }
  IQDeviceOrdavinex& Unit(int address) {
    return dynamic_cast<IQDeviceOrdavinex&>(*DeviceOf(units(), ItemOf(address)));
  }
  void DropOnUnit(int from, int to) { Drag(units(), ItemOf(from), ItemPoint(units(), ItemOf(to))); }
  void DropOnReport(int address) {
    Drag(units(), ItemOf(address), ItemPoint(virtuals(), ItemNamed(virtuals(), "Report")));
  }
  static std::vector<std::string> Texts(const ui::PromptScript& script) {
    std::vector<std::string> texts;
    for (const ui::Prompt& prompt : script.Seen()) texts.push_back(prompt.text);
    return texts;
  }

  QTemporaryDir folder;
};

TEST_F(FamilyReportAndCopyTest, AUnitDroppedOnReportWritesItsReportOrSaysWhyNot) {
  Add(Model::k8126, 1);
  Start();
  RollCall();
  const std::string path = folder.path().toStdString() + "/stage";
  ui::PromptScript script(FailTest);
  script.AnswerSaveFile(path);
  DropOnReport(1);
  std::string report = Contents(path + ".txt");
  EXPECT_EQ(report.rfind("Ordavinex 26 device report\n(Address 1)\n", 0), 0u);
  EXPECT_NE(report.find("*** Memory #15, 'Memory 15' ***"), std::string::npos);

  script.AnswerSaveFile(folder.path().toStdString() + "/gone/report.txt")
      .AnswerMessageBox(ui::kIdOk);
  DropOnReport(1);
  EXPECT_EQ(Texts(script).back(), "Could not open file for print.");

  // The dump fails in memory 1: the report keeps what was read and says it was cut short.
  bus.AddFault(sim::Fault::ErrorObject(3).ForUnit(1).ForObject(0x39).OnOccurrence(200));
  script.AnswerSaveFile(path + ".txt").AnswerMessageBox(ui::kIdYes);
  script.RunDialog(appres::kErrorDialog, [](ui::Dialog& d) { ui::test::Click(d, ui::kIdCancel); });
  DropOnReport(1);
  report = Contents(path + ".txt");
  EXPECT_TRUE(
      report.ends_with("*** Memory #1, 'Memory 1' ***\n\n"
                       "\n\n *** REPORT TERMINATED BY ERROR ***\n"));
  EXPECT_FALSE(TheDeviceManager.IsInUse(&Unit(1)));

  namespaceOV::gLockedObject.Write(Unit(1), true);
  script.AnswerMessageBox(ui::kIdOk);
  DropOnReport(1);
  EXPECT_EQ(Texts(script).back(), "Device is locked.");
  EXPECT_EQ(script.Seen().back().caption, "Print to file");
}

TEST_F(FamilyReportAndCopyTest, AUnitDroppedOnAnotherCopiesUnlessTheyDifferTooMuch) {
  Add(Model::k8126, 1);
  Add(Model::k8148, 2);
  Add(Model::k8124, 3);
  Add(Model::k8126, 4, "1.1");  // no allpass filters, twelve memories
  Add(Model::k8126, 5);
  Start();
  RollCall();
  NameMemory(Unit(1), 1, "Source");
  ui::PromptScript script(FailTest);
  script.AnswerMessageBox(ui::kIdOk);
  DropOnUnit(1, 5);
  EXPECT_EQ(MemoryName(Unit(5), 1), "Source");

  // Units that cannot take each other's settings are refused before the copy is confirmed.
  script.AnswerMessageBox(ui::kIdOk);
  DropOnUnit(1, 2);
  script.AnswerMessageBox(ui::kIdOk);
  DropOnUnit(1, 3);
  script.AnswerMessageBox(ui::kIdOk);
  DropOnUnit(2, 1);
  script.AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdOk).AnswerMessageBox(ui::kIdCancel);
  DropOnUnit(1, 4);
  std::vector<std::string> texts = Texts(script);
  ASSERT_EQ(texts.size(), 7u);
  EXPECT_EQ(texts[1], "Cannot copy this device type.");
  EXPECT_EQ(texts[2], "Incompatible devices.");
  EXPECT_EQ(texts[3], "Incompatible devices.");
  EXPECT_EQ(texts[4].substr(0, 10), "Copy item ");
  EXPECT_EQ(texts[5].substr(0, 60), "WARNING: The source unit has more recent firmware than that ");
  EXPECT_EQ(texts[6].substr(0, 60), "WARNING: The source unit has more memories than the destinat");
  EXPECT_EQ(MemoryName(Unit(1), 1), "Source") << "the refused copy changes nothing";
  EXPECT_NE(MemoryName(Unit(4), 1), "Source") << "a cancelled copy changes nothing";

  // The 4-input model's six-output configuration lays its memories out otherwise than a 2-input
  // model with six outputs, though both have six outputs.
  namespaceOV::IQDevice8148 sixBySix(nullptr, nullptr, nullptr, 6);
  namespaceOV::IQDevice8126 twoBySix(nullptr, nullptr, nullptr, 6);
  script.AnswerMessageBox(ui::kIdOk);
  EXPECT_FALSE(namespaceOV::CopyDeviceFrom(twoBySix, sixBySix));
  EXPECT_EQ(Texts(script).back(), "Incompatible devices.");
}

}  // namespace
}  // namespace apptest
