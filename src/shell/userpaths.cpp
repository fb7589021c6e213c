#include "userpaths.h"
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>

namespace userpaths {

QString programFolder(const QString& exeDir)
{
    const QDir dir(exeDir);
    if (dir.dirName() == "bin") {
        const QString shared = QDir::cleanPath(exeDir + "/../share/zorvat");
        if (QFileInfo(shared).isDir())
            return shared;
    }
    return exeDir;
}

static QString xdgFolder(const char* variable, const char* fallbackUnderHome)
{
    QString base = qEnvironmentVariable(variable);
    // The XDG rules ignore relative values.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + "/" + fallbackUnderHome;
    return QDir::cleanPath(base) + "/zorvat";
}

QString configFolder() { return xdgFolder("XDG_CONFIG_HOME", ".config"); }
QString dataFolder() { return xdgFolder("XDG_DATA_HOME", ".local/share"); }
QString stateFolder() { return xdgFolder("XDG_STATE_HOME", ".local/state"); }

QString runTempFolder()
{
    // A function-local static is destroyed at exit, which removes the folder.
    static std::unique_ptr<QTemporaryDir> dir;
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zorvat-XXXXXX");
        if (!dir->isValid())
            return {};
    }
    return dir->isValid() ? dir->path() : QString();
}

} // namespace userpaths
