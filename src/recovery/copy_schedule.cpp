#include "copy_schedule.h"

namespace recovery {

bool CopySchedule::due(qint64 now, bool unsavedChanges)
{
    if (!unsavedChanges)
        return false;
    if (!m_firstChange)
        m_firstChange = now;
    if (!m_lastCopy)
        return now - *m_firstChange >= firstDelayMs;
    return now - *m_lastCopy >= intervalMs;
}

void CopySchedule::clean()
{
    m_firstChange.reset();
    m_lastCopy.reset();
}

} // namespace recovery
