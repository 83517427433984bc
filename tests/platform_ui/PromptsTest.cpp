#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/ui/FileDialog.h"
#include "platform/ui/Message.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/Prompts.h"
#include "tests/platform_ui/UiTestEnvironment.h"

namespace ui {
namespace {

using testing_support::FailTest;

TEST(MessageBoxes, AnswersComeFromTheScriptAndTheCaptionDefaultsToTheApplicationName) {
  PromptScript script(FailTest);
  script.AnswerMessageBox(kIdYes).AnswerMessageBox(kIdCancel).AnswerMessageBox(kIdOk);
  EXPECT_EQ(
      MessageBox(nullptr, "Create new virtual device?", "Copy", mb::kYesNo | mb::kIconQuestion),
      kIdYes);
  EXPECT_EQ(MessageBox(nullptr, "Too many devices!", std::string(), mb::kOkCancel), kIdCancel);
  EXPECT_EQ(MessageBox(nullptr, "Done", std::nullopt, mb::kOk), kIdOk);
  ASSERT_EQ(script.Seen().size(), 3u);
  EXPECT_EQ(script.Seen()[0].caption, "Copy");
  EXPECT_EQ(script.Seen()[1].caption, "") << "an empty caption stays empty";
  EXPECT_EQ(script.Seen()[2].caption, "Telvo Test");
}

TEST(MessageBoxes, AShownBoxIsWideEnoughForItsCaptionAndAnEmptyCaptionStaysBlank) {
  SetUnscriptedPrompts(UnscriptedPrompts::Show);
  struct Shown {
    QString title;
    int width = 0;
  };
  std::vector<Shown> shown;
  QObject scope;
  const auto answer = [&] {
    QTimer::singleShot(0, &scope, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      shown.push_back({box->windowTitle(), box->width()});
      box->accept();
    });
  };
  answer();
  MessageBox(nullptr, "OK?", "Rename Virtual Device", mb::kOk);
  answer();
  MessageBox(nullptr, "Too many devices!", std::string(), mb::kOk);
  SetUnscriptedPrompts(UnscriptedPrompts::Default);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].title, "Rename Virtual Device");
  EXPECT_GE(shown[0].width, CaptionFitWidth("Rename Virtual Device"));
  EXPECT_GT(CaptionFitWidth("Rename Virtual Device"), CaptionFitWidth("Copy"));
  // Blank, yet not empty: a window manager shows an empty title as the program's file name.
  EXPECT_FALSE(shown[1].title.isEmpty());
  EXPECT_TRUE(shown[1].title.trimmed().isEmpty());
}

TEST(MessageBoxes, AnUnexpectedPromptFailsAtOnceAndAnUnusedAnswerIsReported) {
  std::vector<std::string> failures;
  {
    PromptScript script([&](const std::string& f) { failures.push_back(f); });
    script.AnswerOpenFile("/tmp/x.ov2").AnswerMessageBox(kIdOk);
    EXPECT_EQ(MessageBox(nullptr, "Surprise", "Oops", mb::kYesNo), kIdCancel);
  }
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_NE(failures[0].find("message box [Oops] \"Surprise\""), std::string::npos) << failures[0];
  EXPECT_NE(failures[1].find("1 scripted answer(s) never asked for"), std::string::npos)
      << failures[1];
}

TEST(MessageBoxes, OnTheOffscreenPlatformAnUnscriptedPromptIsReportedAndRefusedByDefault) {
  testing_support::CollectedErrors collected;
  SetUnscriptedPrompts(UnscriptedPrompts::Default);
  const int answer = MessageBox(nullptr, "Nobody is there", "Lost", mb::kOk);
  SetUnscriptedPrompts(UnscriptedPrompts::Refuse, FailTest);
  EXPECT_EQ(answer, kIdCancel);
  ASSERT_EQ(collected.errors.size(), 1u);
  EXPECT_EQ(collected.errors[0],
            "prompt: unscripted message box [Lost] \"Nobody is there\", answered cancel");
}

class FileDialogTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const {
    return QDir(dir.path()).filePath(QString::fromStdString(name)).toStdString();
  }
  void Touch(const std::string& name) const {
    QFile f(QString::fromStdString(PathOf(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  QTemporaryDir dir;
  FileDialogOptions options{
      "Save settings", {{"Settings files", "*.ov2"}, {"All files", "*.*"}}, "ov2", "", "", true};
};

TEST_F(FileDialogTest, TheDefaultExtensionIsAddedOnlyWhenTheNameHasNone) {
  EXPECT_EQ(WithDefaultExtension("/a/b/lobby", "ov2"), "/a/b/lobby.ov2");
  EXPECT_EQ(WithDefaultExtension("/a/b/lobby.q48", "ov2"), "/a/b/lobby.q48");
  EXPECT_EQ(WithDefaultExtension("/a/b.d/lobby", "ov2"), "/a/b.d/lobby.ov2")
      << "a dot in a folder name";
  EXPECT_EQ(WithDefaultExtension("/a/lobby", ""), "/a/lobby");
}

TEST_F(FileDialogTest, SaveNeverDemandsAnExistingFileAndAsksBeforeReplacingOne) {
  PromptScript script(FailTest);
  script.AnswerSaveFile(PathOf("new"));
  EXPECT_EQ(AskSaveFile(nullptr, options), PathOf("new.ov2"));

  Touch("old.ov2");
  script.AnswerSaveFile(PathOf("old")).AnswerMessageBox(kIdNo);
  EXPECT_EQ(AskSaveFile(nullptr, options), std::nullopt) << "the user kept the old file";
  script.AnswerSaveFile(PathOf("old")).AnswerMessageBox(kIdYes);
  EXPECT_EQ(AskSaveFile(nullptr, options), PathOf("old.ov2"));
  EXPECT_NE(script.Seen()[2].text.find("already exists"), std::string::npos);

  options.overwritePrompt = false;
  script.AnswerSaveFile(PathOf("old.ov2"));
  EXPECT_EQ(AskSaveFile(nullptr, options), PathOf("old.ov2"));
}

TEST_F(FileDialogTest, OpenReturnsTheChosenFileOrNothingWhenCancelled) {
  PromptScript script(FailTest);
  script.AnswerOpenFile(std::nullopt).AnswerOpenFile(PathOf("unit.ov2"));
  EXPECT_EQ(AskOpenFile(nullptr, options), std::nullopt);
  EXPECT_EQ(AskOpenFile(nullptr, options), PathOf("unit.ov2"));
  EXPECT_EQ(script.Seen()[0].kind, PromptKind::OpenFile);
}

TEST_F(FileDialogTest, EachPatternShowsOnceAndTheNextDialogStartsWhereTheLastFileWasChosen) {
  EXPECT_EQ(FileDialogFilterText(options.filters), "Settings files (*.ov2);;All files (*.*)");
  EXPECT_EQ(FileDialogFilterText({{"Ordavinex settings (*.ov0)", "*.ov0"}}),
            "Ordavinex settings (*.ov0)");
  EXPECT_EQ(FileDialogFilterText({{"3300 settings (*.331 *.332)", "*.331;*.332"}}),
            "3300 settings (*.331 *.332)");
  EXPECT_EQ(FileDialogFilterText({{"Text (*.txt)", "*.txt;*.log"}}), "Text (*.txt) (*.txt *.log)")
      << "a description naming other patterns than the filter's";

  PromptScript script(FailTest);
  script.AnswerOpenFile(PathOf("first/unit.ov2"))
      .AnswerSaveFile(std::nullopt)
      .AnswerSaveFile(PathOf("second/unit.ov2"));
  AskOpenFile(nullptr, options);
  EXPECT_EQ(FileDialogStartFolder(options), PathOf("first"));
  AskSaveFile(nullptr, options);
  EXPECT_EQ(FileDialogStartFolder(options), PathOf("first")) << "a cancelled dialog";
  AskSaveFile(nullptr, options);
  EXPECT_EQ(FileDialogStartFolder(options), PathOf("second"));
  options.folder = "/opt/firmware";
  EXPECT_EQ(FileDialogStartFolder(options), "/opt/firmware") << "a folder asked for";
}

}  // namespace
}  // namespace ui
