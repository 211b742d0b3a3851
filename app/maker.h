#pragma once
// The maker's web site: the homepage button's caption and target, and the
// info dialog's link.
#include <QString>

namespace mx {

inline const QString MakerAddress = QStringLiteral("https://www.orvenal.de");

} // namespace mx
