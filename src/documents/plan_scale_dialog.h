#pragma once
// The two windows that set the plan's real size without touching a pixel:
// "縮尺と解像度" (the drawing scale and the resolution typed or chosen) and
// "寸法で合わせる" (the resolution at which a selected span measures a
// known length at a scale). Each checks what was typed and stays open with
// a message until it can be used.
#include <QDialog>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class PlanScaleDialog : public QDialog {
    Q_OBJECT
public:
    // dpi and scaleDenominator: the plan's now; assumedNote: shown when the
    // resolution is the settings file's (empty otherwise).
    PlanScaleDialog(QWidget* owner, double dpi, int scaleDenominator, const QString& assumedNote);

    QComboBox* cmbScale = nullptr;
    QLineEdit* txtDpi = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    // After acceptance: what was set.
    double chosenDpi() const { return m_dpi; }
    int chosenScale() const { return m_scale; }

    // Checks the fields; accepts the window when they can be used,
    // otherwise tells the user why and stays open.
    void tryAccept();

    // Shows the window modally; true when accepted. When showOverride is
    // set (tests) it is called with the window instead and may fill and
    // press it.
    bool run();
    static std::function<void(PlanScaleDialog&)> showOverride;

private:
    double m_dpi = 0;
    int m_scale = 0;
};

class CalibrationDialog : public QDialog {
    Q_OBJECT
public:
    // spanPx: the selected span's length in pixels.
    CalibrationDialog(QWidget* owner, int spanPx, int scaleDenominator);

    QLineEdit* txtLength = nullptr;
    QComboBox* cmbScale = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnCancel = nullptr;

    double chosenDpi() const { return m_dpi; }
    int chosenScale() const { return m_scale; }

    void tryAccept();
    bool run();
    static std::function<void(CalibrationDialog&)> showOverride;

private:
    int m_span = 0;
    double m_dpi = 0;
    int m_scale = 0;
};
