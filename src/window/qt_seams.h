#pragma once
// The window's side of the core's seams: the modal input box, the message box, and
// the text boxes of the main window.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include <QSettings>
#include <QString>

#include "entry/interfaces.h"
#include "window/placement.h"

class QLineEdit;
class QWidget;

namespace trelvan {

// The input box: the prompt (wrapped when long), an empty edit field, OK and
// Cancel, the program's title. It stands where it hides nothing the operator must
// see (placeInputBox): the window says what that is. Cancel, Escape and closing the
// box are a Cancel; OK and Enter return the typed text, the empty text included.
class InputBoxPrompter : public Prompter {
public:
    // What surrounds an input box that asks about `box` (0: none), or that pauses
    // the listing.
    using SceneSource = std::function<InputBoxScene(int box, bool pause)>;

    explicit InputBoxPrompter(QWidget* parent) : parent_(parent) {}
    void setScene(SceneSource scene) { scene_ = std::move(scene); }

    Reply ask(const std::string& prompt) override { return open(prompt, 0, false); }
    Reply askAbout(const std::string& prompt, int box) override { return open(prompt, box, false); }
    Reply askPause(const std::string& prompt) override { return open(prompt, 0, true); }

private:
    Reply open(const std::string& prompt, int box, bool pause);
    QWidget* parent_;
    SceneSource scene_;
};

// The program's own messages, one modal message box each: a warning for refusals and
// failures, information for a success.
// A window that says what the operator must still see stands each box where it
// hides none of it, as an input box that pauses the listing stands.
class MessageBoxMessages : public Messages {
public:
    explicit MessageBoxMessages(QWidget* parent) : parent_(parent) {}
    void setScene(std::function<InputBoxScene()> scene) { scene_ = std::move(scene); }
    void say(const std::string& message) override;
    void inform(const std::string& message) override;

private:
    void show(int icon, const std::string& message);
    QWidget* parent_;
    std::function<InputBoxScene()> scene_;
};

// Text1..Text32 of the main window. A write replaces the whole text and shows its
// beginning, however long it is; a text wider than its box is also its tooltip. A
// write takes off the box's 检核 marks: they belonged to the text before.
class LineEditBoxes : public TextBoxes {
public:
    void attach(int box, QLineEdit* edit);
    QLineEdit* edit(int box) const;
    void setText(int box, const std::string& text) override;

private:
    std::array<QLineEdit*, textBoxCount + 1> edits_{};  // index 0 unused
};

// File dialogs are Qt's own, which speak Chinese like the rest of the program (a
// desktop's native one would speak the desktop's language). Both are empty when the
// operator cancels.
//
// Asks for an existing file to open, in `folder` (the home folder when empty).
QString chooseOpenFile(QWidget* parent, const QString& title, const QStringList& filters,
                       const QString& folder);
// Asks where to save a file: `filters` as "PDF 文件 (*.pdf)", the chosen type's suffix
// added to a name typed without one, `suggested` the name offered.
QString chooseSaveFile(QWidget* parent, const QString& title, const QStringList& filters,
                       const QString& suggested);

// The program's settings in the user's settings folder: the recent jobs, the folder
// last used, the places of the windows.
QSettings programSettings();

// A question answered 是 or 否 (是 offered).
bool askYesNo(QWidget* parent, const QString& question);

// The frame the window system puts around a window: measured on a window that is
// shown, estimated for one that is not yet.
QMargins windowFrame(const QWidget* window);

// Text boxes whose writes can be held back while nobody can see them (when a job's
// replies answer every input box, none is shown and nothing is painted until the
// action ends) and shown at once when the action ends: every box ends as it would
// have, without laying out each text that only passed through it.
class HeldTexts : public TextBoxes {
public:
    explicit HeldTexts(TextBoxes& shown) : shown_(shown) {}
    void hold() { held_ = true; }
    // Shows the last text held for each box, and holds no more.
    void release();
    void setText(int box, const std::string& text) override;
    void actionEnded(bool completed) override;

private:
    TextBoxes& shown_;
    bool held_ = false;
    std::array<std::optional<std::string>, textBoxCount + 1> pending_;  // index 0 unused
};

}  // namespace trelvan
