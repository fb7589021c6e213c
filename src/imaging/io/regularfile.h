#pragma once
// Opening a file for reading only when it is a regular file. A named pipe,
// a device, a socket or a folder is refused at once with a message: opening
// one could wait for ever for a writer, or read without end.
#include <QFile>
#include <QString>

namespace gf5::io {

// Opens path read-only into file (which must be closed). The check does not
// block: the file is opened without waiting, its kind taken from the open
// descriptor, and only a regular file is kept. False with *error set (in
// words for the user) otherwise.
bool openRegularFile(const QString& path, QFile& file, QString* error);

} // namespace gf5::io
