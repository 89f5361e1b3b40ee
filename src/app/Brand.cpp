#include "app/Brand.h"

#include <QStringList>

namespace Brand {

namespace {
const QString kQuveraSite = QStringLiteral("https://www.orvan.example.com/");
const QString kLomtixSite = QStringLiteral("https://www.selvik.example.com/");
} // namespace

Edition edition() {
    return LIFTDRIVE_EDITION_LOMTIX ? Edition::Lomtix : Edition::Quvera;
}

QString title(Edition edition) {
    return edition == Edition::Lomtix ? QStringLiteral("SELVIK-LOMTIX")
                                      : QStringLiteral("ORVAN-Quvera");
}

QString windowIcon(Edition edition) {
    return edition == Edition::Lomtix ? QStringLiteral("icons/selvik_logo.ico")
                                      : QStringLiteral("icons/orvan_logo.ico");
}

QString logo(Edition edition) {
    return edition == Edition::Lomtix ? QStringLiteral("icons/Selvik-logo.jpg")
                                      : QStringLiteral("icons/orvan_kck.bmp");
}

QString productPicture(Edition edition) {
    return edition == Edition::Lomtix ? QStringLiteral("icons/lomtix.jpg")
                                      : QStringLiteral("icons/quvera.jpg");
}

QString webSite(Edition edition) {
    return edition == Edition::Lomtix ? kLomtixSite : kQuveraSite;
}

QStringList pictures(Edition edition) {
    return {QStringLiteral("icons/open.ico"),
            QStringLiteral("icons/floppy.ico"),
            QStringLiteral("icons/connection.ico"),
            QStringLiteral("icons/chip_out.ico"),
            QStringLiteral("icons/chip_in.ico"),
            logo(edition),
            windowIcon(edition),
            productPicture(edition)};
}

} // namespace Brand
