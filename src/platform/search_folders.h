#pragma once

#include <QDir>
#include <QStringList>

namespace zelmak {

// Adds a folder to a search list once, cleaned. A relative folder (or an empty one) is left out:
// it would be looked up from the current folder, where nothing of the program is looked for.
inline void addSearchFolder(QStringList& folders, const QString& folder) {
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        return;
    const QString clean = QDir::cleanPath(folder);
    if (!folders.contains(clean))
        folders.append(clean);
}

} // namespace zelmak
