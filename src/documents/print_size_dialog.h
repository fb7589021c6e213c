#pragma once
// The print-size window "印刷のサイズ": shows the canvas image's size in
// pixels and offers five square print sizes, the whole paper and the image's
// own size. The choice goes into PrintSize and PrintChoice.
#include "print_layout.h"
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace documents {
// Shared with the main window: the chosen edge in centimetres (0 = cancelled
// or nothing chosen) and the size of the image to print.
extern int32_t PrintSize;
extern int32_t PrintImageWidth;
extern int32_t PrintImageHeight;
// The layout chosen: Square with PrintSize, or one of the whole-image
// layouts (PrintSize 0 then). Square when cancelled.
extern PrintLayout PrintChoice;
// The image's size on paper at its own resolution, in millimetres, for the
// 原寸 tooltip (empty: not known).
extern QSizeF PrintActualSizeMm;
// The plan's drawing scale (1:n) that 原寸 prints at; 0 when not known.
extern int32_t PrintScaleDenominator;
}

class PrintSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit PrintSizeDialog(QWidget* owner);

    std::array<QLineEdit*, 3> txtImageSize{};       // indexes 1 (width), 2 (height)
    std::array<QRadioButton*, 6> optSquareSize{};  // indexes 1..5: 5, 7, 10, 12, 15 cm
    std::array<QPushButton*, 3> btnRet{};    // 1 OK, 2 cancel
    QRadioButton* optFitPaper = nullptr;     // 用紙に合わせる
    QRadioButton* optActualSize = nullptr;   // 原寸
    QLabel* lblPrintScale = nullptr;         // "1/100 で印刷", live while 原寸 is chosen

    void Form_Load();
    void btnRet_Click(int index);

    // Loads and shows the window modally. When showOverride is set (tests,
    // scripted runs) it is called with the loaded window instead of showing
    // it, and may press its buttons.
    void showModal();
    static std::function<void(PrintSizeDialog&)> showOverride;
};
