#pragma once

namespace zelmak {

// The programs store nothing between sessions. Qt's own file dialog would write its history and
// last folder to the user's configuration folder; pointing Qt's user-scope settings at a path
// that cannot hold a file keeps them for the running session only. For the whole process.
void storeNoSettings();

} // namespace zelmak
