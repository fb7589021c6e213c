#pragma once
// Telling the user why a picture could not be opened.
#include <QString>

class QWidget;

namespace gf5 {
class Gf5File;
}

namespace documents {

// The message for a picture at path that could not be opened, and why.
QString openFailureText(const QString& path, const QString& reason);

// Shows why file's last read failed, unless the user chose to stop it (a
// cancel, or no to the large-picture question): nothing to tell then.
void reportOpenFailure(QWidget* parent, const gf5::Gf5File& file);

} // namespace documents
