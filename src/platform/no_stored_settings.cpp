#include "no_stored_settings.h"

#include <QSettings>

namespace zelmak {

void storeNoSettings() {
    for (const auto format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
}

} // namespace zelmak
