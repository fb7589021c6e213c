#pragma once
// Setting and reading a SANE device's options by name, with the checks a
// device from outside needs (type, size, constraints), and turning the
// rows a device sends into RGB32 pixels.
#include <QString>
#include <QVariant>
#include <QRgb>
#include <sane/sane.h>

namespace gf5::sane {

QString statusText(SANE_Status st);
// Sets one option by name, after checking that it exists, is active and
// settable, and has a type the value can be given as. True on success.
bool setOption(SANE_Handle h, const char* name, const QVariant& value);
// The value of a single-number option, or 0 when there is none.
double numberOption(SANE_Handle h, const char* name);

// Bytes one row of a frame needs at least.
long long neededBytes(const SANE_Parameters& p);
// One row of scanner data into RGB32 pixels. Grey depth 1: bit 1 is black.
// Colour depth 1: each channel bit set is that channel at full strength.
// A single-colour frame of a three-pass scan replaces that channel only.
void convertRow(const uint8_t* src, QRgb* dst, const SANE_Parameters& p);

} // namespace gf5::sane
