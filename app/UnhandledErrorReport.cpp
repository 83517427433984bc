#include "app/UnhandledErrorReport.h"

#include <cstdio>

#include "app/ErrorDialogs.h"
#include "platform/ui/Application.h"
#include "platform/ui/Guard.h"
#include "resources/AppIds.h"

namespace {
bool g_incidentOpen = false;

void ShowReport(const std::string& description) {
  struct EndIncident {
    ~EndIncident() { g_incidentOpen = false; }
  } endIncident;
  DeviceErrorDialog(appres::kErrorDialog, description, nullptr, nullptr, nullptr).Execute();
}
}  // namespace

void InstallUnhandledErrorReport() { ui::SetErrorReporter(ReportUnhandledError); }

void ReportUnhandledError(const std::string& where, const std::string& what) {
  std::fprintf(stderr, "uncaught exception in %s: %s\n", where.c_str(), what.c_str());
  ui::Application* app = ui::Application::Instance();
  if (app == nullptr || g_incidentOpen) return;
  g_incidentOpen = true;
  app->PostTask(
      [description = "Program error in " + where + ": " + what] { ShowReport(description); });
}
