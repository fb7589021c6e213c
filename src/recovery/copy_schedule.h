#pragma once
// When the periodic copy of unsaved work is due. The first copy comes soon
// after the first unsaved change, so that little is lost when the program
// dies early; later ones at most every interval while changes continue.
// Times are milliseconds of one monotonic clock.
#include <QtGlobal>
#include <optional>

namespace recovery {

class CopySchedule {
public:
    // Time from the first unsaved change seen to the first copy.
    qint64 firstDelayMs = 0;
    // Shortest time between the end of one copy and the start of the next.
    qint64 intervalMs = 2 * 60 * 1000;

    // Asked at each check: whether a copy should start now. unsavedChanges:
    // the canvas holds work that neither its file nor the copy on disk holds.
    bool due(qint64 now, bool unsavedChanges);
    // A copy was completed at now.
    void copied(qint64 now) { m_lastCopy = now; }
    // The document was saved or opened: the next change is a first one again.
    void clean();

private:
    std::optional<qint64> m_firstChange; // first change seen since clean()
    std::optional<qint64> m_lastCopy;    // last copy since clean()
};

} // namespace recovery
