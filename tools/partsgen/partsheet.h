#pragma once
// Drawing the parts of the library: every part is drawn at one scale,
// 1 pixel = 10 mm of the building, which is 1:100 on a page printed at
// 254 dots per inch (0.1 mm per dot). Lines are aliased pure black on pure
// white, so the editor's white-transparent paste and underlay removal treat
// the parts as plan.
#include <QImage>
#include <QPainter>
#include <QString>
#include <functional>
#include <vector>

namespace partsgen {

// Millimetres of the building in pixels of a part.
constexpr int mm(int millimetres) { return (millimetres + 5) / 10; }

// Line widths in pixels: outlines of fittings and furniture, door leaves,
// walls and frames, and fine detail.
constexpr int kThin = 1;
constexpr int kLeaf = 2;
constexpr int kFrame = 3;

// The margin of white around every part.
constexpr int kBorder = 2;

struct Part {
    QString name;  // file name without extension, words joined by "_"
    QImage image;  // Indexed8, two grey levels used: 0 and 255
};

using Drawing = std::function<void(QPainter&)>;

// Draws on a white sheet of w x h pixels, then makes the part: every pixel
// black or white, cropped to what was drawn with kBorder white pixels round it,
// stored as 8-bit grey at 254 dpi.
Part makePart(const QString& name, int w, int h, const Drawing& draw);

// Pens and brushes of the plan style.
QPen pen(int width, Qt::PenStyle style = Qt::SolidLine);
void useThin(QPainter& p);
void useLeaf(QPainter& p);

// Shapes used by several parts.
void arrow(QPainter& p, QPointF from, QPointF to, int head = 6);
void quarterArc(QPainter& p, QPointF centre, int radius, int startDegrees);

std::vector<Part> doorsAndWindows();
std::vector<Part> stairsAndMarks();
std::vector<Part> furniture();
// Appliances, the entrance, columns, shafts and the car.
std::vector<Part> fixturesAndMarks();
std::vector<Part> roomNames();
// The font family of the room names.
QString letteringFamily();
// text in the library's lettering at pixels per em (Latin enlarged to the
// kanji's height), pure black on white with one white pixel round it.
QImage letteringImage(const QString& text, int pixels, bool vertical = false);

// A part's base name: its name up to the first "_" ("片開き戸_800_右" -> "片開き戸").
QString baseName(const QString& partName);
// The search words file of parts: one line per base name, "name<TAB>words"
// with the readings and synonyms the search also matches, sorted by name.
QString searchWords(const std::vector<Part>& parts);
bool writeSearchWords(const std::vector<Part>& parts, const QString& path, QString* error);

// Writes every part as "<folder>/<name>.bmp"; false with a message on failure.
bool writeParts(const std::vector<Part>& parts, const QString& folder, QString* error);

} // namespace partsgen
