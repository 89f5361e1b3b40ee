#pragma once
// liftdrive-profile --report: the commissioning report of a parameter file (and a
// recording) written as a PDF without a window.

namespace ReportOption {

// True when the arguments ask for a report.
bool requested(int argc, char* argv[]);
// Writes the report; the exit status: 0 written, 1 not (the reason on stderr).
int run(int argc, char* argv[]);

} // namespace ReportOption
