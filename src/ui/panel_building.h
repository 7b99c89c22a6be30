#pragma once

// What the panels of the main window share when they build their controls.

#include <QFont>
#include <QRect>
#include <QString>

namespace zelmak {

// A control under its design name, at its place.
template <typename T> T* placed(T* control, const QString& name, QRect place) {
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

inline QFont pixelFont(const char* family, int pixels) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

} // namespace zelmak
