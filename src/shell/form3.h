#pragma once
// The side-choice window "問合せ": two lines of question, two answers and
// "キャンセル". The answer's index (0 when cancelled or closed) is written
// into the caller's variable.
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

class Form3 : public QDialog {
    Q_OBJECT
public:
    Form3(QWidget* owner, int16_t& sideChoice);
    std::array<QLabel*, 3> Label1{};       // indexes 1, 2
    std::array<QPushButton*, 3> Command1{}; // 0 cancel, 1 and 2 the answers
    void Command1_Click(int index);

    // Shows the window modally. When answerOverride is set (tests, scripted
    // runs) it is called instead of showing and its result is the answer.
    void ask();
    static std::function<int(Form3&)> answerOverride;

private:
    int16_t& m_sideChoice;
};
