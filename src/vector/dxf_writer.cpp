#include "vector/dxf_writer.h"
#include "vector/file_text.h"
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace vectors {

QString rasterLayerName()
{
    return QStringLiteral("画像");
}

QString rasterPathFor(const QString& dxfPath)
{
    const QFileInfo info(dxfPath);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("_image.png"));
}

namespace {

// ASCII as is; everything else, and control characters that would break the
// line structure, as \U+XXXX (one escape per UTF-16 unit).
std::string dxfString(const QString& s)
{
    std::string out;
    out.reserve(size_t(s.size()));
    static const char hex[] = "0123456789ABCDEF";
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F) {
            out.push_back(char(u));
        } else {
            out += "\\U+";
            for (int shift = 12; shift >= 0; shift -= 4)
                out.push_back(hex[(u >> shift) & 0xF]);
        }
    }
    return out;
}

// Group codes and values, one per line, group codes right-aligned in three
// columns as AutoCAD writes them.
class Tags {
public:
    std::string text;

    void code(int c)
    {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, c);
        for (long pad = 3 - (r.ptr - buf); pad > 0; --pad)
            text.push_back(' ');
        text.append(buf, r.ptr);
        text.push_back('\n');
    }
    void str(int c, std::string_view v)
    {
        code(c);
        text.append(v);
        text.push_back('\n');
    }
    void num(int c, long long v)
    {
        code(c);
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        text.append(buf, r.ptr);
        text.push_back('\n');
    }
    // Fixed point to a millionth: exact enough for millimetres.
    void real(int c, double v)
    {
        code(c);
        text += decimalText(v, 6, true);
        text.push_back('\n');
    }
    void handle(int c, unsigned h)
    {
        code(c);
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, h, 16);
        for (char* p = buf; p < r.ptr; ++p)
            if (*p >= 'a' && *p <= 'f')
                *p = char(*p - 'a' + 'A');
        text.append(buf, r.ptr);
        text.push_back('\n');
    }
    void point(int c, double x, double y, bool withZ = true)
    {
        real(c, x);
        real(c + 10, y);
        if (withZ)
            real(c + 20, 0);
    }
};

// Handles of everything the entities and objects refer to, fixed before
// anything is written.
struct Handles {
    unsigned next = 1;
    unsigned take() { return next++; }

    unsigned vportTable = take(), ltypeTable = take(), layerTable = take(), styleTable = take(),
             viewTable = take(), ucsTable = take(), appidTable = take(), dimstyleTable = take(),
             blockRecordTable = take();
    unsigned vportActive = take(), ltByBlock = take(), ltByLayer = take(), ltContinuous = take();
    unsigned styleStandard = take(), appAcad = take(), dimStandard = take();
    unsigned modelRecord = take(), paperRecord = take();
    unsigned modelBlock = take(), modelEnd = take(), paperBlock = take(), paperEnd = take();
    unsigned rootDict = take(), groupDict = take();
    unsigned imageDict = take(), imageVars = take(), imageDef = take(), imageReactor = take(),
             imageEntity = take();
};

struct LayerDef {
    QString name;
    int colour;
};

void beginSection(Tags& t, std::string_view name)
{
    t.str(0, "SECTION");
    t.str(2, name);
}

void endSection(Tags& t)
{
    t.str(0, "ENDSEC");
}

void beginTable(Tags& t, std::string_view name, unsigned handle, int count)
{
    t.str(0, "TABLE");
    t.str(2, name);
    t.handle(5, handle);
    t.handle(330, 0);
    t.str(100, "AcDbSymbolTable");
    t.num(70, count);
}

void beginRecord(Tags& t, std::string_view type, unsigned handle, unsigned owner, std::string_view subclass,
                 int handleCode = 5)
{
    t.str(0, type);
    t.handle(handleCode, handle);
    t.handle(330, owner);
    t.str(100, "AcDbSymbolTableRecord");
    t.str(100, subclass);
}

