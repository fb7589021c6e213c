// Start-up, layout on resize, tool panels, shutdown.
#include "form1.h"
#include "form2.h"
#include "settings.h"
#include "imaging/store/imagestore.h"
#include "splitfield.h"
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

Form1::Form1(const QStringList& args, const QString& programDir, QWidget* parent)
    : QWidget(parent), m_args(args), m_programDir(programDir)
{
    setObjectName("Form1");
    setWindowTitle("Zorvat");
    resize(775, 512);
    Gf5Disp1 = new gf5::Gf5Disp(this);
    Gf5Disp1->setObjectName("Gf5Disp1");
    Gf5Disp1->setGeometry(6, 27, 510, 466);
    buildToolbar();
    buildControlPanel();
    buildEditMenu();
    Gf5File1.DialogParent = this;
    setCurrentColour(0xFFFFFF);
    connectHandlers();
    connectEditHandlers();
    connectProcessingHandlers();
    connectLibraryHandlers();
    connectScanPrintHandlers();
    installKeyboardRouting();
    Form_Load();
}

Form1::~Form1()
{
    qApp->removeEventFilter(this);
    if (!m_unloaded)
        Form_Unload();
}

void Form1::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    PrintDpi = settings::resolutionFromSetting(ReadSetting("print", "dpi"));

    DesignWidth = width();
    DesignHeight = height();
    CanvasLeft = Gf5Disp1->x();
    CanvasTop = Gf5Disp1->y();
    PanelWidth = frmCntrlMain->width();
    setMinimumSize(DesignWidth, DesignHeight);

    Gf5Disp1->setImageHandle(0);
    Gf5Print1.SetPrintMode(0);
    selectOption1(0);
    const int16_t sizes[10] = {0, 20, 16, 12, 10, 8, 7, 7, 7, 7};
    std::copy(std::begin(sizes), std::end(sizes), WallSizeTable.begin());
    TabStrip1->setCurrentIndex(0);
    TabStrip1_Click();

    // The command line's fields are the program's arguments: paths contain
    // "/", so they are not split further.
    FirstArg = m_args.isEmpty() ? QString() : m_args.first();
    LastArg = m_args.isEmpty() ? QString() : m_args.last();
    if (!FirstArg.isEmpty()) {
        Gf5File1.FileName = FirstArg;
        Gf5File1.FileOperation = gf5::Gf5File::Read;
        if (Gf5File1.Execute() != 0)
            AdoptLoadedImage(false);
    } else {
        btnNewImage_Click();
    }
    if (!LastArg.isEmpty() && LastArg.contains(".JPG", Qt::CaseInsensitive))
        DocumentPath = LastArg;
}

void Form1::Form_Paint()
{
    Gf5Disp1->setDisplayMode(2);
    Gf5Disp1->Refresh();
    Gf5Disp2->setSelectionLeft(0);
    Gf5Disp2->setSelectionTop(0);
    Gf5Disp2->setSelectionRight(0);
    Gf5Disp2->setSelectionBottom(0);
    Gf5Disp2->setDisplayMode(2);
    Gf5Disp2->Refresh();
}

void Form1::TabStrip1_Click()
{
    const int front = TabStrip1->currentIndex();
    for (int i = 0; i < 3; ++i)
        frmTab[i]->setVisible(i == front);
    if (front >= 0 && front < 3)
        frmTab[front]->raise();
}

void Form1::Slider1_Change() { cmbRotate->setText(QString::number(Slider1->value())); }

void Form1::RelayoutWindow(int width, int height)
{
    if (width <= DesignWidth || height <= DesignHeight) {
        if (this->width() != DesignWidth || this->height() != DesignHeight)
            resize(DesignWidth, DesignHeight);
        width = DesignWidth;
        height = DesignHeight;
    }
    frmCntrlMain->move(width - CanvasLeft - PanelWidth, frmCntrlMain->y());
    Gf5Disp1->setGeometry(CanvasLeft, CanvasTop, width - (PanelWidth + 3 * CanvasLeft),
                          height - (Picture1->height() + 2 * CanvasLeft + 20));
    Gf5Disp1->UpdateLayout();
}

void Form1::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    if (!m_loaded || isMinimized())
        return;
    RelayoutWindow(width(), height());
}

void Form1::WaitMilliseconds(int32_t ms)
{
    if (ms <= 0)
        return;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

void Form1::closeEvent(QCloseEvent* e)
{
    keepUnsavedWork();
    Form_QueryUnload();
    Form_Unload();
    e->accept();
}

void Form1::Form_QueryUnload()
{
    // Closes a help viewer of ours that is still open, then lets pending events run.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->windowTitle() == "Zorvatのヘルプ")
            w->close();
    QApplication::processEvents();
}

void Form1::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    const int32_t handles[] = {
        Gf5Disp1->ImageHandle(), Gf5Disp2->ImageHandle(),
        Gf5Effect1.SourceImage, Gf5Effect1.ResultImage, Gf5Effect1.AuxImage,
        Gf5Effect2.SourceImage, Gf5Effect2.ResultImage, Gf5Effect2.AuxImage,
    };
    // Release each image once, even when two owners hold the same handle.
    std::vector<int32_t> released;
    for (int32_t h : handles) {
        if (h == 0 || std::find(released.begin(), released.end(), h) != released.end())
            continue;
        Gf5Common1.ImageHandle = h;
        Gf5Common1.FreeImage();
        released.push_back(h);
    }
}

void Form1::Command3_Click()
{
    close();
    QApplication::quit();
}

int32_t Form1::currentColour() const
{
    return gf5::rgbToColour(lblColor->palette().color(QPalette::Window).rgb());
}

void Form1::setCurrentColour(int32_t colour)
{
    QPalette pal = lblColor->palette();
    pal.setColor(QPalette::Window, QColor(gf5::colourToRgb(colour)));
    lblColor->setPalette(pal);
}
