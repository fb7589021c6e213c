// Draws the parts library into <folder>/bihin (fittings and furniture) and
// <folder>/moji (room names), with the names' readings and synonyms in
// <folder>/search_words.tsv. The output depends on nothing but this program
// and the font, so the same build gives the same bytes.
//
//   zorvat_partsgen <folder>
#include "partsheet.h"
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zorvat_partsgen <folder>\n");
        return 2;
    }
    // Without the font the room names would silently come out in another one.
    if (!QFontDatabase::hasFamily(partsgen::letteringFamily())) {
        std::fprintf(stderr, "zorvat_partsgen: font %s is not installed (package fonts-ipafont-gothic)\n",
                     qPrintable(partsgen::letteringFamily()));
        return 1;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    std::vector<partsgen::Part> fittings = partsgen::doorsAndWindows();
    for (auto* more : {&partsgen::stairsAndMarks, &partsgen::furniture, &partsgen::fixturesAndMarks})
        for (partsgen::Part& part : more())
            fittings.push_back(std::move(part));
    const std::vector<partsgen::Part> names = partsgen::roomNames();
    std::vector<partsgen::Part> all = fittings;
    all.insert(all.end(), names.begin(), names.end());
    QString error;
    if (!partsgen::writeParts(fittings, folder + "/bihin", &error)
        || !partsgen::writeParts(names, folder + "/moji", &error)
        || !partsgen::writeSearchWords(all, folder + "/search_words.tsv", &error)) {
        std::fprintf(stderr, "zorvat_partsgen: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