void writeTables(Tags& t, Handles& h, const std::vector<LayerDef>& layers, double widthMm, double heightMm)
{
    beginSection(t, "TABLES");

    // One active viewport showing the whole plan.
    beginTable(t, "VPORT", h.vportTable, 1);
    beginRecord(t, "VPORT", h.vportActive, h.vportTable, "AcDbViewportTableRecord");
    t.str(2, "*Active");
    t.num(70, 0);
    t.point(10, 0, 0, false);
    t.point(11, 1, 1, false);
    t.point(12, widthMm / 2, heightMm / 2, false);
    t.point(13, 0, 0, false);
    t.point(14, 10, 10, false);
    t.point(15, 10, 10, false);
    t.point(16, 0, 0);
    t.point(17, 0, 0);
    t.real(40, std::max(heightMm, widthMm * 297 / 420) * 1.05);
    t.real(41, 420.0 / 297.0);
    t.real(42, 50);
    t.real(43, 0);
    t.real(44, 0);
    t.real(50, 0);
    t.real(51, 0);
    t.num(71, 0);
    t.num(72, 1000);
    t.num(73, 1);
    t.num(74, 3);
    t.num(75, 0);
    t.num(76, 0);
    t.num(77, 0);
    t.num(78, 0);
    t.str(0, "ENDTAB");

    beginTable(t, "LTYPE", h.ltypeTable, 3);
    const std::pair<unsigned, std::string_view> ltypes[] = {
        {h.ltByBlock, "ByBlock"}, {h.ltByLayer, "ByLayer"}, {h.ltContinuous, "Continuous"}};
    for (const auto& [handle, name] : ltypes) {
        beginRecord(t, "LTYPE", handle, h.ltypeTable, "AcDbLinetypeTableRecord");
        t.str(2, name);
        t.num(70, 0);
        t.str(3, name == "Continuous" ? "Solid line" : "");
        t.num(72, 65);
        t.num(73, 0);
        t.real(40, 0);
    }
    t.str(0, "ENDTAB");

    beginTable(t, "LAYER", h.layerTable, int(layers.size()));
    for (const LayerDef& layer : layers) {
        beginRecord(t, "LAYER", h.take(), h.layerTable, "AcDbLayerTableRecord");
        t.str(2, dxfString(layer.name));
        t.num(70, 0);
        t.num(62, layer.colour);
        t.str(6, "Continuous");
        t.num(370, -3);
    }
    t.str(0, "ENDTAB");

    beginTable(t, "STYLE", h.styleTable, 1);
    beginRecord(t, "STYLE", h.styleStandard, h.styleTable, "AcDbTextStyleTableRecord");
    t.str(2, "Standard");
    t.num(70, 0);
    t.real(40, 0);
    t.real(41, 1);
    t.real(50, 0);
    t.num(71, 0);
    t.real(42, 2.5);
    t.str(3, "txt");
    t.str(4, "");
    t.str(0, "ENDTAB");

    beginTable(t, "VIEW", h.viewTable, 0);
    t.str(0, "ENDTAB");
    beginTable(t, "UCS", h.ucsTable, 0);
    t.str(0, "ENDTAB");

    beginTable(t, "APPID", h.appidTable, 1);
    beginRecord(t, "APPID", h.appAcad, h.appidTable, "AcDbRegAppTableRecord");
    t.str(2, "ACAD");
    t.num(70, 0);
    t.str(0, "ENDTAB");

    beginTable(t, "DIMSTYLE", h.dimstyleTable, 1);
    t.str(100, "AcDbDimStyleTable");
    beginRecord(t, "DIMSTYLE", h.dimStandard, h.dimstyleTable, "AcDbDimStyleTableRecord", 105);
    t.str(2, "Standard");
    t.num(70, 0);
    t.str(0, "ENDTAB");

    beginTable(t, "BLOCK_RECORD", h.blockRecordTable, 2);
    beginRecord(t, "BLOCK_RECORD", h.modelRecord, h.blockRecordTable, "AcDbBlockTableRecord");
    t.str(2, "*Model_Space");
    beginRecord(t, "BLOCK_RECORD", h.paperRecord, h.blockRecordTable, "AcDbBlockTableRecord");
    t.str(2, "*Paper_Space");
    t.str(0, "ENDTAB");

    endSection(t);
}

void beginEntity(Tags& t, std::string_view type, unsigned handle, unsigned owner, std::string_view layer,
                 bool paper = false)
{
    t.str(0, type);
    t.handle(5, handle);
    t.handle(330, owner);
    t.str(100, "AcDbEntity");
    if (paper)
        t.num(67, 1);
    t.str(8, layer);
}

void writeBlock(Tags& t, unsigned block, unsigned end, unsigned record, std::string_view name, bool paper)
{
    beginEntity(t, "BLOCK", block, record, "0", paper);
    t.str(100, "AcDbBlockBegin");
    t.str(2, name);
    t.num(70, 0);
    t.point(10, 0, 0);
    t.str(3, name);
    t.str(1, "");
    beginEntity(t, "ENDBLK", end, record, "0", paper);
    t.str(100, "AcDbBlockEnd");
}


