#pragma once
// The type choices of the open and save dialogs.
#include <QString>

namespace gf5::io {

// Builds a file dialog's filter from a type list such as "*;JPG;PNG;BMP;PDF;":
// first every listed type together, then each type alone, then every file.
// The open dialog leaves out PDF, which this layer writes but cannot read.
// An empty list offers the types that can be read.
QString dialogFilter(const QString& types, bool save);

// A name typed without an extension while one type was chosen in the save
// dialog gets that type's extension; any other name is returned as typed.
QString withChosenExtension(const QString& name, const QString& chosenFilter);

} // namespace gf5::io
