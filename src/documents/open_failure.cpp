#include "open_failure.h"
#include "imaging/io/gf5file.h"
#include "shell/messages.h"
#include <QFileInfo>

namespace documents {

QString openFailureText(const QString& path, const QString& reason)
{
    return QStringLiteral("「%1」を開けませんでした。\n%2")
        .arg(QFileInfo(path).fileName(), reason.isEmpty() ? QStringLiteral("原因不明のエラー") : reason);
}

void reportOpenFailure(QWidget* parent, const gf5::Gf5File& file)
{
    if (file.Declined)
        return;
    messages::show(parent, openFailureText(file.FileName, file.LastError));
}

} // namespace documents
