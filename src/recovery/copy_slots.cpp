#include "copy_slots.h"
#include "bmp_slice_writer.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTimeZone>
#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace recovery {

namespace {
const char* const kImageName = "recovery.bmp";
const char* const kMetaName = "recovery.ini";
const char* const kLockName = "lock";
const char* const kSlotPrefix = "slot-";
const char* const kNewPrefix = ".new-";      // a slot being made
const char* const kLegacyLock = "legacy.lock"; // the one copy kept directly in the root
const char* const kStampFormat = "yyyyMMddTHHmmsszzz";

std::atomic<int> s_counter{0};

// A name no other slot of this or another process has.
QString uniqueSuffix()
{
    return QString::number(QCoreApplication::applicationPid()) + "-" + QString::number(++s_counter);
}

// Removes the files a copy consists of (not the folder).
void removeCopyFiles(const QString& dir)
{
    QFile::remove(imageIn(dir));
    QFile::remove(BmpSliceWriter::partPath(imageIn(dir)));
    QFile::remove(metaIn(dir));
}

// Removes a slot folder with our files in it; anything else in it stays.
void removeSlotFolder(const QString& dir)
{
    removeCopyFiles(dir);
    QFile::remove(dir + "/" + kLockName);
    QDir().rmdir(dir);
}
}

QString imageIn(const QString& dir) { return dir + "/" + kImageName; }
QString metaIn(const QString& dir) { return dir + "/" + kMetaName; }
QString discardedFolder(const QString& root) { return root + "/discarded"; }

// ---- FolderLock -----------------------------------------------------------------

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool FolderLock::tryLock(const QString& file)
{
    release();
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void FolderLock::release()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor drops the lock
    m_fd = -1;
}

// ---- OwnSlot ----------------------------------------------------------------------

OwnSlot::~OwnSlot()
{
    if (m_lock.held() && !hasCopy())
        removeSlotFolder(m_dir);
}

bool OwnSlot::ensure()
{
    if (m_lock.held() && QFileInfo(m_dir).isDir())
        return true;
    m_lock.release();
    if (!QDir().mkpath(m_root))
        return false;
    // Made under a name nobody scans, locked, then renamed: a start looking
    // for orphans never sees the slot unlocked.
    const QString suffix = uniqueSuffix();
    const QString fresh = m_root + "/" + kNewPrefix + suffix;
    const QString dir = m_root + "/" + kSlotPrefix + suffix;
    if (!QDir().mkdir(fresh))
        return false;
    if (!m_lock.tryLock(fresh + "/" + kLockName) || !replaceFile(fresh, dir)) {
        m_lock.release();
        removeSlotFolder(fresh);
        return false;
    }
    m_dir = dir;
    return true;
}

bool OwnSlot::hasCopy() const { return !m_dir.isEmpty() && QFileInfo(imageIn(m_dir)).isFile(); }

bool OwnSlot::writeMeta(const Meta& meta)
{
    if (!ensure())
        return false;
    QSaveFile f(metaIn(m_dir));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(metaText(meta));
    return f.commit();
}

void OwnSlot::removeCopy()
{
    if (!m_dir.isEmpty())
        removeCopyFiles(m_dir);
}

bool OwnSlot::adopt(const QString& otherDir)
{
    if (!ensure() || !replaceFile(imageIn(otherDir), imageIn(m_dir)))
        return false;
    if (QFileInfo::exists(metaIn(otherDir)))
        replaceFile(metaIn(otherDir), metaIn(m_dir));
    else
        QFile::remove(metaIn(m_dir));
    return true;
}

// ---- Orphans ------------------------------------------------------------------------

namespace {
// Claims the copy in dir when lockFile can be locked. Leftovers of the
// ended program (a half-written picture, a slot without a copy) go.
void claim(const QString& dir, const QString& lockFile, bool isSlot, std::vector<OrphanCopy>& out)
{
    FolderLock lock;
    if (!lock.tryLock(lockFile))
        return; // a running window's
    QFile::remove(BmpSliceWriter::partPath(imageIn(dir)));
    const QFileInfo image(imageIn(dir));
    if (!image.isFile()) {
        if (isSlot)
            removeSlotFolder(dir);
        return;
    }
    OrphanCopy copy;
    copy.dir = dir;
    copy.meta = readMetaFile(metaIn(dir));
    if (!copy.meta.time.isValid())
        copy.meta.time = image.lastModified();
    copy.lock = std::move(lock);
    out.push_back(std::move(copy));
}
}

std::vector<OrphanCopy> claimOrphans(const QString& root)
{
    std::vector<OrphanCopy> out;
    const QDir dir(root);
    if (!dir.exists())
        return out;
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QString& name : names) {
        const bool isSlot = name.startsWith(kSlotPrefix);
        if (isSlot || name.startsWith(kNewPrefix)) {
            const QString path = dir.filePath(name);
            claim(path, path + "/" + kLockName, true, out);
        }
    }
    claim(root, dir.filePath(kLegacyLock), false, out);
    std::stable_sort(out.begin(), out.end(),
                     [](const OrphanCopy& a, const OrphanCopy& b) { return a.meta.time > b.meta.time; });
    return out;
}

void removeOrphan(OrphanCopy& orphan)
{
    if (QFileInfo(orphan.dir).fileName().startsWith(kSlotPrefix))
        removeSlotFolder(orphan.dir);
    else
        removeCopyFiles(orphan.dir);
    orphan.lock.release();
}

bool setAside(OrphanCopy& orphan, const QString& root, const QDateTime& now)
{
    const QString target =
        discardedFolder(root) + "/" + now.toUTC().toString(kStampFormat) + "-" + uniqueSuffix();
    bool moved = QDir().mkpath(target) && replaceFile(orphan.image(), imageIn(target));
    if (moved && QFileInfo::exists(metaIn(orphan.dir)))
        replaceFile(metaIn(orphan.dir), metaIn(target));
    if (!moved) {
        QDir().rmdir(target);
        orphan.lock.release(); // left where it is, offered again next time
        return false;
    }
    removeOrphan(orphan);
    pruneDiscarded(root, now);
    return true;
}

void pruneDiscarded(const QString& root, const QDateTime& now, int keep, int maxAgeDays)
{
    const QDir dir(discardedFolder(root));
    struct Entry {
        QString path;
        QDateTime when;
    };
    std::vector<Entry> entries;
    for (const QFileInfo& info : dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        QDateTime when = QDateTime::fromString(info.fileName().left(18), kStampFormat);
        if (when.isValid())
            when.setTimeZone(QTimeZone::utc());
        else
            when = info.lastModified();
        entries.push_back({info.filePath(), when});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.when > b.when; });
    const QDateTime oldest = now.addDays(-maxAgeDays);
    for (size_t i = 0; i < entries.size(); ++i)
        if (int(i) >= keep || entries[i].when < oldest)
            removeSlotFolder(entries[i].path);
}

} // namespace recovery
