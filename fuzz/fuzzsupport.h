#pragma once
// Shared pieces of the fuzz harnesses: a headless Qt application for the
// harnesses that need one, and a file holding the current input for those
// that read through a path, as the program does.
#include <QFile>
#include <QGuiApplication>
#include <QImage>
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

// Aborts unless a decoded picture is fully defined: every byte of every row
// read (so a memory checker sees any uninitialised one) and every index
// inside the colour table, a 1-bit picture holding at least monoColours.
inline int requireDefined(const QImage& img, int monoColours)
{
    if (img.format() == QImage::Format_Mono && img.colorCount() < monoColours)
        std::abort();
    unsigned sum = 0;
    for (int y = 0; y < img.height(); ++y) {
        const uchar* line = img.constScanLine(y);
        for (qsizetype i = 0; i < img.bytesPerLine(); ++i)
            sum += line[i];
        if (img.format() == QImage::Format_Indexed8)
            for (int x = 0; x < img.width(); ++x)
                if (line[x] >= img.colorCount())
                    std::abort();
    }
    return int(sum & 0);
}

} // namespace fuzzsupport
