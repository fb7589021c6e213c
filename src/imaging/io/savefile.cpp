#include "imaging/io/savefile.h"
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace gf5::io {

QString writeErrorText(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return QStringLiteral("ディスクの空き容量が足りません");
    case EISDIR:
        return QStringLiteral("同じ名前のフォルダーがあります");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("保存先のフォルダーがありません");
    case EROFS:
        return QStringLiteral("読み取り専用の場所には保存できません");
    default:
        return QStringLiteral("書き込み中にエラーが起きました（%1）").arg(QString::fromLocal8Bit(std::strerror(err)));
    }
}

void CheckedSaveFile::record(int err)
{
    if (m_errno == 0 && err != 0)
        m_errno = err;
}

bool CheckedSaveFile::open(OpenMode mode)
{
    // Qt refuses these itself without a system error to tell.
    const QFileInfo target(fileName());
    if (target.isDir()) {
        record(EISDIR);
        return false;
    }
    if (target.exists() && !target.isWritable()) {
        record(EACCES);
        return false;
    }
    errno = 0;
    const bool ok = QSaveFile::open(mode);
    if (!ok)
        record(errno);
    return ok;
}

qint64 CheckedSaveFile::writeData(const char* data, qint64 len)
{
    errno = 0;
    const qint64 written = QSaveFile::writeData(data, len);
    if (written != len)
        record(errno ? errno : EIO);
    return written;
}

bool CheckedSaveFile::commit()
{
    errno = 0;
    const bool ok = QSaveFile::commit();
    if (!ok)
        record(errno ? errno : EIO);
    return ok && m_errno == 0;
}

QString CheckedSaveFile::failureReason(const QString& fallback) const
{
    if (m_errno != 0)
        return writeErrorText(m_errno);
    return fallback.isEmpty() ? writeErrorText(EIO) : fallback;
}

} // namespace gf5::io
