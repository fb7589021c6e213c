#pragma once
// Reading a picture file's bytes on a worker thread while the caller keeps
// reporting progress, so that a slow source (a network folder) or a file
// that is still being written never holds the caller in a read it cannot
// leave: the caller can cancel at every report, and an abandoned read ends
// on its own. Only regular files are read (see openRegularFile).
#include <QByteArray>
#include <QString>
#include <functional>

namespace gf5::io {

struct LoadedFile {
    QByteArray bytes;
    QString error; // empty on success, in words for the user
    bool cancelled = false;
};

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
LoadedFile loadFile(const QString& path, const std::function<bool(int)>& report, qint64 limit = 0,
                    const GrowthPatience& patience = GrowthPatience());

// Whether the bytes end as a whole file of their format does (JPEG's end
// marker, PNG's end chunk, the length a BMP states). Other formats, whose
// end cannot be told so, count as whole.
bool looksWhole(const uchar* data, qint64 size);

} // namespace gf5::io
