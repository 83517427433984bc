#pragma once

#include <string>

// An exception that reaches the window layer's guard is a fault no handler expected. The user
// sees it in the error dialog, opened after the failed handler has returned (a paint or a
// notification must not run a dialog's loop inside it), and once per incident: whatever else fails
// while the report waits or is open (often the same fault again, as windows repaint behind the
// dialog) joins that report. Every failure is also written to the standard error stream.
void InstallUnhandledErrorReport();

// What the guard hands the installed report; the report's text names where the fault arose.
void ReportUnhandledError(const std::string& where, const std::string& what);
