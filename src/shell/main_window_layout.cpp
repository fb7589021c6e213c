// Builds the main window's controls at their design positions.
#include "main_window.h"
#include "icons.h"
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabBar>
#include <vector>

using icons::Icon;

namespace {

template <typename T>
T* place(T* w, const QString& name, int x, int y, int width, int height)
{
    w->setObjectName(name);
    w->setGeometry(x, y, width, height);
    return w;
}

QString indexed(const char* name, int index) { return QString("%1(%2)").arg(name).arg(index); }

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                    int w, int h, const QString& tip = {})
{
    auto* b = place(new QPushButton(caption, parent), name, x, y, w, h);
    b->setToolTip(tip);
    return b;
}

QPushButton* iconButton(QWidget* parent, const QString& name, Icon icon, int x, int y, int size,
                        const QString& tip = {})
{
    auto* b = place(new QPushButton(parent), name, x, y, size, size);
    b->setIcon(icons::make(icon));
    b->setIconSize(QSize(size - 6, size - 6));
    b->setToolTip(tip);
    return b;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y, int w, int h)
{
    return place(new QLabel(text, parent), name, x, y, w, h);
}

// Puts rows of option buttons in columns from left to right, starting at
// top: each column is as wide as its widest caption and the room left over
// is shared out between the columns, so no caption runs into the next button.
void placeInColumns(const std::vector<std::vector<QRadioButton*>>& rows, int left, int right, int top)
{
    constexpr int rowHeight = 20, height = 18;
    std::vector<int> widths;
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) {
            widths.resize(std::max(widths.size(), c + 1));
            widths[c] = std::max(widths[c], row[c]->sizeHint().width());
        }
    int used = 0;
    for (int w : widths)
        used += w;
    const int spare = std::max(0, right - left - used) / int(widths.size());
    for (size_t r = 0; r < rows.size(); ++r) {
        int x = left;
        for (size_t c = 0; c < rows[r].size(); ++c) {
            rows[r][c]->setGeometry(x, top + int(r) * rowHeight, widths[c] + spare, height);
            x += widths[c] + spare;
        }
    }
}

QComboBox* combo(QWidget* parent, const QString& name, const QStringList& items, const QString& text,
                 int x, int y, int w, int h, const QString& tip = {})
{
    auto* c = place(new QComboBox(parent), name, x, y, w, h);
    c->setEditable(true);
    c->addItems(items);
    c->setEditText(text);
    c->setToolTip(tip);
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

} // namespace

