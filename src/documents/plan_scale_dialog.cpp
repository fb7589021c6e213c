#include "plan_scale_dialog.h"
#include "scale/resolution_rules.h"
#include "scale/scale_entry.h"
#include "shell/messages.h"
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

std::function<void(PlanScaleDialog&)> PlanScaleDialog::showOverride;
std::function<void(CalibrationDialog&)> CalibrationDialog::showOverride;

namespace {
QComboBox* scaleBox(QWidget* parent, const QString& name, int scaleDenominator)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->addItems(scale::standardScaleTexts());
    box->setCurrentText(scale::scaleText(scaleDenominator));
    box->setToolTip(QStringLiteral("一覧から選ぶか、1/150 のように入力します"));
    return box;
}

QString dpiText(double dpi)
{
    // Whole resolutions without decimals; a calibrated one to a tenth.
    return std::abs(dpi - std::round(dpi)) < 0.05 ? QString::number(std::lround(dpi))
                                                   : QString::number(dpi, 'f', 1);
}

// OK and キャンセル at the bottom right.
QHBoxLayout* buttonRow(QDialog* d, QPushButton*& ok, QPushButton*& cancel, const QString& prefix)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    ok = new QPushButton(QStringLiteral("OK"), d);
    ok->setObjectName(prefix + "Ok");
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("キャンセル"), d);
    cancel->setObjectName(prefix + "Cancel");
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    return row;
}
} // namespace

PlanScaleDialog::PlanScaleDialog(QWidget* owner, double dpi, int scaleDenominator, const QString& assumedNote)
    : QDialog(owner)
{
    setObjectName("frmPlanScale");
    setWindowTitle(QStringLiteral("縮尺と解像度"));
    setModal(true);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("縮尺"), this), 0, 0);
    cmbScale = scaleBox(this, "cmbPlanScale", scaleDenominator);
    grid->addWidget(cmbScale, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("解像度"), this), 1, 0);
    txtDpi = new QLineEdit(dpiText(dpi), this);
    txtDpi->setObjectName("txtPlanDpi");
    txtDpi->setToolTip(QStringLiteral("%1〜%2dpi").arg(scale::kLeastDpi).arg(scale::kMostDpi));
    grid->addWidget(txtDpi, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("dpi"), this), 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    auto* note = new QLabel(QStringLiteral("画像の画素はそのままで、図面の縮尺と解像度だけを設定します。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    if (!assumedNote.isEmpty()) {
        auto* assumed = new QLabel(assumedNote, this);
        assumed->setObjectName("lblAssumedResolution");
        assumed->setWordWrap(true);
        layout->addWidget(assumed);
    }
    layout->addLayout(buttonRow(this, btnOk, btnCancel, "btnPlanScale"));
    connect(btnOk, &QPushButton::clicked, this, &PlanScaleDialog::tryAccept);
}

void PlanScaleDialog::tryAccept()
{
    const std::optional<int> n = scale::parseScale(cmbScale->currentText());
    if (!n) {
        messages::show(this, QStringLiteral("縮尺は 1/100 のように入力してください。"));
        return;
    }
    const std::optional<double> dpi = scale::parseResolution(txtDpi->text());
    if (!dpi) {
        messages::show(this, QStringLiteral("解像度は %1〜%2 の数で入力してください。")
                                 .arg(scale::kLeastDpi)
                                 .arg(scale::kMostDpi));
        return;
    }
    m_scale = *n;
    m_dpi = *dpi;
    accept();
}

bool PlanScaleDialog::run()
{
    if (showOverride) {
        showOverride(*this);
        return result() == QDialog::Accepted;
    }
    return exec() == QDialog::Accepted;
}

CalibrationDialog::CalibrationDialog(QWidget* owner, int spanPx, int scaleDenominator)
    : QDialog(owner), m_span(spanPx)
{
    setObjectName("frmCalibration");
    setWindowTitle(QStringLiteral("寸法で合わせる"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* span = new QLabel(QStringLiteral("選択範囲の長い辺：%1 ピクセル").arg(spanPx), this);
    span->setObjectName("lblCalibrationSpan");
    layout->addWidget(span);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("実際の寸法"), this), 0, 0);
    txtLength = new QLineEdit(this);
    txtLength->setObjectName("txtKnownLength");
    txtLength->setPlaceholderText(QStringLiteral("例 3640"));
    grid->addWidget(txtLength, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("縮尺"), this), 1, 0);
    cmbScale = scaleBox(this, "cmbCalibrationScale", scaleDenominator);
    grid->addWidget(cmbScale, 1, 1);
    layout->addLayout(grid);
    auto* note = new QLabel(QStringLiteral("選択範囲がこの寸法になるように解像度を設定します（画素はそのまま）。"), this);
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addLayout(buttonRow(this, btnOk, btnCancel, "btnCalibration"));
    connect(btnOk, &QPushButton::clicked, this, &CalibrationDialog::tryAccept);
}

void CalibrationDialog::tryAccept()
{
    const std::optional<double> length = scale::parseLength(txtLength->text());
    const std::optional<int> n = scale::parseScale(cmbScale->currentText());
    QString problem;
    if (!length)
        problem = QStringLiteral("寸法は 0 より大きい数で入力してください。");
    else if (!n)
        problem = QStringLiteral("縮尺は 1/100 のように入力してください。");
    else
        problem = scale::calibrationProblem(m_span, *length, *n);
    std::optional<double> dpi;
    if (problem.isEmpty()) {
        dpi = scale::calibratedDpi(m_span, *length, *n);
        problem = dpi ? scale::resolutionRangeProblem(*dpi) : QStringLiteral("寸法を確かめてください。");
    }
    if (!problem.isEmpty()) {
        messages::show(this, problem);
        return;
    }
    m_dpi = *dpi;
    m_scale = *n;
    accept();
}

bool CalibrationDialog::run()
{
    if (showOverride) {
        showOverride(*this);
        return result() == QDialog::Accepted;
    }
    return exec() == QDialog::Accepted;
}
