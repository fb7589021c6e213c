#include "scale_entry.h"
#include "resolution_rules.h"
#include <QRegularExpression>
#include <cmath>

namespace scale {

namespace {
// Full-width digits, slash, colon and point as ASCII, blanks removed.
QString plain(const QString& text)
{
    QString s = text.normalized(QString::NormalizationForm_KC).trimmed();
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

std::optional<double> number(const QString& s)
{
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}
} // namespace

const std::vector<int>& standardScales()
{
    static const std::vector<int> scales{10, 20, 30, 50, 100, 200, 300, 500, 1000};
    return scales;
}

QString scaleText(int scaleDenominator) { return QStringLiteral("1/%1").arg(scaleDenominator); }

QStringList standardScaleTexts()
{
    QStringList texts;
    for (int n : standardScales())
        texts << scaleText(n);
    return texts;
}

std::optional<int> parseScale(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(?:S=)?(?:1[/:])?(\\d{1,6})$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(plain(text));
    if (!m.hasMatch())
        return std::nullopt;
    const int n = m.captured(1).toInt();
    if (n < 1 || n > 100000)
        return std::nullopt;
    return n;
}

std::optional<double> parseResolution(const QString& text)
{
    QString s = plain(text);
    if (s.endsWith(QStringLiteral("dpi"), Qt::CaseInsensitive))
        s.chop(3);
    const std::optional<double> v = number(s);
    if (!v || *v < kLeastDpi || *v > kMostDpi)
        return std::nullopt;
    return v;
}

std::optional<double> parseLength(const QString& text)
{
    QString s = plain(text);
    if (s.endsWith(QStringLiteral("mm"), Qt::CaseInsensitive))
        s.chop(2);
    // Thousands separators: "3,640".
    static const QRegularExpression grouped(QStringLiteral("^-?\\d{1,3}(,\\d{3})+(\\.\\d*)?$"));
    if (grouped.match(s).hasMatch())
        s.remove(QLatin1Char(','));
    return number(s);
}

QString printScaleText(int scaleDenominator) { return QStringLiteral("%1 で印刷").arg(scaleText(scaleDenominator)); }

int calibrationSpan(const QSize& selection)
{
    return std::max(0, std::max(selection.width(), selection.height()));
}

} // namespace scale

namespace scale {
QString resolutionRangeProblem(double dpi)
{
    if (std::isfinite(dpi) && dpi >= kLeastDpi && dpi <= kMostDpi)
        return {};
    return QStringLiteral("解像度が %1dpi になり、扱える範囲（%2〜%3dpi）を外れます。\n寸法と縮尺を確かめてください。")
        .arg(std::isfinite(dpi) ? QString::number(std::lround(dpi)) : QStringLiteral("∞"))
        .arg(kLeastDpi)
        .arg(kMostDpi);
}
} // namespace scale
