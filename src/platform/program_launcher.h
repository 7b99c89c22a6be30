#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace zelmak {

// Starts a separate program and forgets it: no waiting, no result, no link back.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the program named by the first word of `commandLine`, with the rest as its
    // arguments. A program that cannot be found or started is passed over in silence.
    virtual void start(const std::string& commandLine) = 0;
};

// Looks for a bare program name in the running program's own folder first, then in the
// absolute folders of PATH; never in the current folder, so a stray "converter.exe" lying
// in a document folder is never run (an empty PATH entry, "." and any other relative entry
// are ignored). The window names our own programs by their designed names; each stands for
// the file that program has here ("converter.exe" for "zelmak-converter"), and only that file
// is looked for, so that some other "converter" on the PATH is never started in its place.
// Other programs carry no extension on this platform, so in each folder their name is also
// tried without a final ".exe". The program is started directly, without a shell, as a
// detached process that nobody has to reap.
class SystemProgramLauncher : public ProgramLauncher {
public:
    // Searches QCoreApplication::applicationDirPath() and the PATH of the environment.
    SystemProgramLauncher();
    // Searches `programFolder`, then the folders of `searchPath` (a PATH-style list).
    SystemProgramLauncher(QString programFolder, QString searchPath);

    void start(const std::string& commandLine) override;

    // The absolute path that `start` would run for `name`, if any.
    std::optional<QString> locate(const QString& name) const;

    // The folders searched, in order.
    QStringList searchFolders() const;

private:
    QString m_programFolder;
    QString m_searchPath;
};

} // namespace zelmak
