#pragma once
// Where copies of unsaved work live. Each running window has a slot of its
// own, a folder under the recovery folder held by an advisory lock for as
// long as the window lives, so that two windows never overwrite each
// other's copy. A slot whose lock anybody can take belongs to a program
// that ended without removing it: its copy is an orphan, offered at the
// next start. Declined copies are set aside, not deleted.
#include "copy_meta.h"
#include <QString>
#include <vector>

namespace recovery {

QString imageIn(const QString& dir); // <dir>/recovery.bmp
QString metaIn(const QString& dir);  // <dir>/recovery.ini
QString discardedFolder(const QString& root);

// Holds an advisory lock on a file (flock: the system drops it when the
// process ends, however it ends).
class FolderLock {
public:
    FolderLock() = default;
    FolderLock(FolderLock&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FolderLock& operator=(FolderLock&& other) noexcept;
    ~FolderLock() { release(); }
    // Takes the lock of file (created when missing); false when another
    // open file holds it.
    bool tryLock(const QString& file);
    void release();
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// The slot of one running window; made on first use.
class OwnSlot {
public:
    explicit OwnSlot(const QString& root) : m_root(root) {}
    ~OwnSlot(); // removes the slot when it holds no copy, then releases it
    OwnSlot(const OwnSlot&) = delete;
    OwnSlot& operator=(const OwnSlot&) = delete;

    // Makes the folder and takes its lock; false when that is impossible.
    bool ensure();
    QString dir() const { return m_dir; }
    bool hasCopy() const;
    // Writes meta beside the picture (replacing the old one in one step).
    bool writeMeta(const Meta& meta);
    // Removes the copy (and the slot's folder; it is made again when needed).
    void removeCopy();
    // Takes the copy held in another folder as this slot's own.
    bool adopt(const QString& otherDir);

private:
    QString m_root;
    QString m_dir;
    FolderLock m_lock;
};

// A copy left by a window that no longer runs; its slot stays locked while
// this object lives, so that no other start offers it at the same time.
struct OrphanCopy {
    QString dir;
    Meta meta; // the time falls back on the picture's date
    FolderLock lock;
    QString image() const { return imageIn(dir); }
};

// Every orphaned copy under root, newest first. Slots left without a copy,
// and the half-written ".part" pictures of ended programs, are removed on
// the way; running windows' slots are never touched.
std::vector<OrphanCopy> claimOrphans(const QString& root);
// Removes the orphan's slot with its copy.
void removeOrphan(OrphanCopy& orphan);
// Moves the orphan's copy into the discarded folder, then prunes that.
bool setAside(OrphanCopy& orphan, const QString& root, const QDateTime& now);
// Keeps the newest keep copies set aside within maxAgeDays; removes the rest.
void pruneDiscarded(const QString& root, const QDateTime& now, int keep = 3, int maxAgeDays = 7);

} // namespace recovery
