// Wiring of controls to their handlers, and the window-wide keyboard routing.
#include "main_window.h"
#include "keys.h"
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>

void MainWindow::connectHandlers()
{
    connect(tabPanels, &QTabBar::currentChanged, this, [this] { tabPanels_Click(); });
    connect(sldRotateAngle, &QSlider::valueChanged, this, [this] { sldRotateAngle_Change(); });
    for (int i = 0; i < 7; ++i)
        connect(optDisplayScale[i], &QRadioButton::clicked, this, [this, i] { optDisplayScale_Click(i); });
    connect(cmbDispPer, &QComboBox::activated, this, [this] { cmbDispPer_Click(); });
    connect(cmbDispPer->lineEdit(), &QLineEdit::returnPressed, this, [this] { cmbDispPer_Click(); });
    connect(btnNewImage, &QPushButton::clicked, this, [this] { btnNewImage_Click(); });
    connect(btnOpen, &QPushButton::clicked, this, [this] { btnOpen_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(btnSave[i], &QPushButton::clicked, this, [this, i] { btnSave_Click(i); });
    connect(btnSaveVertion, &QPushButton::clicked, this, [this] { btnSaveVertion_Click(); });
    connect(btnQuit, &QPushButton::clicked, this, [this] { btnQuit_Click(); });
    connect(btnUndo, &QPushButton::clicked, this, [this] { undoCommand(); });
    connect(mnuEditSave, &QAction::triggered, this, [this] { mnuEditSave_Click(); });
    connect(mnuEditUndo, &QAction::triggered, this, [this] { mnuEditUndo_Click(); });
    connect(&fileIo, &gf5::Gf5File::Progress, this, [this](int16_t p) { OnProgress(p); });
    connect(&fxCanvas, &gf5::Gf5Effect::Progress, this, [this](int16_t p) { OnProgress(p); });
}

void MainWindow::connectEditHandlers()
{
    connect(dspCanvas, &gf5::Gf5Disp::CanvasClick, this,
            [this](int b, int x, int y) { dspCanvas_CanvasClick(b, x, y); });
    connect(dspCanvas, &gf5::Gf5Disp::SelectionChanged, this, [this] { dspCanvas_SelectionChanged(); });
    for (int i = 1; i <= 9; ++i)
        connect(optSize[i], &QRadioButton::clicked, this, [this, i] { optSize_Click(i); });
    for (int i = 0; i < 15; ++i)
        connect(btnArrow[i], &QPushButton::clicked, this, [this, i] { btnArrow_Click(i); });
    for (int i = 0; i < 18; ++i)
        connect(btnFill[i], &QPushButton::clicked, this, [this, i] { btnFill_Click(i); });
    connect(btnFillMode, &QPushButton::clicked, this, [this] { btnFillMode_Click(); });
    connect(btnColorPic, &QPushButton::clicked, this, [this] { btnColorPic_Click(); });
    connect(btnColorDialog, &QPushButton::clicked, this, [this] { btnColorDialog_Click(); });
    connect(btnClipCopy, &QPushButton::clicked, this, [this] { btnClipCopy_Click(); });
    connect(btnClipPaste, &QPushButton::clicked, this, [this] { btnClipPaste_Click(); });
    connect(btnClipSet, &QPushButton::clicked, this, [this] { btnClipSet_Click(); });
    connect(btnMojiIn, &QPushButton::clicked, this, [this] { btnMojiIn_Click(); });
    connect(btnAntiAlias, &QPushButton::clicked, this, [this] { btnAntiAlias_Click(); });
    connect(chkGomitori, &QCheckBox::clicked, this, [this] { chkGomitori_Click(); });
    connect(cmbGomiDot, &QComboBox::activated, this, [this] { cmbGomiDot_Click(); });
    connect(cmbPenStyle, &QComboBox::activated, this, [this] { returnFocusToCanvas(); });
    connect(cmbWidth, &QComboBox::activated, this, [this] { returnFocusToCanvas(); });
    for (int i = 0; i < 2; ++i)
        connect(optColorPicMethod[i], &QRadioButton::clicked, this, [this] { returnFocusToCanvas(); });
    connect(mnuEditNuri, &QAction::triggered, this, [this] { mnuEditNuri_Click(); });
    connect(mnuEditMojiPaste, &QAction::triggered, this, [this] { mnuEditMojiPaste_Click(); });
    connect(mnuEditClipCopy, &QAction::triggered, this, [this] { mnuEditClipCopy_Click(); });
    connect(mnuEditClipInsert, &QAction::triggered, this, [this] { mnuEditClipInsert_Click(); });
    connect(mnuEditClipPaste, &QAction::triggered, this, [this] { mnuEditClipPaste_Click(); });
    connect(mnuEditClipPasteToka, &QAction::triggered, this, [this] { mnuEditClipPasteToka_Click(); });
    connect(mnuEditAnti, &QAction::triggered, this, [this] { mnuEditAnti_Click(); });
}

void MainWindow::installKeyboardRouting()
{
    // The window sees every key before its controls, except while a box that
    // takes typed text has the focus (KeyPreview off).
    qApp->installEventFilter(this);
}

namespace {
// Boxes that take typed text (sizes, percentages, margins).
bool isTextEntry(QWidget* w)
{
    if (qobject_cast<QLineEdit*>(w))
        return true;
    auto* combo = qobject_cast<QComboBox*>(w);
    return combo && combo->isEditable();
}
} // namespace

bool MainWindow::ctrlKeyDown() const { return m_inputModifiers & Qt::ControlModifier; }

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();

    // Focus gating of the text boxes: their own handlers switch KeyPreview.
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        QWidget* w = qobject_cast<QWidget*>(watched);
        for (QWidget* box : {static_cast<QWidget*>(txtmoji), static_cast<QWidget*>(cmbRotate),
                             static_cast<QWidget*>(cmbRotate_2)}) {
            if (w && (w == box || box->isAncestorOf(w))) {
                // A combo box's popup list steals the focus briefly; that is not leaving it.
                auto* fe = static_cast<QFocusEvent*>(event);
                if (type == QEvent::FocusIn)
                    KeyPreview = false;
                else if (fe->reason() != Qt::PopupFocusReason)
                    KeyPreview = true;
            }
        }
        return false;
    }

    const bool isDrop = type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride &&
        type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && !isDrop)
        return false;
    QWidget* target = qobject_cast<QWidget*>(watched);
    if (!target || target->window() != this)
        return false;
    if (isDrop) {
        // Nothing may be dropped in while a long operation runs.
        if (busyDepth == 0)
            return false;
        static_cast<QDropEvent*>(event)->ignore();
        return true;
    }

    // While a long operation runs, input to this window waits (the progress
    // window is another window and stays usable).
    if (busyDepth > 0)
        return type != QEvent::ShortcutOverride;

    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick) {
        m_inputModifiers = static_cast<QInputEvent*>(event)->modifiers();
        return false;
    }

    auto* ke = static_cast<QKeyEvent*>(event);
    m_inputModifiers = ke->modifiers();
    if (!KeyPreview)
        return false;
    // Typing goes into a text box; the numeric keypad stays the tracer's.
    if (isTextEntry(target) && !(ke->modifiers() & Qt::KeypadModifier))
        return false;
    const int vk = keys::virtualKey(ke->key(), ke->modifiers());
    if (type == QEvent::ShortcutOverride) {
        // No shortcut may take a key from the keyboard command map.
        if (vk != 0)
            event->accept();
        return false;
    }
    if (type == QEvent::KeyRelease)
        return vk != 0;
    // Modifier keys alone are not commands.
    switch (ke->key()) {
    case Qt::Key_Control: case Qt::Key_Shift: case Qt::Key_Alt: case Qt::Key_Meta:
    case Qt::Key_AltGr: case Qt::Key_NumLock: case Qt::Key_CapsLock:
        return false;
    default:
        break;
    }
    // With Num Lock off the keypad sends navigation keys, which are no
    // commands; the user is told once how to get the keypad back.
    if (keys::isKeypadWithNumLockOff(ke->key(), ke->modifiers()))
        showNumLockHint();
    Form_KeyDown(vk, keys::shiftMask(ke->modifiers()));
    return true;
}
