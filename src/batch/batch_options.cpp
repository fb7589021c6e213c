#include "batch/batch_options.h"
#include <QDir>

namespace batch {

namespace {

// A whole number in [low, high] from text, or nothing.
std::optional<int> number(const QString& text, int low, int high)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

} // namespace

bool knownFormat(const QString& format)
{
    return format == "jpg" || format == "png" || format == "bmp" || format == "pdf";
}

Parsed parseArguments(const QStringList& args)
{
    Parsed out;
    Options& o = out.options;
    auto fail = [&](const QString& ja, const QString& en) {
        out.error = ja + "\n" + en;
        return out;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        // Options that take a value: "--name VALUE" or "--name=VALUE".
        QString name = a, value;
        bool hasValue = false;
        if (a.startsWith("--") && a.contains('=')) {
            name = a.left(a.indexOf('='));
            value = a.mid(a.indexOf('=') + 1);
            hasValue = true;
        } else if (a.startsWith("-j") && a.size() > 2) { // -j4, as make and xargs take it
            name = "-j";
            value = a.mid(2);
            hasValue = true;
        }
        auto take = [&]() -> std::optional<QString> {
            if (hasValue)
                return value;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        auto numeric = [&](int low, int high, int& into) -> bool {
            const std::optional<QString> text = take();
            const std::optional<int> v = text ? number(*text, low, high) : std::nullopt;
            if (!v)
                return false;
            into = *v;
            return true;
        };
        if (name == "-h" || name == "--help") {
            out.help = true;
        } else if (name == "--deskew") {
            o.deskew = true;
        } else if (name == "--denoise") {
            o.denoise = true;
        } else if (name == "--whiten") {
            o.whiten = true;
        } else if (name == "--json") {
            o.json = true;
        } else if (name == "--allow-large") {
            o.allowLarge = true;
        } else if (name == "--files-from") {
            const std::optional<QString> f = take();
            if (!f || f->isEmpty())
                return fail("--files-from にはファイル名の一覧（- で標準入力）を指定してください",
                            "--files-from needs a file listing the inputs (- for standard input)");
            o.filesFrom = *f;
        } else if (name == "--remove-underlay") {
            o.removeUnderlay = true;
        } else if (name == "--grey" || name == "--gray") {
            o.grey = true;
        } else if (name == "--in-place") {
            o.inPlace = true;
        } else if (name == "--worker") {
            o.worker = true;
        } else if (name == "--resize") {
            if (!numeric(1, 131072, o.resizeLongSide))
                return fail("--resize には長辺のピクセル数（1〜131072）を指定してください",
                            "--resize needs the long side in pixels (1 to 131072)");
        } else if (name == "--margin") {
            if (!numeric(0, 10000, o.margin))
                return fail("--margin には余白のピクセル数（0〜10000）を指定してください",
                            "--margin needs a width in pixels (0 to 10000)");
        } else if (name == "--dpi") {
            if (!numeric(1, 65535, o.dpi))
                return fail("--dpi には解像度（1〜65535）を指定してください",
                            "--dpi needs a resolution (1 to 65535)");
        } else if (name == "--scale") {
            if (!numeric(1, 100000, o.scale))
                return fail("--scale には縮尺の分母（1/100 なら 100）を指定してください",
                            "--scale needs the drawing scale's denominator (100 for 1:100)");
        } else if (name == "--dxf" || name == "--svg") {
            const std::optional<QString> d = take();
            if (!d || d->isEmpty())
                return fail(QString("%1 には出力フォルダを指定してください").arg(name),
                            QString("%1 needs an output folder").arg(name));
            (name == "--dxf" ? o.dxfDir : o.svgDir) = *d;
        } else if (name == "--quality") {
            if (!numeric(1, 100, o.quality))
                return fail("--quality には JPEG の品質（1〜100）を指定してください",
                            "--quality needs a JPEG quality (1 to 100)");
        } else if (name == "-j" || name == "--jobs") {
            if (!numeric(1, 1024, o.jobs))
                return fail("--jobs には同時に処理する数（1〜1024）を指定してください",
                            "--jobs needs a number of workers (1 to 1024)");
        } else if (name == "--format") {
            const std::optional<QString> f = take();
            o.format = f ? f->toLower() : QString();
            if (o.format == "jpeg")
                o.format = "jpg";
            if (!knownFormat(o.format))
                return fail("--format には jpg、png、bmp、pdf のどれかを指定してください",
                            "--format must be one of jpg, png, bmp, pdf");
        } else if (name == "-o" || name == "--output-dir") {
            const std::optional<QString> d = take();
            if (!d || d->isEmpty())
                return fail("-o には出力フォルダを指定してください", "-o needs an output folder");
            o.outDir = *d;
        } else if (name == "--walls") {
            const std::optional<QString> d = take();
            if (!d || d->isEmpty())
                return fail("--walls には壁の JSON を書くフォルダを指定してください", "--walls needs a folder");
            o.wallsDir = *d;
        } else if (name == "--output") {
            const std::optional<QString> d = take();
            if (!d)
                return fail("--output には出力ファイルを指定してください", "--output needs a file");
            o.output = *d;
        } else if (name == "--") {
            o.files << args.mid(i + 1);
            break;
        } else if (a.startsWith('-') && a.size() > 1) {
            return fail(QString("知らないオプションです: %1").arg(a), QString("unknown option: %1").arg(a));
        } else {
            o.files << a;
        }
    }
    if (out.help)
        return out;
    if (o.files.isEmpty() && o.filesFrom.isEmpty())
        return fail("処理するファイルを指定してください", "no input files given");
    if (o.worker) {
        if (o.files.size() != 1 || (o.output.isEmpty() && !o.writesVectors()))
            return fail("内部エラー: 作業プロセスの引数が不正です", "internal error: bad worker arguments");
        return out;
    }
    if (o.inPlace && !o.outDir.isEmpty())
        return fail("-o と --in-place は同時に指定できません", "-o and --in-place cannot be used together");
    if (!o.inPlace && o.outDir.isEmpty() && o.wallsDir.isEmpty() && !o.writesVectors())
        return fail("出力フォルダを -o で指定してください（入力を置き換えるときは --in-place）",
                    "give an output folder with -o (or --in-place to replace the inputs)");
    return out;
}

QStringList fileListFrom(const QByteArray& text)
{
    QStringList out;
    for (QString line : QString::fromUtf8(text).split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            out << line;
    }
    return out;
}

QStringList workerArguments(const Options& o, const QString& input, const QString& output)
{
    QStringList args{"--worker"};
    if (o.whiten)
        args << "--whiten";
    if (o.removeUnderlay)
        args << "--remove-underlay";
    if (o.denoise)
        args << "--denoise";
    if (o.deskew)
        args << "--deskew";
    if (o.grey)
        args << "--grey";
    if (o.resizeLongSide > 0)
        args << "--resize" << QString::number(o.resizeLongSide);
    if (o.margin > 0)
        args << "--margin" << QString::number(o.margin);
    if (o.dpi > 0)
        args << "--dpi" << QString::number(o.dpi);
    if (!o.format.isEmpty())
        args << "--format" << o.format;
    if (!o.wallsDir.isEmpty())
        args << "--walls" << o.wallsDir;
    if (!o.dxfDir.isEmpty())
        args << "--dxf" << QDir(o.dxfDir).absolutePath();
    if (!o.svgDir.isEmpty())
        args << "--svg" << QDir(o.svgDir).absolutePath();
    if (o.writesVectors())
        args << "--scale" << QString::number(o.scale);
    if (o.allowLarge)
        args << "--allow-large";
    args << "--quality" << QString::number(o.quality);
    if (!output.isEmpty())
        args << "--output" << output;
    args << "--" << input;
    return args;
}

QString helpText()
{
    return QStringLiteral(
        "使い方: zorvat-batch [オプション] -o 出力フォルダ ファイル...\n"
        "        zorvat-batch [オプション] --in-place ファイル...\n"
        "スキャンした図面をまとめて整えます。複数のファイルを全コアで並行して処理します。\n"
        "\n"
        "処理（この順に行います）:\n"
        "  --whiten            用紙を白く（紙の明るさをその場所ごとに測って割り、紙を白に、線の濃さはそのまま）\n"
        "  --remove-underlay   下絵を取る（純粋な灰色以外の画素を白にする）\n"
        "  --denoise           ノイズ除去（0.25 mm 未満のゴミと小さな白抜けを消す）\n"
        "  --deskew            傾き補正（長い直線の傾きを測って、まっすぐに直す）\n"
        "  --grey              グレースケールにする（8 ビットのグレーで書きます。PDF は除く）\n"
        "  --resize 長辺       長い辺がこのピクセル数になるよう縮小・拡大する\n"
        "  --margin PX         上下左右に白い余白を PX ピクセル足す\n"
        "  --dpi N             解像度を N dpi にする\n"
        "出力:\n"
        "  -o 出力フォルダ     結果を書くフォルダ（なければ作ります）\n"
        "  --in-place          入力ファイルを結果で置き換える（書き終えてから入れ替えます）\n"
        "  --format 形式       jpg、png、bmp、pdf（省略時は入力と同じ形式・同じ名前）\n"
        "  --quality Q         JPEG の品質 1〜100（既定 75）\n"
        "  --walls フォルダ    壁・交点・開口を フォルダ/名前.walls.json に書く（-o も --in-place もなければ画像は書きません）\n"
        "  --dxf フォルダ      読み取った壁・建具・開口を DXF 図面（mm、実寸）にして書く\n"
        "  --svg フォルダ      同じく SVG にして書く（-o も --in-place もなければ画像は書きません）\n"
        "  --scale N           図面の縮尺 1/N（DXF・SVG の寸法に使います。既定 100）\n"
        "  -j N, -jN, --jobs N 同時に処理する数（既定: コア数。メモリの半分に収まる数まで）\n"
        "  --files-from 一覧   処理するファイルを一覧（1 行に 1 つ、- で標準入力）から読む\n"
        "  --json              1 ファイルごとに 1 行の JSON を標準出力に書く\n"
        "                      （name、result: ok/failed、reason、seconds）\n"
        "  --allow-large       処理に 1 GB を超えるメモリーを使う大きな画像も処理する\n"
        "                      （指定しなければ理由を表示して飛ばします）\n"
        "  -h, --help          この説明\n"
        "入力ファイルを上書きすることは --in-place のときしかありません。\n"
        "読めないファイルは理由を表示して飛ばし、残りを続けます。失敗があったときは一覧を表示し、\n"
        "終了コード 1 で終わります（引数の誤りは 2）。\n"
        "\n"
        "Usage: zorvat-batch [options] -o OUT_DIR FILE...\n"
        "       zorvat-batch [options] --in-place FILE...\n"
        "Cleans scanned floor plans in bulk, several files at once on all cores.\n"
        "\n"
        "Steps (applied in this order):\n"
        "  --whiten            make the paper white (its brightness is measured locally and\n"
        "                      divided out; ink keeps its darkness)\n"
        "  --remove-underlay   remove the underlay (every pixel that is not pure grey turns white)\n"
        "  --denoise           remove dust and pinholes under 0.25 mm\n"
        "  --deskew            measure the skew of the long straight lines and straighten\n"
        "  --grey              convert to grey scale (written as 8-bit grey, PDF excepted)\n"
        "  --resize LONG_SIDE  scale so that the longer side has LONG_SIDE pixels\n"
        "  --margin PX         add PX white pixels on every side\n"
        "  --dpi N             set the resolution to N dpi\n"
        "Output:\n"
        "  -o OUT_DIR          folder for the results (created when missing)\n"
        "  --in-place          replace each input with its result (atomically)\n"
        "  --format FORMAT     jpg, png, bmp or pdf (default: the input's format and name)\n"
        "  --quality Q         JPEG quality 1 to 100 (default 75)\n"
        "  --walls DIR         write walls, junctions and openings to DIR/NAME.walls.json\n"
        "                      (without -o or --in-place no picture is written)\n"
        "  --dxf DIR           write the walls, doors and openings read from each result as a\n"
        "                      DXF drawing (millimetres at real size)\n"
        "  --svg DIR           the same as SVG (without -o or --in-place no picture is written)\n"
        "  --scale N           the plans' drawing scale 1:N for the DXF and SVG sizes (default 100)\n"
        "  -j N, -jN, --jobs N files worked on at once (default: one per core, as many as\n"
        "                      fit in half the memory)\n"
        "  --files-from LIST   read the input names from LIST, one per line (- : standard input)\n"
        "  --json              one JSON line per file on standard output\n"
        "                      (name, result: ok/failed, reason, seconds)\n"
        "  --allow-large       also work on pictures that take more than 1 GB of memory\n"
        "                      (without it they are reported and skipped)\n"
        "  -h, --help          this text\n"
        "An input is only ever overwritten with --in-place. Unreadable files are reported and\n"
        "skipped; when any file failed, they are listed and the exit code is 1 (2 for a bad\n"
        "command line).\n");
}

} // namespace batch
