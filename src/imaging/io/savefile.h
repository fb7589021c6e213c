#pragma once
// Writing a file safely (a temporary file beside the target, renamed over it
// when complete) while remembering why a write failed: the system's error
// number of the first failed open, write, flush or commit, told to the user
// in Japanese.
#include <QSaveFile>
#include <QString>

namespace gf5::io {

class CheckedSaveFile : public QSaveFile {
public:
    explicit CheckedSaveFile(const QString& name) : QSaveFile(name) {}

    bool open(OpenMode mode) override;
    // Finishes the file; false when any write failed or the file cannot be
    // put in place.
    bool commit();

    // The system's error number of the first failure, 0 when none was seen.
    int systemError() const { return m_errno; }
    // Why writing failed, in Japanese: the system's reason when one was
    // recorded, otherwise `fallback` (the writer's own words).
    QString failureReason(const QString& fallback = QString()) const;

protected:
    qint64 writeData(const char* data, qint64 len) override;

private:
    void record(int err);
    int m_errno = 0;
};

// The common causes of a failed write in Japanese; other errors get a
// general sentence with the system's own text.
QString writeErrorText(int err);

} // namespace gf5::io
