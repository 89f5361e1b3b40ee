#pragma once
// The brand edition this program is built as, and what differs between the editions:
// title, pictures and the maker's web site.
#include <QString>

enum class Edition { Quvera, Lomtix };

namespace Brand {

// Fixed at build time (cmake -DEDITION=Lomtix).
Edition edition();
QString title(Edition edition);
// Pictures beside the program, relative to its folder.
QString windowIcon(Edition edition);
QString logo(Edition edition);
QString productPicture(Edition edition);
// The maker's web site. Reserved example addresses until the makers' are known.
QString webSite(Edition edition);
// The logo and the About picture open the web site only when this file lies beside
// the program, as on the installations the program was made for.
inline const QString WebLinkMarker = QStringLiteral("dummy.htm");

// Every picture the program shows, for the start-up check.
QStringList pictures(Edition edition);

} // namespace Brand