void MainWindow::buildToolbar()
{
    picToolbar = place(new QFrame(this), "Picture1", 0, 0, 775, 25);
    static_cast<QFrame*>(picToolbar)->setFrameShape(QFrame::StyledPanel);
    int x = 4;
    auto tool = [&](const QString& name, Icon icon, const QString& tip) {
        auto* b = iconButton(picToolbar, name, icon, x, 1, 23, tip);
        b->setFlat(true);
        x += 25;
        return b;
    };
    btnOpen = tool("Command1", Icon::Open, "ファイルを開きます");
    btnSave[0] = tool("Command2(0)", Icon::Save, "上書き保存（Ctrl + S）");
    btnSave[1] = tool("Command2(1)", Icon::SaveAs, "名前を付けて保存");
    btnNewImage = tool("btnNewImage", Icon::NewImage, "新規イメージ（600×600の白紙）");
    btnSaveVertion = tool("btnSaveVertion", Icon::Revert, "保存バージョンに戻ります");
    x += 8;
    btnScan = tool("btnScan", Icon::Scan, "スキャナから読み込みます");
    btnPrintOut = tool("btnPrintOut", Icon::Print, "印刷します");
    x += 8;
    btnHelp = tool("btnHelp", Icon::Help, "ヘルプ");
    btnQuit = tool("Command3", Icon::Exit, "終了します");
    lblAppName = label(picToolbar, "Picture3", "Zorvat", 700, 3, 70, 19);
    lblAppName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void MainWindow::buildControlPanel()
{
    frmCntrlMain = place(new QFrame(this), "frmCntrlMain", 525, 30, 238, 475);
    QWidget* p = frmCntrlMain;

    // Current colour and its values.
    lblCurrentColour = label(p, "Label6", "現在色", 0, 3, 40, 16);
    lblColor = label(p, "lblColor", "", 40, 1, 26, 20);
    lblColor->setFrameShape(QFrame::Box);
    lblColor->setAutoFillBackground(true);
    for (int i = 0; i < 3; ++i) {
        lblRGB[i] = label(p, indexed("lblRGB", i), "", 70 + i * 36, 3, 34, 16);
        lblRGB[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    btnColorDialog = iconButton(p, "btnColorDialog", Icon::Palette, 180, 0, 24,
                                "現在色を指定するためにダイアログを開きます");
    btnFillMode = iconButton(p, "Command6", Icon::FillMode, 208, 0, 24,
                          "クリック後のメッセージを参考にして下さい");

    // Edit commands.
    btnColorPic = button(p, "btnColorPic", "色の取得", 0, 27, 62, 24);
    btnUndo = iconButton(p, "btnUndo", Icon::Undo, 66, 27, 24, "アンドゥ（1回だけです）");
    btnClipCopy = iconButton(p, "btnClipCopy", Icon::Copy, 94, 27, 24,
                             "Ctrl + C　（選択範囲をクリップボードへ）");
    btnClipPaste = iconButton(p, "btnClipPaste", Icon::Paste, 122, 27, 24,
                              "Ctrl + V （クリップボードから挿入します）");
    btnClipSet = button(p, "btnClipSet", "貼", 150, 27, 24, 24, "ショートカットから「貼付決定」");
    picHidden = label(p, "Picture2", "", 0, 0, 1, 1);
    picHidden->hide();

    // Display scale.
    frmDisplayScale = place(new QGroupBox("表示", p), "Frame1", 0, 57, 35, 250);
    const char* scaleCaptions[7] = {"ﾌｨｯﾄ", "実寸", "×0.5", "×1.5", "×2", "×4", "他"};
    for (int i = 0; i < 7; ++i) {
        optDisplayScale[i] = place(new QRadioButton(scaleCaptions[i], frmDisplayScale), indexed("Option1", i),
                           1, 18 + i * 26, 34, 24);
        // The column is narrow: the chosen scale is shown as a highlighted caption.
        optDisplayScale[i]->setStyleSheet("QRadioButton { font-size: 8pt; padding-left: 1px; }"
                                  "QRadioButton::indicator { width: 0px; height: 0px; }"
                                  "QRadioButton:checked { background: #3a6fd8; color: white; }");
    }
    cmbDispPer = combo(p, "cmbDispPer", {"20", "40", "60", "80", "120", "300"}, "80", 0, 310, 35, 22);
    cmbDispPer->setStyleSheet("QComboBox { font-size: 8pt; padding-left: 1px; }"
                              "QComboBox::drop-down { width: 9px; }");
    label(p, "Label7", "%", 14, 334, 16, 16);

    // Tool panels.
    tabPanels = place(new QTabBar(p), "TabStrip1", 36, 57, 202, 24);
    tabPanels->addTab("編集");
    tabPanels->addTab("部品");
    tabPanels->addTab("イフェクト");
    tabPanels->setExpanding(true);
    for (int i = 0; i < 3; ++i) {
        frmTab[i] = place(new QFrame(p), indexed("frmTab", i), 36, 81, 202, 394);
        frmTab[i]->setFrameShape(QFrame::StyledPanel);
    }
    buildEditPanel(frmTab[0]);
    buildPartsPanel(frmTab[1]);
    buildEffectsPanel(frmTab[2]);
}

void MainWindow::buildEditPanel(QFrame* panel)
{
    QWidget* p = panel;
    // Text.
    label(p, "Label1", "文字の編集", 4, 2, 100, 16);
    txtmoji = combo(p, "txtmoji",
                    {"洋室", "和室", "LDK", "DK", "リビング", "台所", "玄関", "廊下", "押入", "収納",
                     "クローゼット", "トイレ", "浴室", "洗面", "バルコニー", "ベランダ", "(6)", "(8)", "(4.5)"},
                    "洋室", 4, 19, 112, 22);
    btnMojiIn = button(p, "btnMojiIn", "文字貼付", 120, 19, 76, 22, "「**」という文字を貼付け");
    chkTate = place(new QCheckBox("縦", p), "chkTate", 4, 43, 44, 18);
    chkBold = place(new QCheckBox("太字", p), "chkBold", 52, 43, 56, 18);
    chkBold->setChecked(true);
    chkBack = place(new QCheckBox("透過", p), "chkBack", 112, 43, 56, 18);

    // Lines and shapes.
    label(p, "Label2", "線の編集", 4, 64, 100, 16);
    const Icon fillIcons[18] = {
        Icon::FillBox, Icon::Box, Icon::EdgeTop, Icon::EdgeBottom, Icon::EdgeLeft, Icon::EdgeRight,
        Icon::DiagonalUp, Icon::DiagonalDown, Icon::QuarterBottomRight, Icon::QuarterTopRight,
        Icon::QuarterBottomLeft, Icon::QuarterTopLeft, Icon::Circle, Icon::RoundBox,
        Icon::HalfUp, Icon::HalfDown, Icon::HalfLeft, Icon::HalfRight};
    const char* fillTips[18] = {
        "選択範囲の中を塗り潰します", "選択範囲のBOX線を引きます", "Insertキー（選択範囲の上線を引く）",
        "Deleteキー（選択範囲の下線を引く）", "Homeキー（選択範囲の左線を引く）",
        "PageUpキー（選択範囲の右線を引く）", "Endキー（選択範囲のクロス線を引く）",
        "PageDownキー（選択範囲のクロス線を引く）", "", "", "", "", "円を描画する", "角の取れた四角線を引く",
        "", "", "", ""};
    for (int i = 0; i < 18; ++i)
        btnFill[i] = iconButton(p, indexed("btnFill", i), fillIcons[i], 4 + (i % 9) * 21,
                                82 + (i / 9) * 22, 21, fillTips[i]);
    QStringList widths;
    for (int i = 1; i <= 20; ++i)
        widths << QString::number(i);
    cmbWidth = combo(p, "cmbWidth", widths, "2", 4, 130, 46, 22, "線幅（ピクセル値）を指定します");
    cmbPenStyle = combo(p, "cmbPenStyle", {"――", "……", "‐‐‐‐"}, "――", 54, 130, 62, 22,
                        "線の種類を指定します");
    frmLineColour = place(new QGroupBox("線色", p), "Frame3", 120, 124, 78, 46);
    optColorPicMethod[0] = place(new QRadioButton("黒", frmLineColour), "optColorPicMethod(0)", 4, 14, 34, 18);
    optColorPicMethod[0]->setToolTip("線色にRGB(0,0,0)を指定します");
    optColorPicMethod[0]->setChecked(true);
    optColorPicMethod[1] = place(new QRadioButton("指定色", frmLineColour), "optColorPicMethod(1)", 4, 28, 72, 18);
    optColorPicMethod[1]->setToolTip("線色に「現在色」を指定します");

    // Walls.
    label(p, "Label3", "壁の編集", 4, 174, 100, 16);
    frmWallSize = place(new QGroupBox(p), "Frame2", 4, 190, 194, 62);
    const char* sizeCaptions[10] = {"", "■20", "■16", "■12", "■10", "■", "■", "・", "・", "・"};
    for (int i = 1; i <= 9; ++i)
        optSize[i] = place(new QRadioButton(sizeCaptions[i], frmWallSize), indexed("optSize", i),
                           2 + ((i - 1) % 3) * 52, 2 + ((i - 1) / 3) * 19, 52, 18);
    btnArrow[10] = button(frmWallSize, "btnArrow(10)", "R", 160, 18, 30, 26,
                          "現在指定の壁厚で再設定します(R)");

    // On-screen keypad: positions follow the numeric keypad.
    const int kx = 4, ky = 256, ks = 26;
    struct Key { int index; int col; int row; Icon icon; };
    const Key keypad[] = {
        {11, 0, 0, Icon::CornerTopLeft}, {0, 1, 0, Icon::ArrowUp}, {12, 2, 0, Icon::CornerTopRight},
        {2, 0, 1, Icon::ArrowLeft}, {3, 2, 1, Icon::ArrowRight},
        {13, 0, 2, Icon::CornerBottomLeft}, {1, 1, 2, Icon::ArrowDown}, {14, 2, 2, Icon::CornerBottomRight},
    };
    const char* arrowTips[15] = {
        "テンキーの（8）", "テンキーの（2）", "テンキーの（4）", "テンキーの（6）", "テンキーの（5）",
        "壁確定時に（+）", "壁確定時に（-）", "壁確定時に（/）", "壁確定時に（D）", "壁確定時に（H）",
        "現在指定の壁厚で再設定します(R)", "左上のコーナ処理（Cntrl + 7）", "右上のコーナ処理（Cntrl + 9）",
        "左下のコーナ処理（Cntrl + 1）", "右下のコーナ処理（Cntrl + 3）"};
    for (const Key& k : keypad)
        btnArrow[k.index] = iconButton(p, indexed("btnArrow", k.index), k.icon, kx + k.col * ks,
                                       ky + k.row * ks, ks, arrowTips[k.index]);
    btnArrow[4] = button(p, "btnArrow(4)", "始", kx + ks, ky + ks, ks, ks, arrowTips[4]);
    const Icon confirmIcons[5] = {Icon::Plus, Icon::Minus, Icon::Slash, Icon::Door, Icon::SlidingDoor};
    for (int i = 5; i <= 9; ++i)
        btnArrow[i] = iconButton(p, indexed("btnArrow", i), confirmIcons[i - 5],
                                 kx + 3 * ks + 6 + ((i - 5) % 3) * ks, ky + ((i - 5) / 3) * ks, ks,
                                 arrowTips[i]);
    for (int i = 0; i < 15; ++i)
        btnArrow[i]->setFocusPolicy(Qt::NoFocus);

    // Dust clearing beside walls.
    label(p, "Label8", "本線からの距離", 88, 312, 100, 16);
    cmbGomiDot = combo(p, "cmbGomiDot", {"2", "3", "4", "5", "6", "7", "8"}, "4", 88, 330, 50, 22);
    chkGomitori = place(new QCheckBox("周辺のゴミ取", p), "chkGomitori", 88, 356, 110, 18);

    // The tracer's help on the scan's wall map, beside the wall sizes.
    buildTraceAssistSwitch(p);
}

void MainWindow::buildPartsPanel(QFrame* panel)
{
    QWidget* p = panel;
    tabLibrary = place(new QTabBar(p), "TabStrip2", 2, 2, 196, 22);
    tabLibrary->addTab("建具");
    tabLibrary->addTab("文字");
    tabLibrary->setExpanding(true);
    thmParts = place(new gf5::Gf5Thumb(p), "Gf5Thumb1", 2, 24, 196, 160);
    thmParts->setIconSize(QSize(48, 48));
    thmParts->searchBox()->setObjectName("txtBuhinSearch");
    thmParts->searchBox()->setPlaceholderText("部品名で検索");
    thmParts->searchBox()->setToolTip("名前の一部を入れると、その名前の部品だけを表示します");
    dspPreview = place(new gf5::Gf5Disp(p), "Gf5Disp2", 2, 188, 196, 118);
    btnRotate = iconButton(p, "btnRotate", Icon::RotateClockwise, 2, 310, 24, "右回転");
    cmbRotate_2 = combo(p, "cmbRotate_2", {"90", "45", "30", "15"}, "90", 28, 311, 48, 22);
    btnFlip[1] = iconButton(p, "btnFlip(1)", Icon::MirrorLeftRight, 80, 310, 24, "左右反転");
    btnFlip[2] = iconButton(p, "btnFlip(2)", Icon::MirrorTopBottom, 106, 310, 24, "上下反転");
    btnClip2Disp2 = iconButton(p, "btnClip2Disp2", Icon::ClipboardToPreview, 132, 310, 24,
                               "クリップボードから貼付");
    btnBuhinRead = button(p, "btnBuhinRead", "ファイルから読込み", 2, 338, 150, 22);
    chkToka = place(new QCheckBox("純白を透過", p), "chkToka", 2, 364, 96, 18);
    chkKakudai = place(new QCheckBox("白色域拡大", p), "chkKakudai", 100, 364, 98, 18);
}

void MainWindow::buildEffectsPanel(QFrame* panel)
{
    QWidget* p = panel;
    struct Cmd { QPushButton** target; const char* name; const char* caption; };
    const Cmd commands[] = {
        {&btnRGB, "btnRGB", "下絵作成処理"}, {&btnGomiFix, "btnGomiFix", "下絵を取る"},
        {&btnDenoise, "Command5", "ノイズ除去"}, {&btnSharpen, "Command4", "シャープネス"},
        {&btnBlur, "Command9", "ぼかし"}, {&btnMosaic, "Command8", "モザイク"},
        {&btnAntiAlias, "Command11", "アンチエリアス"}, {&btnGreyscale, "Command12", "グレースケール"},
        {&btnContlast, "btnContlast", "コントラスト"}, {&btnBrighten, "Command14", "明度UP"},
        {&btnCut, "btnCut", "指定範囲切出"}, {&btnWhiten, "btnWhiten", "用紙を白く"},
    };
    int i = 0;
    for (const Cmd& c : commands) {
        *c.target = button(p, c.name, c.caption, 2 + (i % 2) * 98, 2 + (i / 2) * 24, 96, 22);
        ++i;
    }
    btnWhiten->setToolTip("紙の明るさを場所ごとに測って割り、紙を白に、線の濃さはそのままにします");
    // Straightening sits with the fine turns it automates.
    btnFineTurn[1] = iconButton(p, "Command13(1)", Icon::RotateClockwise, 2, 146, 22, "右に微回転");
    btnFineTurn[2] = iconButton(p, "Command13(2)", Icon::RotateCounterClockwise, 26, 146, 22, "左に微回転");
    chkBI = place(new QCheckBox("微", p), "chkBI", 52, 148, 44, 18);
    btnDeskew = button(p, "btnDeskew", "傾き補正", 100, 146, 96, 22, "図面の線の傾きを測って、まっすぐに直します");

    cmbRotate = place(new QLineEdit("0", p), "cmbRotate", 2, 172, 40, 22);
    btnRoteteAndTurn[0] = button(p, "btnRoteteAndTurn(0)", "任意回転", 44, 172, 74, 22);
    btnRoteteAndTurn[1] = iconButton(p, "btnRoteteAndTurn(1)", Icon::MirrorLeftRight, 122, 172, 22, "左右反転");
    btnRoteteAndTurn[2] = iconButton(p, "btnRoteteAndTurn(2)", Icon::MirrorTopBottom, 146, 172, 22, "上下反転");
    sldRotateAngle = place(new QSlider(Qt::Horizontal, p), "Slider1", 2, 196, 194, 18);
    sldRotateAngle->setRange(-10, 10);
    sldRotateAngle->setValue(0);

    frmResize = place(new QGroupBox("リサイズ", p), "Frame4", 2, 214, 196, 104);
    const char* resizeCaptions[11] = {"300", "400", "700", "800", "500", " 900", "600",
                                      "1000", "1100", "1200", "1300"};
    for (int k = 0; k < 11; ++k) {
        optResize[k] = place(new QRadioButton(resizeCaptions[k], frmResize), indexed("optResize", k), 0, 0, 0, 0);
        optResize[k]->setStyleSheet("QRadioButton { font-size: 8pt; spacing: 3px; }");
    }
    // In reading order whatever the indexes: 300 400 500 600 / 700 800 900 1000
    // in four columns, the wider 1100 1200 1300 in three.
    const auto& o = optResize;
    placeInColumns({{o[0], o[1], o[4], o[6]}, {o[2], o[3], o[5], o[7]}}, 4, 192, 16);
    placeInColumns({{o[8], o[9], o[10]}}, 4, 192, 56);
    optResize[6]->setChecked(true);
    btnResize = button(frmResize, "Command10", "リサイズ", 100, 78, 90, 22);
    lblResizeUnit = label(frmResize, "Label4", "単位：ﾋﾟｸｾﾙ", 4, 80, 94, 18);

    frmMargin = place(new QGroupBox("余白", p), "Frame5", 2, 320, 196, 66);
    optYohaku[1] = place(new QRadioButton("縦に", frmMargin), "optYohaku(1)", 4, 16, 60, 18);
    optYohaku[2] = place(new QRadioButton("横に", frmMargin), "optYohaku(2)", 66, 16, 60, 18);
    optYohaku[1]->setChecked(true);
    cmbYohaku = combo(frmMargin, "cmbYohaku", {"50", "100", "150", "200", "250", "300"}, "100", 4, 38, 60, 22);
    lblMarginUnit = label(frmMargin, "Label5", "ﾋﾟｸｾﾙ", 66, 40, 40, 18);
    btnYohaku = button(frmMargin, "btnYohaku", "余白増加", 108, 38, 82, 22);
}

void MainWindow::buildEditMenu()
{
    mnuEditDisp = new QMenu("編集メニュー", this);
    mnuEditDisp->setObjectName("mnuEditDisp");
    auto item = [this](const char* name, const char* caption) {
        QAction* a = mnuEditDisp->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    auto bar = [this](const char* name) { mnuEditDisp->addSeparator()->setObjectName(name); };
    mnuEditNuri = item("mnuEditNuri", "この領域を指定色で塗る");
    bar("mnuBar_1");
    mnuEditMojiPaste = item("mnuEditMojiPaste", "文字を張付ける");
    bar("mnuBar_2");
    mnuEditClipCopy = item("mnuEditClipCopy", "選択範囲をクリップボードに");
    bar("mnuBar_3");
    mnuEditClipInsert = item("mnuEditClipInsert", "クリップボードから挿入");
    mnuEditClipPaste = item("mnuEditClipPaste", "貼付け決定");
    mnuEditClipPasteToka = item("mnuEditClipPasteToka", "白を透過して貼付決定");
    bar("mnuBar_4");
    mnuEditAnti = item("mnuEditAnti", "選択範囲にアンチエイリアス");
    mnuEditSave = item("mnuEditSave", "保存");
    mnuEditUndo = item("mnuEditUndo", "アンドゥ");
    // Added below the fixed entries, so that none of them moves.
    mnuEditDisp->addSeparator();
    mnuEditDeskew = item("mnuEditDeskew", "傾き補正");
    mnuEditDeskew->setToolTip("図面の線の傾きを測って、まっすぐに直します");
    mnuEditDisp->setToolTipsVisible(true); // only entries with a tooltip of their own show one
}
