#pragma once
// Shared pieces of the fuzz harnesses: a headless Qt application for the
// harnesses that need one, and a file holding the current input for those
// that read through a path, as the program does.
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace fuzzsupport {

inline void startQt()
{
    static int argc = 1;
    static char name[] = "zorvat-fuzz";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(argc, argv);
}

// Writes the input to a file in a private folder and returns its path.
inline QString inputFile(const uint8_t* data, size_t size, const char* name)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

} // namespace fuzzsupport
