#include "print_size_dialog.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include "scale/scale_entry.h"

namespace documents {
int32_t PrintSize = 0;
int32_t PrintImageWidth = 0;
int32_t PrintImageHeight = 0;
PrintLayout PrintChoice = PrintLayout::Square;
QSizeF PrintActualSizeMm;
int32_t PrintScaleDenominator = 0;
}

std::function<void(PrintSizeDialog&)> PrintSizeDialog::showOverride;

namespace {
constexpr int kSizes[6] = {0, 5, 7, 10, 12, 15};
}

PrintSizeDialog::PrintSizeDialog(QWidget* owner) : QDialog(owner)
{
    setObjectName("Form4");
    setWindowTitle("印刷のサイズ");
    setModal(true);
    setFixedSize(300, 360);

    auto label = [this](const QString& text, int x, int y, int w) {
        auto* l = new QLabel(text, this);
        l->setGeometry(x, y, w, 20);
        return l;
    };
    label("元の画像サイズは", 16, 10, 200);
    const char* captions[3] = {"", "Width   ：", "Ｈｅｉｇｈｔ ："};
    for (int i = 1; i <= 2; ++i) {
        label(captions[i], 30, 10 + 26 * i, 90);
        txtImageSize[i] = new QLineEdit(this);
        txtImageSize[i]->setObjectName(QString("Text1(%1)").arg(i));
        txtImageSize[i]->setGeometry(120, 10 + 26 * i, 80, 22);
        txtImageSize[i]->setReadOnly(true);
    }
    label("印刷するサイズを指定してください", 16, 92, 270);

    auto* frame = new QGroupBox("印刷サイズ", this);
    frame->setGeometry(16, 116, 170, 230);
    // Largest at the top, smallest at the bottom.
    for (int i = 5; i >= 1; --i) {
        optSquareSize[i] = new QRadioButton(QString("%1cm×%1cm").arg(kSizes[i]), frame);
        optSquareSize[i]->setObjectName(QString("Option1(%1)").arg(i));
        optSquareSize[i]->setGeometry(16, 24 + 28 * (5 - i), 140, 24);
    }
    // Below the squares: the whole image, on the whole paper or at its own size.
    optFitPaper = new QRadioButton("用紙に合わせる", frame);
    optFitPaper->setObjectName("optFitPaper");
    optFitPaper->setGeometry(16, 24 + 28 * 5, 140, 24);
    optFitPaper->setToolTip("画像全体を用紙いっぱいに、縦横の比率を保って印刷");
    optActualSize = new QRadioButton("原寸", frame);
    optActualSize->setObjectName("optActualSize");
    optActualSize->setGeometry(16, 24 + 28 * 6, 140, 24);

    // What 原寸 means for a scaled plan: the scale it comes out at.
    lblPrintScale = new QLabel(this);
    lblPrintScale->setObjectName("lblPrintScale");
    lblPrintScale->setGeometry(200, 300, 95, 40);
    lblPrintScale->setWordWrap(true);
    lblPrintScale->setEnabled(false);
    connect(optActualSize, &QRadioButton::toggled, lblPrintScale, &QLabel::setEnabled);

    const char* buttons[3] = {"", "OK", "キャンセル"};
    for (int i = 1; i <= 2; ++i) {
        btnRet[i] = new QPushButton(buttons[i], this);
        btnRet[i]->setObjectName(QString("btnRet(%1)").arg(i));
        btnRet[i]->setGeometry(200, 160 + 40 * (i - 1), 85, 30);
        connect(btnRet[i], &QPushButton::clicked, this, [this, i] { btnRet_Click(i); });
    }
    btnRet[1]->setDefault(true);
}

void PrintSizeDialog::Form_Load()
{
    txtImageSize[1]->setText(QString::number(documents::PrintImageWidth));
    txtImageSize[2]->setText(QString::number(documents::PrintImageHeight));
    documents::PrintSize = 0;
    documents::PrintChoice = documents::PrintLayout::Square;
    // A choice is always made, so OK always prints the whole picture.
    optFitPaper->setChecked(true);
    QString actual = "開いたとき（スキャンしたとき）の解像度のとおりの大きさで印刷";
    const QSizeF mm = documents::PrintActualSizeMm;
    if (!mm.isEmpty())
        actual += QString("（%1×%2mm）").arg(mm.width(), 0, 'f', 1).arg(mm.height(), 0, 'f', 1);
    const int n = documents::PrintScaleDenominator;
    lblPrintScale->setText(n > 0 ? scale::printScaleText(n) : QString());
    if (n > 0)
        actual += "\n" + scale::printScaleText(n);
    optActualSize->setToolTip(actual);
}

void PrintSizeDialog::btnRet_Click(int index)
{
    documents::PrintChoice = documents::PrintLayout::Square;
    if (index == 2) {
        documents::PrintSize = 0;
    } else {
        for (int i = 1; i <= 5; ++i) {
            if (optSquareSize[i]->isChecked()) {
                documents::PrintSize = kSizes[i];
                break;
            }
        }
        if (optFitPaper->isChecked())
            documents::PrintChoice = documents::PrintLayout::FitPaper;
        else if (optActualSize->isChecked())
            documents::PrintChoice = documents::PrintLayout::ActualSize;
    }
    if (index == 2)
        reject();
    else
        accept();
}

void PrintSizeDialog::showModal()
{
    Form_Load();
    if (showOverride) {
        showOverride(*this);
        return;
    }
    exec();
}
