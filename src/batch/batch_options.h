#pragma once
// The command line of zorvat-batch: what to do to each picture and where
// the results go.
#include <QString>
#include <QStringList>
#include <optional>

namespace batch {

struct Options {
    // Steps, applied in this order.
    bool whiten = false;
    bool removeUnderlay = false;
    bool denoise = false;
    bool deskew = false;
    bool grey = false;
    int resizeLongSide = 0; // 0: keep the size
    int margin = 0;         // white pixels added on every side
    int dpi = 0;            // 0: keep the resolution
    // Each picture's wall map, after the steps, as DIR/<name>.walls.json;
    // without -o or --in-place no picture is written.
    QString wallsDir;
    // Output.
    QString format;         // "jpg", "png", "bmp", "pdf"; empty: the input's own
    int quality = 75;       // JPEG quality
    QString outDir;
    bool inPlace = false;
    int jobs = 0;           // pictures worked on at once; 0: one per core
    // Vector files of the walls read from each result, one per input in
    // each folder given; the picture itself is then written only with -o
    // or --in-place.
    QString dxfDir;
    QString svgDir;
    int scale = 100;        // the plans are drawn at 1/scale
    bool json = false;      // one JSON line per file on standard output
    // Pictures that would take more than a gigabyte while worked on are
    // refused unless this is given (the window asks instead).
    bool allowLarge = false;
    QStringList files;      // the command line's files, then those of --files-from
    QString filesFrom;      // a list of files, one per line; "-": standard input
    // Internal: this process works on files[0] alone and writes `output`.
    bool worker = false;
    QString output;

    bool writesPicture() const { return inPlace || !outDir.isEmpty() || (worker && !output.isEmpty()); }
    bool writesVectors() const { return !dxfDir.isEmpty() || !svgDir.isEmpty(); }
};

struct Parsed {
    Options options;
    bool help = false;
    QString error; // in Japanese and English; empty when the line is usable
};

// args without the program name. A --files-from list is not read here (see
// readFileList), so parsing stays free of input and output.
Parsed parseArguments(const QStringList& args);

// The file names listed in text, one per line (a carriage return before the
// line end and empty lines ignored).
QStringList fileListFrom(const QByteArray& text);

// The arguments that make a worker process do the steps of `options` on
// one input and write `output`.
QStringList workerArguments(const Options& options, const QString& input, const QString& output);

// Usage text, Japanese first, then English.
QString helpText();

// True for the formats the tool writes: jpg, png, bmp, pdf.
bool knownFormat(const QString& format);

} // namespace batch
