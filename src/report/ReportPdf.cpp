#include "report/ReportPdf.h"

#include "report/ReportRenderer.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

namespace ReportPdf {

Written write(const QString& path, ReportRenderer& renderer) {
    Written result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    {
        QPdfWriter pdf(&file);
        // Fine enough for the plots' thin lines on paper, coarse enough to stay quick.
        pdf.setResolution(300);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
        pdf.setTitle(renderer.data().site.site.left(200));
        pdf.setCreator(renderer.data().edition + u' ' + renderer.data().version);
        result.pages = renderer.render(pdf);
    }
    if (result.pages == 0) {
        file.cancelWriting();
        result.error = file.errorString();
        return result;
    }
    if (!file.commit()) {
        result.error = file.errorString();
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace ReportPdf
