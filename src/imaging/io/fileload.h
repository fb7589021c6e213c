#pragma once
// Reading a picture file's bytes on a worker thread while the caller keeps
// reporting progress, so that a slow source (a network folder) or a file
// that is still being written never holds the caller in a read it cannot
// leave: the caller can cancel at every report, and an abandoned read ends
// on its own. Only regular files are read (see openRegularFile).
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace gf5::io {

struct LoadedFile {
    QByteArray bytes;
    QString error; // empty on success, in words for the user
    bool cancelled = false;
    bool diverted = false; // the records went to a RecordSink; bytes holds none
};

// Records of fixed size in a file (a picture's rows), taken on the reading
// thread as the bytes arrive instead of being kept: the file's data then
// pass through a small buffer, never through memory as a whole.
struct RecordSink {
    qint64 offset = 0;    // where the first record starts
    qint64 stride = 0;    // bytes from one record to the next (> 0)
    qint64 count = 0;     // records (> 0)
    qint64 lastBytes = 0; // bytes of the last record needed (it may end short of stride)
    // Takes records [first, first + n), stride bytes apart, on the reading
    // thread; false ends the read with error set. It must hold what it
    // writes to: a cancelled caller may be gone while it runs.
    std::function<bool(qint64 first, qint64 n, const uchar* data, QString& error)> take;
    // Called on the calling thread, in order, with (i + 1) * 100 / count
    // whenever that changes as record i is taken (and again while a slow
    // read waits); false cancels.
    std::function<bool(int percent)> progress;
};

// What a read does with a file once its head has arrived: hand its records
// to sink, end with error, or (neither) keep the bytes as usual.
struct Diversion {
    std::shared_ptr<RecordSink> sink;
    QString error;
};
// Asked once, on the calling thread, with the first bytes read and the
// file's size then. A file that turns out shorter than the records need is
// read again whole without asking.
using Divert = std::function<Diversion(const uchar* head, qint64 headSize, qint64 fileSize)>;

// How long a read waits for a file that is still being written. A file
// whose bytes end short of a whole picture is watched while another process
// has it open for writing, or, where that cannot be told (a network
// folder), for probeMs when it changed within the last second. A file that
// grows is followed until it has not grown for settleMs; its bytes are then
// judged as they are.
struct GrowthPatience {
    int probeMs = 200;
    int settleMs = 3000;
};

// Reads path whole (or its first `limit` bytes when limit > 0). report, when
// given, is called on the calling thread about every 50 ms while the read
// takes longer than a moment, with the percent of the bytes read so far, and
// returns false to cancel.
// divert, when given (and no limit), is asked what to do with the file once
// its head has arrived.
LoadedFile loadFile(const QString& path, const std::function<bool(int)>& report, qint64 limit = 0,
                    const GrowthPatience& patience = GrowthPatience(), const Divert& divert = nullptr);

// Whether the bytes end as a whole file of their format does (JPEG's end
// marker, PNG's end chunk, the length a BMP states). Other formats, whose
// end cannot be told so, count as whole.
bool looksWhole(const uchar* data, qint64 size);

} // namespace gf5::io
