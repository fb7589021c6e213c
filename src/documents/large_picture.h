#pragma once
// The question asked before a picture is read that would take more than a
// gigabyte of memory while it is edited (a small file can describe one: a
// blank 1-bit page of 16000 x 16000 pixels fits in 31 kB).
#include <QSize>
#include <QString>

class QWidget;

namespace documents {

// The question's text, naming the file, the picture's size and the memory.
QString largePictureQuestion(const QString& path, const QSize& size, qint64 bytes);

// Makes every picture read through the imaging layer's file reader ask this
// question (はい to go on) over parent first.
void installLargePictureQuestion(QWidget* parent);

} // namespace documents
