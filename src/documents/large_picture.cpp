#include "large_picture.h"
#include "imaging/io/gf5file.h"
#include "shell/messages.h"
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace documents {

QString largePictureQuestion(const QString& path, const QSize& size, qint64 bytes)
{
    return QStringLiteral("「%1」は %2 × %3 ピクセルのとても大きな画像です。\n"
                          "開くと約 %4 GB のメモリーを使い、時間がかかることがあります。\n開きますか？")
        .arg(QFileInfo(path).fileName())
        .arg(size.width())
        .arg(size.height())
        .arg(double(bytes) / 1e9, 0, 'f', 1);
}

void installLargePictureQuestion(QWidget* parent)
{
    QPointer<QWidget> owner(parent);
    gf5::Gf5File::largePictureQuestion = [owner](const QString& path, const QSize& size, qint64 bytes) {
        return messages::ask(owner.data(), largePictureQuestion(path, size, bytes));
    };
}

} // namespace documents
