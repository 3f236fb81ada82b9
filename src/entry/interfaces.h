#pragma once
// The three small seams between the core and a front end: the input box, the text
// boxes of the window, and the program's own messages. The window, batch mode and
// the tests each implement them.

#include <string>
#include <string_view>

namespace trelvan {

struct Reply {
    enum class Kind { Text, Cancel, EndOfInput };
    Kind kind = Kind::Text;
    std::string text;  // UTF-8; only for Kind::Text

    static Reply typed(std::string t) { return {Kind::Text, std::move(t)}; }
    static Reply cancel() { return {Kind::Cancel, {}}; }
    static Reply endOfInput() { return {Kind::EndOfInput, {}}; }
};

// A modal input box: shows the prompt with an empty edit field, OK and Cancel.
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Reply ask(const std::string& prompt) = 0;
    // The same prompt, told which text box shows the value it asks for or confirms
    // (0: none), so that an input box standing over the window can keep that box in
    // sight. A prompter with nothing to place asks as plainly.
    virtual Reply askAbout(const std::string& prompt, int box) {
        (void)box;
        return ask(prompt);
    }
    // The pause before each listed point. Any reply continues; where the input can
    // end (batch mode) its end reads as an empty reply.
    virtual Reply askPause(const std::string& prompt) { return ask(prompt); }
};

// The text boxes Text1..Text32 of the main window, addressed by number. A write
// replaces the whole text.
inline constexpr int textBoxCount = 32;

class TextBoxes {
public:
    virtual ~TextBoxes() = default;
    virtual void setText(int box, const std::string& text) = 0;
    // The Compute action has ended: completed, or abandoned (a failure, a Cancel, the
    // end of the input). Called before the action's closing message, if any. Boxes an
    // operator looks at then show again what the last completed action left on them;
    // a transcript writes nothing for it.
    virtual void actionEnded(bool completed) { (void)completed; }
};

// Keeps the text of every box and what the last completed action left there. After
// an abandoned action it writes the latter back through the boxes it wraps, so that
// they agree with the record that Print would print.
class KeptTexts : public TextBoxes {
public:
    explicit KeptTexts(TextBoxes& shown) : shown_(shown) {}
    void setText(int box, const std::string& text) override;
    void actionEnded(bool completed) override;

private:
    static constexpr int boxCount = textBoxCount + 1;  // index 0 unused
    TextBoxes& shown_;
    std::string current_[boxCount];
    std::string completed_[boxCount];
};

// The program's own messages: why a reply was refused, why an action was abandoned.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void say(const std::string& message) = 0;
    // A message that reports success, such as a report saved. Where messages have
    // kinds (a message box's icon) it reads as information, not as a warning;
    // elsewhere it is said like any other.
    virtual void inform(const std::string& message) { say(message); }
};

// "Text" followed by the number, as the window names its boxes.
std::string boxName(int box);

}  // namespace trelvan
