#pragma once

// The text a window's print command puts on paper: the print dialog is answered with a PDF in a
// folder of its own, and the PDF's text is read back.

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <string>

#include "platform/ui/Application.h"
#include "platform/ui/Prompts.h"

namespace testsupport {

inline std::string PrintedText(ui::Window& window, int printCommand) {
  QTemporaryDir folder;
  const QString pdf = folder.filePath("printed.pdf");
  ui::PromptScript script([](const std::string& what) { ADD_FAILURE() << what; });
  script.AnswerPrint(pdf.toStdString());
  ui::Application::Instance()->RouteCommand(printCommand, &window);
  QProcess reader;
  reader.start("pdftotext", {pdf, "-"});
  if (!reader.waitForFinished(30000) || reader.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext failed on the printed page";
    return {};
  }
  return reader.readAllStandardOutput().toStdString();
}

}  // namespace testsupport
