// Start-up of the program against a bare Qt Widgets window started the same way: the time from
// starting the process to its shown main window, and the resident memory then. Each is started as
// a child process several times, the two in turns so that both meet the same load; the medians are
// compared. The bare window carries what any main
// window shows (a menu bar, a status bar, a line of text), so that both pay Qt's one-time font and
// style set-up and the ratio measures what the program adds on top.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/DeviceTypes.h"
#include "app/TelvoApp.h"
#include "bench/BenchLine.h"
#include "bench/Repeated.h"
#include "platform/shell/OpenDocument.h"

namespace {

constexpr int kRuns = 11;
constexpr double kLimitRatio = 1.5;
constexpr const char* kReportFdVariable = "TELVO_BENCH_REPORT_FD";

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return 0;
}

// In the child: once the window is shown and its first events are processed, tells the parent
// the resident memory and ends.
int ReportShown() {
  QApplication::processEvents();
  const long kilobytes = ResidentKilobytes();
  const char* fdText = std::getenv(kReportFdVariable);
  if (fdText == nullptr) return 1;
  const int fd = std::atoi(fdText);
  const bool written = write(fd, &kilobytes, sizeof kilobytes) == sizeof kilobytes;
  close(fd);
  return written ? 0 : 1;
}

int RunBare(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Telvo Windows 2.3");
  window.menuBar()->addMenu("&File");
  window.setCentralWidget(new QLabel("Bus"));
  window.statusBar()->showMessage("Ready");
  window.show();
  return ReportShown();
}

int RunProgram(int argc, char** argv) {
  TTelvo33App app(argc, argv, MakeDeviceTypes, shell::SystemDesktop());
  app.Start();
  return ReportShown();
}

struct Sample {
  double milliseconds = 0;
  long kilobytes = 0;
};

bool StartChild(const char* self, const char* mode, Sample& sample) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    close(fds[0]);
    setenv(kReportFdVariable, std::to_string(fds[1]).c_str(), 1);
    execl(self, self, mode, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  long kilobytes = 0;
  const bool reported = read(fds[0], &kilobytes, sizeof kilobytes) == sizeof kilobytes;
  const auto shown = std::chrono::steady_clock::now();
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  sample.milliseconds = std::chrono::duration<double, std::milli>(shown - start).count();
  sample.kilobytes = kilobytes;
  return reported;
}

// The start-up times and memories of the program and of the bare window, started in turns.
struct Starts {
  std::vector<double> programMs, bareMs, programKb, bareKb;
};

bool StartInTurns(const char* self, Starts& starts) {
  for (int run = 0; run < kRuns; ++run) {
    Sample program, bare;
    if (!StartChild(self, "--program", program) || !StartChild(self, "--bare", bare)) {
      std::fprintf(stderr, "app_start: a start did not report\n");
      return false;
    }
    starts.programMs.push_back(program.milliseconds);
    starts.bareMs.push_back(bare.milliseconds);
    starts.programKb.push_back(static_cast<double>(program.kilobytes));
    starts.bareKb.push_back(static_cast<double>(bare.kilobytes));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "--bare") return RunBare(argc, argv);
  if (argc == 2 && std::string(argv[1]) == "--program") return RunProgram(argc, argv);

  // The program reads and writes its settings at start; they go to a folder of the benchmark's.
  QTemporaryDir config;
  if (!config.isValid()) return 1;
  setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  // One start of each first, so that both find the libraries in the page cache.
  Sample warmUp;
  StartChild(argv[0], "--bare", warmUp);
  StartChild(argv[0], "--program", warmUp);
  Starts starts;
  if (!StartInTurns(argv[0], starts)) return 1;
  const bool timeWithin = bench::Report(
      bench::MedianOfPairs({.measured = "app: start to shown main window",
                            .reference = "bare Qt (a main window)",
                            .unit = "ms",
                            .limit = kLimitRatio},
                           starts.programMs, starts.bareMs, bench::FrameShare::kLeftOut));
  const bool memoryWithin = bench::Report(
      bench::MedianOfPairs({.measured = "app: resident memory at shown main window",
                            .reference = "bare Qt (a main window)",
                            .unit = "kB",
                            .limit = kLimitRatio},
                           starts.programKb, starts.bareKb, bench::FrameShare::kLeftOut));
  return timeWithin && memoryWithin ? 0 : 1;
}
