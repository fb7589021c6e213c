#include "command_line.h"

#ifndef ZORVAT_VERSION
#define ZORVAT_VERSION "unknown"
#endif

namespace command_line {

namespace {

// Options QApplication takes for itself; the second group takes a value in
// the next argument (or after "=").
const char* const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};
const char* const kQtWithValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
                                    "style", "stylesheet", "session", "display", "geometry", "title", "name",
                                    "qwindowgeometry", "qwindowtitle", "qwindowicon", "qwindowflags"};

// The option's name without its dashes and any "=value" (Qt accepts one or two dashes).
QString optionName(const QString& arg)
{
    QString name = arg.mid(arg.startsWith("--") ? 2 : 1);
    const qsizetype eq = name.indexOf('=');
    return eq < 0 ? name : name.left(eq);
}

template <size_t N>
bool among(const QString& name, const char* const (&list)[N])
{
    for (const char* n : list)
        if (name == QLatin1String(n))
            return true;
    return false;
}

} // namespace

Parsed parse(const QStringList& args)
{
    Parsed out;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.startsWith('-')) {
            out.files << arg;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            out.action = Action::Help;
            out.message = usageText();
            return out;
        }
        if (arg == "-v" || arg == "--version") {
            out.action = Action::Version;
            out.message = versionText();
            return out;
        }
        const QString name = optionName(arg);
        if (among(name, kQtFlags))
            continue;
        if (among(name, kQtWithValue)) {
            if (!arg.contains('='))
                ++i; // its value
            continue;
        }
        out.action = Action::Error;
        out.message = QStringLiteral("zorvat: 不明なオプションです: %1\n"
                                     "使い方は zorvat --help で表示します。\n")
                          .arg(arg);
        return out;
    }
    return out;
}

QString usageText()
{
    return QStringLiteral("使い方: zorvat [オプション] [ファイル]\n"
                          "間取り図の画像エディタ。ファイルを指定するとその画像を開いて始め、\n"
                          "指定しないときは白紙の画像で始めます。\n"
                          "\n"
                          "  -h, --help     この説明を表示して終了します\n"
                          "  -v, --version  版を表示して終了します\n"
                          "  --             これ以降はすべてファイル名として扱います\n");
}

QString versionText() { return QStringLiteral("zorvat %1\n").arg(QLatin1String(ZORVAT_VERSION)); }

} // namespace command_line
