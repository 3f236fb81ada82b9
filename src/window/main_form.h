#pragma once
// The main window: a menu bar above a fixed form sheet with the chain diagram across
// the top, framed panels of text boxes below it, and the Compute, End and Print
// buttons. The sheet scrolls when the screen cannot show all of it.

#include <array>
#include <memory>

#include <QColor>
#include <QLine>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QWidget>

#include "adjustment/compute.h"
#include "entry/interfaces.h"
#include "state/chain_state.h"
#include "window/print_action.h"
#include "window/qt_seams.h"

class QAction;
class QLineEdit;
class QMenu;
class QScrollArea;

namespace trelvan {

class JobActions;

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

// The items of the menu bar. Each is connected to its work where that work is built
// (the job items by JobActions, the views and the full report by the window); those
// that need a completed result join enableWithResult.
struct MenuActions {
    // 文件
    QAction* newJob = nullptr;
    QAction* openJob = nullptr;
    QAction* editJob = nullptr;
    QAction* saveJob = nullptr;
    QAction* saveJobAs = nullptr;
    QMenu* recentJobs = nullptr;
    QAction* print = nullptr;  // the same action as the 打 印 button
    QAction* exportFullReport = nullptr;
    QMenu* exportCoordinates = nullptr;  // 导出坐标 ▸
    QAction* exportDat = nullptr;
    QAction* exportCsv = nullptr;
    QAction* exportDxf = nullptr;
    QAction* exit = nullptr;  // the same as 结束计算
    // 查看
    QAction* analysis = nullptr;
    QAction* plot = nullptr;
    // 帮助
    QAction* manual = nullptr;
    QAction* about = nullptr;
};

class MainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The form sheet below the menu bar. Every control is a child of it, and the
    // layout's twips are relative to its top-left corner.
    QWidget* sheet() const { return sheet_; }
    QScrollArea* scrollArea() const { return scroll_; }
    const MenuActions& menuActions() const { return menu_; }

    // `action` is enabled exactly while a completed result exists (and the menu item
    // of an action that needs one joins here).
    void enableWithResult(QAction* action);
    // Sizes and places the window for its screen: the whole sheet when the screen's
    // free area holds it, else that whole area with the sheet scrolling.
    void fitToScreen();

    // The input boxes and message boxes the actions use. The window has its own;
    // another (a script in tests) can stand in. nullptr restores the window's own.
    // The window does not own what it is given.
    void setPrompter(Prompter* prompter);
    void setMessages(Messages* messages);
    // The printers, questions and file dialog the Print action uses.
    void setPrintHooks(PrintHooks hooks) { printHooks_ = std::move(hooks); }

    // The record of the last completed Compute action: what Print prints.
    const ChainState& record() const { return record_; }

    // The Compute action with `prompter` answering its input boxes; how it ended.
    // Signals `resultCompleted` when it did. `unseen`: the prompter shows nothing (a job's
    // replies), so the boxes are written once, when the action ends. `jobOnly`: what a
    // job holds beyond its replies.
    ComputeOutcome compute(Prompter& prompter, Messages& messages, bool unseen = false,
                           const JobOnlyValues& jobOnly = {});
    Messages& messages() const { return *messages_; }
    // The job items of the 文件 menu, and the job file of the result on show.
    JobActions& jobs() const { return *jobs_; }


    // Pixels for a length in twips at this window's logical resolution.
    int pixels(int twips) const;

    // What an input box must keep in sight, and may cover, when it asks about `box`
    // (0: none) or pauses the listing; brings those boxes into view first.
    InputBoxScene inputBoxScene(int box, bool pause);
    // Where a child window (the analysis, the plot, the editor) opens the first time,
    // at the size it asks for: clear of the precision and results panels as they show
    // on the screen, when the screen allows (placeChildWindow).
    QRect childPlace(const QWidget& child) const;

public slots:
    // Compute: the whole dialogue, the adjustment and the listing. While it runs
    // the window waits behind its modal input boxes.
    void Command1_Click();
    // End: closes the window and ends the program, without a question.
    void Command2_Click();
    // Print: the report of the last completed Compute action.
    void Command3_Click();
    // 关于 Trelvan: the version, the licence, the Qt version and the libraries used.
    void showAbout();

signals:
    // A Compute action has completed: record() holds its result.
    void resultCompleted();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildSheet();
    void buildMenus();
    void refreshActions();
    QRect sheetRect(int left, int top, int right, int bottom) const;

    QWidget* sheet_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    MenuActions menu_;
    QList<QPointer<QAction>> needResult_;
    JobActions* jobs_ = nullptr;

    ChainState record_;
    double dpi_ = 96;
    bool busy_ = false;  // an action is running

    InputBoxPrompter ownPrompter_{this};
    MessageBoxMessages ownMessages_{this};
    Prompter* prompter_ = &ownPrompter_;
    Messages* messages_ = &ownMessages_;
    LineEditBoxes edits_;
    HeldTexts held_{edits_};
    KeptTexts boxes_{held_};  // shows the last completed result again after an abandoned action
    PrintHooks printHooks_ = PrintHooks::system();
};

// What the About box says: the program, its version and licence, and the libraries
// it runs on with their versions.
QString aboutText();

}  // namespace trelvan
