#pragma once
// Writing a report as a PDF file: through a temporary file beside the target that
// replaces it only when complete, so a failure leaves no half-written file and an
// earlier file as it was.
#include <QString>

class ReportRenderer;

namespace ReportPdf {

struct Written {
    bool ok = false;
    QString error; // the system's reason when not written
    int pages = 0;
};

Written write(const QString& path, ReportRenderer& renderer);

} // namespace ReportPdf
