#pragma once
// Saving the plan as a drawing (DXF or SVG): the walls, doors and openings
// read from the canvas's ink, in millimetres at the plan's scale. The
// document itself stays the picture; a drawing is an export.
#include <QImage>
#include <QString>

namespace documents {

// True for names that ask for a drawing: .dxf and .svg, any case.
bool IsDrawingName(const QString& name);

struct DrawingExport {
    bool ok = false;
    QString message; // in Japanese: what was written (or why not), for the user
    int walls = 0;
};

// Reads the walls of `canvas` at `dpi` and the drawing scale 1:scale and
// writes them to `path` (by its suffix). `dpiFromSettings`: the picture
// stated no resolution of its own and `dpi` is the settings file's, which
// the message notes. A plan without walls gives a valid drawing without wall
// entities, and the message says so.
// With `withPicture`, a DXF also gets the canvas as a PNG beside it (see
// vectors::rasterPathFor) and an SVG embeds it, under the vectors.
DrawingExport exportDrawing(const QImage& canvas, const QString& path, double dpi, bool dpiFromSettings, int scale,
                            bool withPicture = false);

} // namespace documents
