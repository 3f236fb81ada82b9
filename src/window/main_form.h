#pragma once
// The main window: a fixed form sheet with the chain diagram across the top, framed
// panels of text boxes below it, and the Compute, End and Print buttons.

#include <array>
#include <memory>

#include <QColor>
#include <QLine>
#include <QWidget>

#include "entry/interfaces.h"
#include "state/chain_state.h"
#include "window/print_action.h"
#include "window/qt_seams.h"

class QLineEdit;

namespace trelvan {

// One straight line of the form sheet, as a control of its own so that it can be
// found by name. It draws itself and lets every mouse event through.
class LineControl : public QWidget {
    Q_OBJECT
public:
    LineControl(QWidget* parent, QPoint from, QPoint to, QColor colour, int width);

    // End points in the coordinates of the window's client area, in pixels.
    QPoint from() const { return from_; }
    QPoint to() const { return to_; }
    QColor colour() const { return colour_; }
    int lineWidth() const { return width_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint from_, to_;
    QColor colour_;
    int width_;
};

class MainForm : public QWidget {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The input boxes and message boxes the actions use. The window has its own;
    // another (a script in tests) can stand in. nullptr restores the window's own.
    // The window does not own what it is given.
    void setPrompter(Prompter* prompter);
    void setMessages(Messages* messages);
    // The printers, questions and file dialog the Print action uses.
    void setPrintHooks(PrintHooks hooks) { printHooks_ = std::move(hooks); }

    // The record of the last completed Compute action: what Print prints.
    const ChainState& record() const { return record_; }

    // Pixels for a length in twips at this window's logical resolution.
    int pixels(int twips) const;

public slots:
    // Compute: the whole dialogue, the adjustment and the listing. While it runs
    // the window waits behind its modal input boxes.
    void Command1_Click();
    // End: closes the window and ends the program, without a question.
    void Command2_Click();
    // Print: the report of the last completed Compute action.
    void Command3_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildSheet();

    ChainState record_;
    double dpi_ = 96;
    bool busy_ = false;  // an action is running

    InputBoxPrompter ownPrompter_{this};
    MessageBoxMessages ownMessages_{this};
    Prompter* prompter_ = &ownPrompter_;
    Messages* messages_ = &ownMessages_;
    LineEditBoxes boxes_;
    PrintHooks printHooks_ = PrintHooks::system();
};

}  // namespace trelvan
