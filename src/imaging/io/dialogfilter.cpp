// The type choices of the open and save dialogs.
#include "imaging/io/dialogfilter.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace gf5::io {

namespace {

struct Kind {
    QString label;
    QStringList exts;
};

Kind kindOf(const QString& ext)
{
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return {QStringLiteral("JPEG画像"), {QStringLiteral("jpg"), QStringLiteral("jpeg")}};
    if (ext == QLatin1String("pdf"))
        return {QStringLiteral("PDF文書"), {ext}};
    if (ext == QLatin1String("dxf"))
        return {QStringLiteral("DXF 図面"), {ext}};
    if (ext == QLatin1String("svg"))
        return {QStringLiteral("SVG 図面"), {ext}};
    return {ext.toUpper() + QStringLiteral("画像"), {ext}};
}

// Drawings are written from the picture but are no pictures themselves: the
// save dialog offers them on their own, never under 画像, and the open dialog
// not at all.
bool isDrawing(const QString& ext)
{
    return ext == QLatin1String("dxf") || ext == QLatin1String("svg");
}

// "*.jpg *.JPG *.jpeg *.JPEG": the dialogs match names case-sensitively.
QStringList patternsOf(const QStringList& exts)
{
    QStringList patterns;
    for (const QString& e : exts)
        patterns << "*." + e << "*." + e.toUpper();
    return patterns;
}

} // namespace

QString dialogFilter(const QString& types, bool save)
{
    QList<Kind> kinds;
    QStringList seen;
    for (const QString& part : types.split(';', Qt::SkipEmptyParts)) {
        const QString ext = part.trimmed().toLower().remove(QStringLiteral("*.")).remove('.');
        if (ext.isEmpty() || ext == QLatin1String("*") || (!save && (ext == QLatin1String("pdf") || isDrawing(ext))))
            continue;
        const Kind kind = kindOf(ext);
        if (seen.contains(kind.exts.first()))
            continue;
        seen << kind.exts.first();
        kinds << kind;
    }
    if (kinds.isEmpty())
        kinds = {kindOf("jpg"), kindOf("png"), kindOf("bmp")};
    QStringList all;
    QStringList entries;
    for (const Kind& k : kinds) {
        if (!isDrawing(k.exts.first()))
            all << patternsOf(k.exts);
        entries << QStringLiteral("%1 (%2)").arg(k.label, patternsOf(k.exts).join(' '));
    }
    entries.prepend(QStringLiteral("画像 (%1)").arg(all.join(' ')));
    entries << QStringLiteral("すべてのファイル (*)");
    return entries.join(QStringLiteral(";;"));
}

QString withChosenExtension(const QString& name, const QString& chosenFilter)
{
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty() || name.endsWith('.'))
        return name;
    // Only a choice of one type names an extension: its patterns all share it.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    QStringList exts;
    for (auto it = pattern.globalMatch(chosenFilter); it.hasNext();) {
        const QString ext = it.next().captured(1).toLower();
        if (!exts.contains(ext))
            exts << ext;
    }
    const bool oneType = exts.size() == 1 || (exts == QStringList{"jpg", "jpeg"});
    return oneType ? name + '.' + exts.first() : name;
}

} // namespace gf5::io
