// Start-up, layout on resize, tool panels, shutdown.
#include "main_window.h"
#include "documents/file_read.h"
#include "documents/large_picture.h"
#include "documents/open_failure.h"
#include "floorplan/trace_assist.h"
#include "progress_window.h"
#include "settings.h"
#include "imaging/store/imagestore.h"
#include "splitfield.h"
#include "status_line.h"
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QSlider>
#include <QTabBar>
#include <QWindow>
#include "shell/window_placement.h"
#include "shell/caption_fit.h"
#include "shell/first_paint.h"

MainWindow::MainWindow(const QStringList& args, const QString& programDir, QWidget* parent)
    : QWidget(parent), m_args(args), m_programDir(programDir)
{
    setObjectName("Form1");
    setWindowTitle("Zorvat");
    resize(775, 512);
    dspCanvas = new gf5::Gf5Disp(this);
    dspCanvas->setObjectName("Gf5Disp1");
    dspCanvas->setGeometry(6, 27, 510, 466);
    lblStatus = new StatusLine(this);
    lblStatus->setObjectName("lblStatus");
    lblStatus->setGeometry(6, 493, 510, 18);
    buildToolbar();
    buildControlPanel();
    buildEditMenu();
    buildPlanScaleControls();
    fileIo.DialogParent = this;
    setCurrentColour(0xFFFFFF);
    connectHandlers();
    connectEditHandlers();
    connectProcessingHandlers();
    connectLibraryHandlers();
    connectScanPrintHandlers();
    installKeyboardRouting();
    installCanvasNavigation();
    captions::shrinkToFit(*this);
    Form_Load();
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
    if (!m_unloaded)
        Form_Unload();
}

void MainWindow::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    PrintDpi = settings::resolutionFromSetting(ReadSetting("print", "dpi"));

    DesignWidth = width();
    DesignHeight = height();
    CanvasLeft = dspCanvas->x();
    CanvasTop = dspCanvas->y();
    PanelWidth = frmCntrlMain->width();
    setMinimumSize(DesignWidth, DesignHeight);

    dspCanvas->setImageHandle(0);
    drawTools.SetPrintMode(0);
    selectDisplayScale(0);
    const int16_t sizes[10] = {0, 20, 16, 12, 10, 8, 7, 7, 7, 7};
    std::copy(std::begin(sizes), std::end(sizes), WallSizeTable.begin());
    tabPanels->setCurrentIndex(0);
    tabPanels_Click();

    // The command line's fields are the program's arguments: paths contain
    // "/", so they are not split further.
    FirstArg = m_args.isEmpty() ? QString() : m_args.first();
    LastArg = m_args.isEmpty() ? QString() : m_args.last();
    // A picture that would take over a gigabyte is read only after asking.
    documents::installLargePictureQuestion(this);
    if (FirstArg.isEmpty())
        btnNewImage_Click();
    else if (!showStandInForFirstFile())
        openFirstFile();
}

QString MainWindow::ReadSetting(const QString& section, const QString& key) const
{
    return settings::readSetting(m_programDir, section, key);
}

void MainWindow::Form_Paint()
{
    dspCanvas->setDisplayMode(2);
    dspCanvas->Refresh();
    dspPreview->setSelectionLeft(0);
    dspPreview->setSelectionTop(0);
    dspPreview->setSelectionRight(0);
    dspPreview->setSelectionBottom(0);
    dspPreview->setDisplayMode(2);
    dspPreview->Refresh();
}

void MainWindow::tabPanels_Click()
{
    const int front = tabPanels->currentIndex();
    for (int i = 0; i < 3; ++i)
        frmTab[i]->setVisible(i == front);
    if (front >= 0 && front < 3)
        frmTab[front]->raise();
}

void MainWindow::sldRotateAngle_Change() { cmbRotate->setText(QString::number(sldRotateAngle->value())); }

void MainWindow::RelayoutWindow(int width, int height)
{
    if (width <= DesignWidth || height <= DesignHeight) {
        if (this->width() != DesignWidth || this->height() != DesignHeight)
            resize(DesignWidth, DesignHeight);
        width = DesignWidth;
        height = DesignHeight;
    }
    frmCntrlMain->move(width - CanvasLeft - PanelWidth, frmCntrlMain->y());
    dspCanvas->setGeometry(CanvasLeft, CanvasTop, width - (PanelWidth + 3 * CanvasLeft),
                          height - (picToolbar->height() + 2 * CanvasLeft + 20));
    lblStatus->setGeometry(CanvasLeft, dspCanvas->geometry().bottom() + 4, dspCanvas->width(), 20);
    dspCanvas->UpdateLayout();
}

void MainWindow::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (!m_loaded || isMinimized())
        return;
    RelayoutWindow(width(), height());
}

void MainWindow::WaitMilliseconds(int32_t ms)
{
    if (ms <= 0)
        return;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (!keepUnsavedWork(true)) {
        e->ignore();
        return;
    }
    placement::saveMainWindowPlacement(*this);
    // A file still being opened at start is not opened into a closing window.
    if (firstFilePending) {
        firstFilePending = false;
        --busyDepth;
    }
    Form_QueryUnload();
    Form_Unload();
    e->accept();
}

void MainWindow::Form_QueryUnload()
{
    // Closes a help viewer of ours that is still open, then lets pending events run.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->windowTitle() == "Zorvatのヘルプ")
            w->close();
    QApplication::processEvents();
}

void MainWindow::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    const int32_t handles[] = {
        dspCanvas->ImageHandle(), dspPreview->ImageHandle(),
        fxCanvas.SourceImage, fxCanvas.ResultImage, fxCanvas.AuxImage,
        fxUndo.SourceImage, fxUndo.ResultImage, fxUndo.AuxImage,
    };
    // Release each image once, even when two owners hold the same handle.
    std::vector<int32_t> released;
    for (int32_t h : handles) {
        if (h == 0 || std::find(released.begin(), released.end(), h) != released.end())
            continue;
        imgInfo.ImageHandle = h;
        imgInfo.FreeImage();
        released.push_back(h);
    }
}

void MainWindow::btnQuit_Click()
{
    if (close())
        QApplication::quit();
}

int32_t MainWindow::currentColour() const
{
    return gf5::rgbToColour(lblColor->palette().color(QPalette::Window).rgb());
}

void MainWindow::setCurrentColour(int32_t colour)
{
    QPalette pal = lblColor->palette();
    pal.setColor(QPalette::Window, QColor(gf5::colourToRgb(colour)));
    lblColor->setPalette(pal);
}
