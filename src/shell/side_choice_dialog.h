#pragma once
// The side-choice window "問合せ": two lines of question, two answers and
// "キャンセル". The answer's index (0 when cancelled or closed) is written
// into the caller's variable. The hand is on the keypad when it opens, so
// keypad 8, 2, 4 and 6 pick the answer captioned 上側, 下側, 左側 or 右側 and
// Escape cancels; no button is the default or has the focus at first, so
// Enter and Space pick nothing, nor does the keypad with Num Lock off.
#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

class SideChoiceDialog : public QDialog {
    Q_OBJECT
public:
    SideChoiceDialog(QWidget* owner, int16_t& sideChoice);
    std::array<QLabel*, 3> lblQuestion{};       // indexes 1, 2
    std::array<QPushButton*, 3> btnAnswer{}; // 0 cancel, 1 and 2 the answers
    void btnAnswer_Click(int index);

    // Shows the window modally. When answerOverride is set (tests, scripted
    // runs) it is called instead of showing and its result is the answer.
    void ask();
    static std::function<int(SideChoiceDialog&)> answerOverride;

    // The answer caption a keypad key stands for ("上側" for keypad 8), or an
    // empty string for any other key.
    static QString sideForKey(int qtKey, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // Picks the answer whose caption the key names; false when none does.
    bool answerFromKey(const QKeyEvent* e);
    int16_t& m_sideChoice;
};
