#pragma once
// The window's side of the core's seams: the modal input box, the message box, and
// the text boxes of the main window.

#include <array>
#include <string>

#include "entry/interfaces.h"

class QLineEdit;
class QWidget;

namespace trelvan {

// The input box: the prompt (wrapped when long), an empty edit field, OK and
// Cancel, the program's title, centred over the window. Cancel, Escape and closing
// the box are a Cancel; OK and Enter return the typed text, the empty text included.
class InputBoxPrompter : public Prompter {
public:
    explicit InputBoxPrompter(QWidget* parent) : parent_(parent) {}
    Reply ask(const std::string& prompt) override;

private:
    QWidget* parent_;
};

// The program's own messages, one modal message box each.
class MessageBoxMessages : public Messages {
public:
    explicit MessageBoxMessages(QWidget* parent) : parent_(parent) {}
    void say(const std::string& message) override;

private:
    QWidget* parent_;
};

// Text1..Text32 of the main window. A write replaces the whole text and shows its
// beginning, however long it is.
class LineEditBoxes : public TextBoxes {
public:
    void attach(int box, QLineEdit* edit);
    void setText(int box, const std::string& text) override;

private:
    std::array<QLineEdit*, 33> edits_{};  // index 0 unused
};

}  // namespace trelvan
