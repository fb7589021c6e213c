#include "imaging/io/regularfile.h"
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gf5::io {

namespace {

QString notRegular(mode_t mode, const QString& path)
{
    if (S_ISDIR(mode))
        return QStringLiteral("フォルダーは画像として開けません: %1").arg(path);
    if (S_ISFIFO(mode))
        return QStringLiteral("名前付きパイプは画像として開けません（通常のファイルではありません）: %1").arg(path);
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("デバイスは画像として開けません（通常のファイルではありません）: %1").arg(path);
    return QStringLiteral("通常のファイルではないため開けません: %1").arg(path);
}

} // namespace

bool openRegularFile(const QString& path, QFile& file, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("ファイル名がありません"));
    const QByteArray native = QFile::encodeName(path);
    // O_NONBLOCK: opening a pipe without a writer returns at once instead of
    // waiting for one.
    int fd;
    do
        fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT || e == ENOTDIR)
            return fail(QStringLiteral("ファイルが見つかりません: %1").arg(path));
        if (e == EACCES || e == EPERM)
            return fail(QStringLiteral("ファイルを読む権限がありません: %1").arg(path));
        if (e == ENXIO) // a socket
            return fail(QStringLiteral("通常のファイルではないため開けません: %1").arg(path));
        return fail(QStringLiteral("ファイルを開けませんでした: %1（%2）").arg(path, QString::fromLocal8Bit(std::strerror(e))));
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const QString why = notRegular(st.st_mode, path);
        ::close(fd);
        return fail(why);
    }
    // A regular file never blocks, but reads should see ordinary semantics.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(QStringLiteral("ファイルを開けませんでした: %1").arg(path));
    }
    return true;
}

} // namespace gf5::io
