#pragma once

#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace ui {

class Printout;

enum class PrintResult {
  Printed,         // every page went to the printer or the PDF file
  NothingToPrint,  // the printout had no first page; no job was started, no file written
  Cancelled,       // the user cancelled the print dialog
  Failed,          // the printer or the file could not be written; see the message
};

struct PrintOutcome {
  PrintResult result = PrintResult::Failed;
  int pages = 0;
  std::string message;  // what went wrong, for Failed
};

// A printer with its settings, kept from one job to the next (and from the print set-up to the
// next job). When the machine has no printer, it prints to a PDF file, by default in the user's
// documents folder (home when there is none) under the printout's title.
class Printer {
 public:
  Printer();
  ~Printer();
  Printer(const Printer&) = delete;
  Printer& operator=(const Printer&) = delete;

  // The print set-up dialog; false when cancelled (the settings stay as they were).
  bool Setup(QWidget* parent);
  // Prints every page the printout has, asking the print dialog first when `prompt` is set.
  PrintOutcome Print(QWidget* parent, Printout& printout, bool prompt);

  QPrinter& Settings();

 private:
  std::unique_ptr<QPrinter> printer_;
};

}  // namespace ui
