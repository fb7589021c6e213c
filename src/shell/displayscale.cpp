// The "表示" frame: fitted, actual size, fixed factors or a percentage.
#include "form1.h"
#include "scale.h"
#include <QComboBox>
#include <QRadioButton>

void Form1::selectOption1(int index)
{
    Option1[index]->setChecked(true);
    Option1_Click(index);
}

void Form1::Option1_Click(int index)
{
    SavedSelLeft = Gf5Disp1->SelectionLeft();
    SavedSelTop = Gf5Disp1->SelectionTop();
    SavedSelRight = Gf5Disp1->SelectionRight();
    SavedSelBottom = Gf5Disp1->SelectionBottom();
    Gf5Disp1->setDisplayMode(0);
    Gf5Disp1->Refresh();

    static const double factors[6] = {0, 1.0, 0.5, 1.5, 2.0, 4.0};
    if (index == 0) {
        Gf5Disp1->setZoomMode(0);
        cmbDispPer->setEnabled(false);
    } else if (index >= 1 && index <= 5) {
        Gf5Disp1->setZoomMode(2);
        Gf5Disp1->setZoomFactor(factors[index]);
        cmbDispPer->setEnabled(false);
    } else if (index == 6) {
        Gf5Disp1->setZoomMode(2);
        cmbDispPer->setEnabled(true);
        Gf5Disp1->setZoomFactor(scale::factorFromPercent(cmbDispPer->currentText()));
    }

    Gf5Disp1->setDisplayMode(1);
    Gf5Disp1->Refresh();
    Form_Paint();
    if (SavedSelRight > 0 || SavedSelBottom > 0) {
        restoreSavedSelection();
        Gf5Disp1->SetFocus();
    }
}

void Form1::restoreSavedSelection()
{
    if (SavedSelRight <= 0 && SavedSelBottom <= 0)
        return;
    Gf5Disp1->setSelectionLeft(SavedSelLeft);
    Gf5Disp1->setSelectionTop(SavedSelTop);
    Gf5Disp1->setSelectionRight(SavedSelRight);
    Gf5Disp1->setSelectionBottom(SavedSelBottom);
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
}

void Form1::cmbDispPer_Click()
{
    Option1[6]->setChecked(true);
    Option1_Click(6);
}
