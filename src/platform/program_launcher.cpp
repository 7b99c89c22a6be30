#include "program_launcher.h"
#include "search_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace zelmak {

namespace {

constexpr QLatin1String kWindowsSuffix(".exe");

// Our programs by the names the window starts them by, and their files here.
struct OurProgram {
    QLatin1String designed;
    QLatin1String file;
};
constexpr OurProgram kOurPrograms[] = {
    {QLatin1String("converter.exe"), QLatin1String("zelmak-converter")},
};

// The file names that may stand for `name` in a folder, in the order they are tried.
QStringList fileNames(const QString& name) {
    for (const OurProgram& ours : kOurPrograms)
        if (name == ours.designed)
            return {ours.file};
    QStringList names{name};
    if (name.endsWith(kWindowsSuffix) && name.size() > kWindowsSuffix.size())
        names.append(name.chopped(kWindowsSuffix.size()));
    return names;
}

bool isRunnable(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

SystemProgramLauncher::SystemProgramLauncher()
    : SystemProgramLauncher(QCoreApplication::applicationDirPath(), qEnvironmentVariable("PATH")) {}

SystemProgramLauncher::SystemProgramLauncher(QString programFolder, QString searchPath)
    : m_programFolder(std::move(programFolder)), m_searchPath(std::move(searchPath)) {}

QStringList SystemProgramLauncher::searchFolders() const {
    QStringList folders;
    auto add = [&folders](const QString& folder) { addSearchFolder(folders, folder); };
    add(m_programFolder);
    for (const QString& entry : m_searchPath.split(QDir::listSeparator()))
        add(entry);
    return folders;
}

std::optional<QString> SystemProgramLauncher::locate(const QString& name) const {
    if (name.isEmpty())
        return std::nullopt;
    // A name with a folder in it is taken as it is, but only when it cannot depend on the
    // current folder.
    if (name.contains(QLatin1Char('/'))) {
        if (QDir::isAbsolutePath(name) && isRunnable(name))
            return QDir::cleanPath(name);
        return std::nullopt;
    }
    const QStringList names = fileNames(name);
    for (const QString& folder : searchFolders()) {
        for (const QString& candidate : names) {
            const QString path = folder + QLatin1Char('/') + candidate;
            if (isRunnable(path))
                return path;
        }
    }
    return std::nullopt;
}

void SystemProgramLauncher::start(const std::string& commandLine) {
    try {
        QStringList words = QProcess::splitCommand(QString::fromStdString(commandLine));
        if (words.isEmpty())
            return;
        const auto program = locate(words.takeFirst());
        if (!program)
            return;
        // Detached: the child is handed over to the system, so no zombie is left behind, and
        // it goes on running when this program ends.
        QProcess::startDetached(*program, words);
    } catch (...) {
        // Launching is best effort; the window never hears of a failure.
    }
}

} // namespace zelmak
