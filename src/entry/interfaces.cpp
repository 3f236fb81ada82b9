#include "entry/interfaces.h"

namespace trelvan {

std::string boxName(int box) { return "Text" + std::to_string(box); }

void KeptTexts::setText(int box, const std::string& text) {
    if (box >= 1 && box < boxCount) current_[box] = text;
    shown_.setText(box, text);
}

void KeptTexts::actionEnded(bool completed) {
    for (int box = 1; box < boxCount; ++box) {
        if (completed) {
            completed_[box] = current_[box];
        } else if (current_[box] != completed_[box]) {
            current_[box] = completed_[box];
            shown_.setText(box, current_[box]);
        }
    }
    shown_.actionEnded(completed);
}

}  // namespace trelvan
