#include "platform/ui/draw/Printer.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "platform/ui/draw/Dc.h"
#include "platform/ui/draw/PrintPrompt.h"
#include "platform/ui/draw/Printout.h"

namespace ui {

namespace {

// The printout's title as a file name, in the folder of the last PDF file, else the user's
// documents folder, else home: the first of them that is there, since a file cannot be written
// into a folder that is not.
QString DefaultPdfPath(const QString& lastPath, const std::string& title) {
  QString name = QString::fromStdString(title).trimmed();
  name.replace(QLatin1Char('/'), QLatin1Char('_'));
  if (name.isEmpty()) name = QStringLiteral("printout");
  QString folder = QDir::homePath();
  for (const QString& candidate :
       {lastPath.isEmpty() ? QString() : QFileInfo(lastPath).absolutePath(),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)}) {
    if (!candidate.isEmpty() && QFileInfo(candidate).isDir()) {
      folder = candidate;
      break;
    }
  }
  return QDir(folder).filePath(name + ".pdf");
}

// Prints the pages on an open device; returns the number printed. If the printout throws, the
// painter is closed and the exception goes on to the caller, which abandons the job.
int PrintPages(QPagedPaintDevice& device, QPainter& painter, Printout& printout) {
  int page = 1;
  try {
    for (; printout.HasPage(page); ++page) {
      if (page > 1) device.newPage();
      Dc dc(painter);
      printout.PrintPage(page, dc);
    }
  } catch (...) {
    painter.end();
    throw;
  }
  return page - 1;
}

PrintOutcome Failure(std::string message) { return {PrintResult::Failed, 0, std::move(message)}; }

// A PDF file is written like every file of the program: to a temporary file beside it, renamed
// over the old file only when complete, so a failed job leaves the old file as it was.
PrintOutcome PrintToPdf(const QPrinter& settings, Printout& printout) {
  const QString path = settings.outputFileName();
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    return Failure("Cannot write \"" + path.toStdString() +
                   "\": " + file.errorString().toStdString());
  }
  QPdfWriter writer(&file);
  writer.setResolution(settings.resolution());
  writer.setPageLayout(settings.pageLayout());
  writer.setTitle(QString::fromStdString(printout.Title()));
  writer.setCreator(QStringLiteral("TelvoWin2"));
  QPainter painter;
  if (!painter.begin(&writer))
    return Failure("Cannot start the PDF file \"" + path.toStdString() + "\"");
  const int pages = PrintPages(writer, painter, printout);
  painter.end();
  if (!file.commit()) {
    return Failure("Cannot write \"" + path.toStdString() +
                   "\": " + file.errorString().toStdString());
  }
  return {PrintResult::Printed, pages, {}};
}

PrintOutcome PrintOnPrinter(QPrinter& printer, Printout& printout) {
  printer.setDocName(QString::fromStdString(printout.Title()));
  QPainter painter;
  if (!painter.begin(&printer)) {
    return Failure("Cannot print on \"" + printer.printerName().toStdString() + "\"");
  }
  try {
    const int pages = PrintPages(printer, painter, printout);
    if (!painter.end()) return Failure("The printer did not accept the job");
    return {PrintResult::Printed, pages, {}};
  } catch (...) {
    printer.abort();
    throw;
  }
}

}  // namespace

Printer::Printer() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  if (QPrinterInfo::availablePrinters().isEmpty()) printer_->setOutputFormat(QPrinter::PdfFormat);
}

Printer::~Printer() = default;

QPrinter& Printer::Settings() { return *printer_; }

bool Printer::Setup(QWidget* parent) {
  return CurrentPrintPrompt().Ask(*printer_, PrintPrompt::Purpose::Setup, parent);
}

PrintOutcome Printer::Print(QWidget* parent, Printout& printout, bool prompt) {
  if (printer_->outputFormat() == QPrinter::PdfFormat) {
    printer_->setOutputFileName(DefaultPdfPath(printer_->outputFileName(), printout.Title()));
  }
  if (prompt && !CurrentPrintPrompt().Ask(*printer_, PrintPrompt::Purpose::Print, parent)) {
    return {PrintResult::Cancelled, 0, {}};
  }
  if (!printout.HasPage(1)) return {PrintResult::NothingToPrint, 0, {}};
  if (!printer_->outputFileName().isEmpty()) return PrintToPdf(*printer_, printout);
  return PrintOnPrinter(*printer_, printout);
}

}  // namespace ui