void writeImage(Tags& t, const Handles& h, const PlanVectors& plan, const std::string& layer)
{
    beginEntity(t, "IMAGE", h.imageEntity, h.modelRecord, layer);
    t.str(100, "AcDbRasterImage");
    t.num(90, 0);
    t.point(10, 0, 0);                    // bottom-left corner of the picture
    t.point(11, plan.mmPerPixel, 0);      // one pixel along x
    t.point(12, 0, plan.mmPerPixel);      // one pixel up
    t.real(13, plan.widthPx);
    t.real(23, plan.heightPx);
    t.handle(340, h.imageDef);
    t.num(70, 3); // shown, also when not aligned with the screen
    t.num(280, 0);
    t.num(281, 50);
    t.num(282, 50);
    t.num(283, 0);
    t.handle(360, h.imageReactor);
    t.num(71, 1);
    t.num(91, 2);
    t.point(14, -0.5, -0.5, false);
    t.point(14, plan.widthPx - 0.5, plan.heightPx - 0.5, false);
}

// An object's opening: its type, handle, owner and subclass.
void beginObject(Tags& t, std::string_view type, unsigned handle, unsigned owner, std::string_view subclass)
{
    t.str(0, type);
    t.handle(5, handle);
    t.handle(330, owner);
    t.str(100, subclass);
}

// A dictionary whose entries are owned by it (hard owner).
void beginDictionary(Tags& t, unsigned handle, unsigned owner)
{
    beginObject(t, "DICTIONARY", handle, owner, "AcDbDictionary");
    t.num(281, 1);
}

void writeObjects(Tags& t, const Handles& h, const PlanVectors& plan, const QString& rasterFileName)
{
    const bool image = !rasterFileName.isEmpty();
    beginSection(t, "OBJECTS");
    beginDictionary(t, h.rootDict, 0);
    t.str(3, "ACAD_GROUP");
    t.handle(350, h.groupDict);
    if (image) {
        t.str(3, "ACAD_IMAGE_DICT");
        t.handle(350, h.imageDict);
        t.str(3, "ACAD_IMAGE_VARS");
        t.handle(350, h.imageVars);
    }
    beginDictionary(t, h.groupDict, h.rootDict);
    if (image) {
        beginDictionary(t, h.imageDict, h.rootDict);
        t.str(3, dxfString(QFileInfo(rasterFileName).completeBaseName()));
        t.handle(350, h.imageDef);

        beginObject(t, "RASTERVARIABLES", h.imageVars, h.rootDict, "AcDbRasterVariables");
        t.num(90, 0);
        t.num(70, 0); // no frame around the picture
        t.num(71, 1); // high quality display
        t.num(72, 0); // no units: the IMAGE entity gives the size

        t.str(0, "IMAGEDEF");
        t.handle(5, h.imageDef);
        t.str(102, "{ACAD_REACTORS");
        t.handle(330, h.imageDict);
        t.handle(330, h.imageReactor);
        t.str(102, "}");
        t.handle(330, h.imageDict);
        t.str(100, "AcDbRasterImageDef");
        t.num(90, 0);
        t.str(1, dxfString(rasterFileName));
        t.point(10, plan.widthPx, plan.heightPx, false);
        t.point(11, plan.mmPerPixel, plan.mmPerPixel, false);
        t.num(280, 1);
        t.num(281, 0);

        beginObject(t, "IMAGEDEF_REACTOR", h.imageReactor, h.imageEntity, "AcDbRasterImageDefReactor");
        t.num(90, 2);
        t.handle(330, h.imageEntity);
    }
    endSection(t);
}

void writeClasses(Tags& t, bool image)
{
    beginSection(t, "CLASSES");
    if (image) {
        struct Cls {
            std::string_view record, cls;
            int flags, entity;
        };
        const Cls classes[] = {{"IMAGE", "AcDbRasterImage", 127, 1},
                               {"IMAGEDEF", "AcDbRasterImageDef", 0, 0},
                               {"IMAGEDEF_REACTOR", "AcDbRasterImageDefReactor", 1, 0},
                               {"RASTERVARIABLES", "AcDbRasterVariables", 0, 0}};
        for (const Cls& c : classes) {
            t.str(0, "CLASS");
            t.str(1, c.record);
            t.str(2, c.cls);
            t.str(3, "ISM");
            t.num(90, c.flags);
            t.num(280, 0);
            t.num(281, c.entity);
        }
    }
    endSection(t);
}

