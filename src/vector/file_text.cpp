#include "vector/file_text.h"
#include <QSaveFile>
#include <charconv>
#include <cmath>

namespace vectors {

std::string decimalText(double v, int decimals, bool keepPoint)
{
    if (!std::isfinite(v) || std::fabs(v) < 0.5 * std::pow(10.0, -decimals))
        v = 0;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        r = std::to_chars(buf, buf + sizeof buf, 0.0, std::chars_format::fixed, decimals);
    const char* end = r.ptr;
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            end += keepPoint ? 1 : -1;
    }
    return std::string(static_cast<const char*>(buf), end);
}

WriteResult writeWhole(const QString& path, const QByteArray& bytes)
{
    WriteResult result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        result.error = QStringLiteral("%1 を書き込めませんでした。").arg(path);
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace vectors