void writeHeader(Tags& t, unsigned handleSeed, double widthMm, double heightMm)
{
    beginSection(t, "HEADER");
    t.str(9, "$ACADVER");
    t.str(1, "AC1015");
    t.str(9, "$DWGCODEPAGE");
    t.str(3, "ANSI_932");
    t.str(9, "$INSBASE");
    t.point(10, 0, 0);
    t.str(9, "$EXTMIN");
    t.point(10, 0, 0);
    t.str(9, "$EXTMAX");
    t.point(10, widthMm, heightMm);
    t.str(9, "$LIMMIN");
    t.point(10, 0, 0, false);
    t.str(9, "$LIMMAX");
    t.point(10, widthMm, heightMm, false);
    t.str(9, "$CLAYER");
    t.str(8, "0");
    t.str(9, "$CELTYPE");
    t.str(6, "ByLayer");
    t.str(9, "$TEXTSTYLE");
    t.str(7, "Standard");
    t.str(9, "$DIMSTYLE");
    t.str(2, "Standard");
    t.str(9, "$LUNITS");
    t.num(70, 2); // decimal
    t.str(9, "$LUPREC");
    t.num(70, 1);
    t.str(9, "$AUNITS");
    t.num(70, 0); // degrees
    t.str(9, "$HANDSEED");
    t.handle(5, handleSeed);
    t.str(9, "$MEASUREMENT");
    t.num(70, 1); // metric
    t.str(9, "$INSUNITS");
    t.num(70, 4); // millimetres
    endSection(t);
}

} // namespace

QByteArray dxfText(const PlanVectors& plan, const QString& rasterFileName)
{
    const bool image = !rasterFileName.isEmpty();
    Handles h;
    std::vector<LayerDef> layers = {{QStringLiteral("0"), 7},
                                    {layerName(Layer::Walls), 7},
                                    {layerName(Layer::Doors), 3},
                                    {layerName(Layer::Openings), 4}};
    if (image)
        layers.push_back({rasterLayerName(), 8});
    std::string layerCode[3] = {dxfString(layerName(Layer::Walls)), dxfString(layerName(Layer::Doors)),
                                dxfString(layerName(Layer::Openings))};
    auto codeOf = [&](Layer l) -> const std::string& { return layerCode[int(l)]; };

    Tags body;
    writeClasses(body, image);
    writeTables(body, h, layers, plan.widthMm, plan.heightMm);

    beginSection(body, "BLOCKS");
    writeBlock(body, h.modelBlock, h.modelEnd, h.modelRecord, "*Model_Space", false);
    writeBlock(body, h.paperBlock, h.paperEnd, h.paperRecord, "*Paper_Space", true);
    endSection(body);

    beginSection(body, "ENTITIES");
    body.text.reserve(body.text.size() + 200 * (plan.polylines.size() + plan.arcs.size()));
    if (image)
        writeImage(body, h, plan, dxfString(rasterLayerName()));
    for (const Polyline& p : plan.polylines) {
        if (p.points.size() == 2 && !p.closed) {
            beginEntity(body, "LINE", h.take(), h.modelRecord, codeOf(p.layer));
            body.str(100, "AcDbLine");
            body.point(10, p.points[0].x, p.points[0].y);
            body.point(11, p.points[1].x, p.points[1].y);
            continue;
        }
        beginEntity(body, "LWPOLYLINE", h.take(), h.modelRecord, codeOf(p.layer));
        body.str(100, "AcDbPolyline");
        body.num(90, int(p.points.size()));
        body.num(70, p.closed ? 1 : 0);
        for (const MmPoint& q : p.points)
            body.point(10, q.x, q.y, false);
    }
    for (const Arc& a : plan.arcs) {
        beginEntity(body, "ARC", h.take(), h.modelRecord, codeOf(a.layer));
        body.str(100, "AcDbCircle");
        body.point(10, a.centre.x, a.centre.y);
        body.real(40, a.radius);
        body.str(100, "AcDbArc");
        body.real(50, a.startDeg);
        body.real(51, a.endDeg);
    }
    endSection(body);

    writeObjects(body, h, plan, rasterFileName);
    body.str(0, "EOF");

    Tags head;
    writeHeader(head, h.next, plan.widthMm, plan.heightMm);
    QByteArray out;
    out.reserve(qsizetype(head.text.size() + body.text.size()));
    out.append(head.text.data(), qsizetype(head.text.size()));
    out.append(body.text.data(), qsizetype(body.text.size()));
    return out;
}

WriteResult writeDxf(const PlanVectors& plan, const QString& path, const QImage* raster)
{
    QString rasterName;
    QString rasterPath;
    if (raster && !raster->isNull()) {
        rasterPath = rasterPathFor(path);
        QByteArray png;
        QBuffer buffer(&png);
        if (!buffer.open(QIODevice::WriteOnly) || !raster->save(&buffer, "PNG"))
            return {false, QStringLiteral("画像 %1 を書き込めませんでした。").arg(rasterPath), {}};
        if (WriteResult written = writeWhole(rasterPath, png); !written.ok)
            return written;
        rasterName = QFileInfo(rasterPath).fileName();
    }
    WriteResult result = writeWhole(path, dxfText(plan, rasterName));
    if (result.ok)
        result.rasterPath = rasterPath;
    return result;
}

} // namespace vectors
