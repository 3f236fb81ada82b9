// Job files in the window: opened and computed as if typed, corrected in the editor
// and computed again, refused without a trace, pasted into, saved, and found again
// after the program has ended.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>
#include <QUndoStack>

#include "job/job_sheet.h"
#include "job/job_support.h"
#include "robustness/whole_runs.h"
#include "support/decimal_comma_locale.h"
#include "window/job_actions.h"
#include "window/job_editor.h"
#include "window/main_form.h"

namespace trelvan {
namespace {

using testing::Harness;
using testing::ScratchFolder;

QString u(const std::string& text) { return QString::fromStdString(text); }

std::vector<QString> boxTexts(const MainForm& form) {
    std::vector<QString> texts;
    for (int box = 1; box <= 32; ++box)
        texts.push_back(form.findChild<QLineEdit*>(u("Text" + std::to_string(box)))->text());
    return texts;
}

// The window the operator sees: its title as the window system shows it.
QString caption(MainForm& form) {
    form.winId();
    return form.windowHandle()->title();
}

void closeEditor(MainForm& form) {
    if (JobEditor* editor = form.jobs().editor()) editor->done(QDialog::Rejected);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class JobWindow : public ::testing::Test {
protected:
    JobWindow() {
        form.setPrompter(&h.prompter);
        form.setMessages(&h.messages);
        JobHooks hooks;
        hooks.chooseJobToOpen = [this](QWidget*, const QString&) { return chosen; };
        hooks.chooseJobToSave = [this](QWidget*, const QString& suggested) {
            suggestions.push_back(suggested);
            return chosen;
        };
        hooks.confirm = [this](QWidget*, const QString& question) {
            questions.push_back(question);
            return answer;
        };
        form.jobs().setHooks(hooks);
        testing::writeFile(file, testing::exampleJob());
    }
    ~JobWindow() override { closeEditor(form); }

    void typeChain(const std::string& replies) {
        for (Reply& r : testing::goldenReplies(replies)) h.prompter.add(std::move(r));
        form.Command1_Click();
        ASSERT_TRUE(form.record().hasResult());
    }
    std::string recordJob() const { return jobText(jobOf(form.record())); }

    ScratchFolder folder;
    std::string file = folder / "chain.trv";
    Harness h;
    MainForm form;
    QString chosen;
    std::vector<QString> suggestions, questions;
    bool answer = true;
};

// Opened, the job fills every box exactly as its replies typed would; the caption
// names the file. One side corrected in the editor and computed changes the boxes
// and marks the job as changed; 保存作业 writes the correction to the same file.
TEST_F(JobWindow, OpenEditOneSideComputeAndSave) {
    MainForm typed;
    Harness t;
    typed.setPrompter(&t.prompter);
    typed.setMessages(&t.messages);
    for (Reply& r : testing::goldenReplies("run_typed_n4")) t.prompter.add(std::move(r));
    typed.Command1_Click();

    chosen = u(file);
    form.menuActions().openJob->trigger();
    EXPECT_TRUE(h.messages.said.empty());
    EXPECT_EQ(h.prompter.prompts.size(), 0u);  // no input box was shown
    const std::vector<QString> opened = boxTexts(form);
    EXPECT_EQ(opened, boxTexts(typed));
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv"));
    EXPECT_TRUE(form.menuActions().editJob->isEnabled());

    form.menuActions().editJob->trigger();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->windowModality(), Qt::WindowModal);
    SheetTableModel* sides = editor->sideModel();
    EXPECT_EQ(sides->data(sides->index(6, 0), Qt::DisplayRole).toString(), u("735.633"));
    ASSERT_TRUE(sides->setData(sides->index(6, 0), u("735.733")));
    EXPECT_TRUE(editor->isModified());
    editor->findChild<QPushButton*>(u("computeButton"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.jobs().editor(), nullptr);  // closed once computed
    // S7 0.1 m longer puts the X misclosure over its limit: one warning says so.
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find("纵座标条件闭合差超限"), std::string::npos) << h.messages.said[0];

    EXPECT_EQ(form.record().typed.side[7], 735.733);
    const std::vector<QString> corrected = boxTexts(form);
    EXPECT_NE(corrected[15], opened[15]);  // the misclosures moved
    EXPECT_NE(corrected[16], opened[16]);
    EXPECT_EQ(corrected[0], opened[0]);    // the known data did not
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv*"));

    ASSERT_TRUE(form.jobs().saveJob());
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv"));
    const JobReading saved = readJobFile(file);
    ASSERT_TRUE(saved.accepted());
    EXPECT_EQ(saved.job.side[7], 735.733);
    EXPECT_EQ(testing::fileContents(file), recordJob());

    // Another job saved from the editor into the same file: the file no longer holds
    // the result on show.
    form.jobs().editJob();
    editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->sideModel()->setData(editor->sideModel()->index(0, 0), u("601.5")));
    chosen = u(file);
    editor->save();
    EXPECT_EQ(editor->fileName(), u(file));
    EXPECT_FALSE(editor->isModified());
    EXPECT_EQ(readJobFile(file).job.side[1], 601.5);
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv*"));
}

// A job's weights stay with it through the window: opened, corrected in the editor,
// computed and saved. A chain typed afterwards is weighted by the mean side.
TEST_F(JobWindow, AJobsWeightsStayThroughTheEditorAndASave) {
    testing::writeFile(file, testing::instrumentExample());
    chosen = u(file);
    form.menuActions().openJob->trigger();
    form.menuActions().editJob->trigger();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->sideModel()->setData(editor->sideModel()->index(6, 0), u("735.733")));
    editor->findChild<QPushButton*>(u("computeButton"))->click();
    // S7 0.1 m longer puts the X misclosure over its limit: one warning says so.
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find("纵座标条件闭合差超限"), std::string::npos) << h.messages.said[0];
    EXPECT_TRUE(form.record().adjustment.weights.byInstrument());
    ASSERT_TRUE(form.jobs().saveJob());
    EXPECT_EQ(testing::fileContents(file), testing::edited(testing::instrumentExample(), "735.633", "735.733"));

    typeChain("run_typed_n4");
    EXPECT_FALSE(form.record().adjustment.weights.byInstrument());
}

// The 观测精度 group: the instrument's fields, its combination and the sides' standard
// errors are open only under its weights; each choice is one step of undo; the job
// computed carries what was typed.
TEST_F(JobWindow, TheWeightsGroupOpensTheInstrumentsFieldsAndTheSidesErrors) {
    testing::writeFile(file, testing::instrumentExample());
    chosen = u(file);
    form.menuActions().openJob->trigger();
    form.menuActions().editJob->trigger();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    SheetTableModel* sides = editor->sideModel();
    const QModelIndex s1 = sides->index(0, SheetTableModel::Sigma);
    const auto opened = [&](bool instrument) {
        for (SheetField f : {SheetField::InstrumentA, SheetField::InstrumentB, SheetField::SigmaQ})
            EXPECT_EQ(editor->edit(f)->isEnabled(), instrument);
        EXPECT_EQ(editor->choiceButton(SheetChoice::Combine, 1)->isEnabled(), instrument);
        EXPECT_EQ(editor->sideView()->isColumnHidden(SheetTableModel::Sigma), !instrument);
    };
    opened(true);
    EXPECT_EQ(s1.data().toString(), u("3.20"));  // 2 + 2 × 0.601544
    EXPECT_FALSE(sides->flags(s1) & Qt::ItemIsEditable);
    QLineEdit* b = editor->edit(SheetField::InstrumentB);
    b->selectAll();
    QTest::keyClicks(b, u("3"));

    editor->choiceButton(SheetChoice::Weights, static_cast<int>(SheetWeights::MeanSide))->click();
    opened(false);
    EXPECT_EQ(editor->undoStack()->undoText(), u("改变 定权方式"));
    editor->undoStack()->undo();
    opened(true);
    EXPECT_TRUE(editor->choiceButton(SheetChoice::Weights, static_cast<int>(SheetWeights::Instrument))->isChecked());

    editor->findChild<QPushButton*>(u("computeButton"))->click();
    EXPECT_TRUE(form.record().adjustment.weights.byInstrument());
    EXPECT_EQ(form.record().adjustment.weights.b, 3);  // typed, and not yet left
}

// A measured job in the editor: each measured side shows its reduced length and
// corrections beside its measurement; a setting typed with a decimal comma is
// refused and brought into view though the settings were pushed aside; mended, the
// job computes and is saved byte for byte as it was read.
TEST_F(JobWindow, AMeasuredJobThroughTheEditor) {
    const std::string measured = testing::fileContents(TRELVAN_SOURCE_DIR "/tests/golden/job_measured_n4.trv");
    testing::writeFile(file, measured);
    ASSERT_TRUE(form.jobs().openFile(u(file)));
    form.jobs().editJob();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    SheetTableModel* sides = editor->sideModel();
    EXPECT_FALSE(editor->sideView()->isColumnHidden(SheetTableModel::FirstMeasure));
    // S1 as the README works it by hand: D4 = 601.54401 m, +1.21 mm for the projection.
    EXPECT_EQ(sides->index(0, SheetTableModel::Length).data().toString(), u("601.5440"));
    EXPECT_EQ(sides->index(0, SheetTableModel::FirstCorrection + 3).data().toString(), u("+1.21"));
    EXPECT_EQ(sides->index(3, SheetTableModel::Kind).data().toString(), u("平面"));

    auto* splitter = editor->findChild<QSplitter*>(u("tablesAndSettings"));
    ASSERT_NE(splitter, nullptr);
    splitter->setSizes({splitter->width(), 0});
    QLineEdit* k = editor->edit(SheetField::ConstantK);
    k->selectAll();
    QTest::keyClicks(k, u("1,2"));
    editor->findChild<QPushButton*>(u("computeButton"))->click();
    EXPECT_EQ(editor->message(), u("测距仪加常数 K：输入的不是一个数：小数点要用句点，应输入 1.2。"));
    EXPECT_GT(splitter->sizes().value(1), 0);
    k->selectAll();
    QTest::keyClicks(k, u("1.2"));
    EXPECT_TRUE(editor->message().isEmpty());

    // The ellipsoid chosen is one step of undo.
    QComboBox* ellipsoid = editor->ellipsoidBox();
    ellipsoid->setCurrentIndex(2);
    emit ellipsoid->activated(2);
    EXPECT_EQ(editor->undoStack()->undoText(), u("改变 椭球"));
    editor->undoStack()->undo();
    EXPECT_EQ(ellipsoid->currentText(), u("CGCS2000"));

    editor->findChild<QPushButton*>(u("computeButton"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(form.jobs().editor(), nullptr);
    ASSERT_TRUE(form.jobs().saveJob());
    EXPECT_EQ(testing::fileContents(file), measured);
}

// A desktop with a decimal comma opens, shows and saves a job as any other.
TEST_F(JobWindow, ADecimalCommaDesktopChangesNothing) {
    ASSERT_TRUE(form.jobs().openFile(u(file)));
    const std::vector<QString> plain = boxTexts(form);
    testing::DecimalCommaLocale locale;
    ASSERT_TRUE(locale.active()) << testing::DecimalCommaLocale::missing;
    MainForm german;
    Harness g;
    german.setMessages(&g.messages);
    ASSERT_TRUE(german.jobs().openFile(u(file)));
    EXPECT_EQ(boxTexts(german), plain);
    german.jobs().editJob();
    ASSERT_NE(german.jobs().editor(), nullptr);
    EXPECT_EQ(german.jobs().editor()->edit(SheetField::Xa)->text(), u("3452118.406"));
    german.jobs().editor()->done(QDialog::Rejected);
    EXPECT_TRUE(g.messages.said.empty());
    EXPECT_EQ(testing::fileContents(RecentJobs::lastJobFile().toStdString()), testing::exampleJob());
}

// A refused job changes nothing: not the record, not the boxes, not the caption. A
// job refused for a value opens in the editor with that place marked and the
// message that names the file; a file that holds no job only says why.
TEST_F(JobWindow, ARefusedJobChangesNothingAndOpensMarked) {
    using K = SheetPlace::Kind;
    struct Row {
        const char* rule;
        std::string bytes;
        K kind;          // K::None: no editor
        int row;         // the marked cell's row
        SheetField field;
        const char* says;
    } rows[] = {
        {"a zero side", testing::example("735.633", "0"), K::Side, 6, {}, "sides[6] (S7)：边长 S7 不能为零"},
        {"a triangle that cannot be formed", testing::example("799.645", "2000"), K::Side, 8, {}, "sides[8] (S9)："},
        {"a wrong type", testing::example("77.43016", "\"77.43016\""), K::Field, 0, SheetField::Qa, "Qa：应为数值"},
        {"a name that is no text", testing::example("\"D3\"", "3"), K::Name, 2, {}, "points[2]：应为文本"},
        {"lists shorter than N", testing::example("\"N\": 4", "\"N\": 5"), K::Names, 0, {}, "points：有 4 个点名"},
        {"a direction point and an azimuth", testing::example("\"directionA\": {\n    \"X\": 0", "\"directionA\": {\n    \"X\": 1"),
         K::Field, 0, SheetField::Ta, "Ta："},
        {"a syntax error", testing::example("\"Qb\": -63.29474,", "\"Qb\": -63.29474,,"), K::None, 0, {}, "JSON 语法错误"},
        {"a duplicated key", testing::example("\"Qb\": -63.29474,", "\"Qb\": -63.29474, \"Qb\": 1,"), K::None, 0, {},
         "字段重复出现"},
        {"a newer version", testing::example("\"trelvan\": 1", "\"trelvan\": 3"), K::None, 0, {}, "第 3 版"},
    };
    typeChain("run_single_triangle");
    const std::vector<QString> before = boxTexts(form);
    const std::string job = recordJob();
    const QString title = caption(form);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.rule);
        const std::string bad = folder / "bad.trv";
        testing::writeFile(bad, row.bytes);
        h.messages.said.clear();
        EXPECT_FALSE(form.jobs().openFile(u(bad)));
        EXPECT_EQ(recordJob(), job);
        EXPECT_EQ(boxTexts(form), before);
        EXPECT_EQ(caption(form), title);
        JobEditor* editor = form.jobs().editor();
        if (row.kind == K::None) {
            EXPECT_EQ(editor, nullptr);
            ASSERT_EQ(h.messages.said.size(), 1u);
            EXPECT_NE(h.messages.said[0].find(row.says), std::string::npos) << h.messages.said[0];
            EXPECT_EQ(h.messages.said[0].rfind("作业文件 " + bad + "：", 0), 0u);
            continue;
        }
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(h.messages.said.empty());
        const std::string message = editor->message().toStdString();
        EXPECT_EQ(message.rfind("作业文件 " + bad + "：", 0), 0u) << message;
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
        switch (row.kind) {
            case K::Side:
                EXPECT_EQ(editor->sideModel()->marked(), editor->sideModel()->index(row.row, 0));
                EXPECT_EQ(editor->sideView()->currentIndex().row(), row.row);
                EXPECT_EQ(editor->sideModel()->data(editor->sideModel()->index(row.row, 0), Qt::BackgroundRole),
                          QVariant(QColor(255, 150, 150)));
                break;
            case K::Name:
                EXPECT_EQ(editor->nameModel()->marked(), editor->nameModel()->index(row.row, 0));
                EXPECT_EQ(editor->nameView()->currentIndex().row(), row.row);
                break;
            case K::Field: EXPECT_FALSE(editor->edit(row.field)->styleSheet().isEmpty()); break;
            case K::Names: EXPECT_FALSE(editor->nameView()->styleSheet().isEmpty()); break;
            default: break;
        }
        // Everything the file holds is there to be corrected.
        EXPECT_EQ(editor->sheet().name[3], "D4");
        EXPECT_EQ(editor->sheet()[SheetField::NameB], "K08");
        closeEditor(form);
    }

    // A file that is not there is said so, and leaves the recent jobs.
    h.messages.said.clear();
    form.jobs().recent().add(u(folder / "gone.trv"));
    EXPECT_FALSE(form.jobs().openFile(u(folder / "gone.trv")));
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find("无法读取"), std::string::npos);
    EXPECT_FALSE(form.jobs().recent().files().contains(u(folder / "gone.trv")));
    EXPECT_EQ(recordJob(), job);
}

// Text pasted from a spreadsheet fills consecutive sides from the current cell and
// lengthens the chain where it runs past the end; Delete clears the selected cells;
// the side of the route goes with the sign, both ways.
TEST_F(JobWindow, PasteAndTheSideOfTheRoute) {
    form.jobs().newJob();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    SheetView* view = editor->sideView();
    SheetTableModel* sides = editor->sideModel();
    EXPECT_EQ(sides->rowCount(), 3);

    view->setCurrentIndex(sides->index(1, 0));
    QApplication::clipboard()->setText(u("848.482\n769.475\r\n-1101.074\t左\n796.97\n"));
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->sheet().side, (std::vector<std::string>{"", "848.482", "769.475", "1101.074", "796.97"}));
    EXPECT_EQ(sides->rowCount(), 5);
    EXPECT_EQ(editor->nameModel()->rowCount(), 2);
    EXPECT_EQ(editor->findChild<QLabel*>(u("triangleCount"))->text(), u("三角形个数 N = 2"));
    EXPECT_EQ(view->selectionModel()->selectedIndexes().size(), 4);
    // Copied back as a spreadsheet takes it: lengths, and the side of each even one.
    view->selectionModel()->select(QItemSelection(sides->index(1, 0), sides->index(2, 1)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), u("848.482\t左\n769.475\t\n"));

    // The sign of an even side and its column: typed negative it lies right; the
    // column's own choice (the real list of the table) puts it back left.
    struct Step {
        int row;
        const char* length;   // typed into the length; nullptr: chosen in the column
        const char* chosen;
        const char* shown;    // the column afterwards
        double inJob;         // the side in the job the sheet makes
    } steps[] = {
        {1, "-848.482", nullptr, "右", -848.482},
        {1, "848.5", nullptr, "右", -848.5},
        {1, nullptr, "左", "左", 848.5},
        {3, nullptr, "右", "右", -1101.074},
        {2, "-769.475", nullptr, "路线边", -769.475},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.row);
        const QModelIndex position = sides->index(s.row, SheetTableModel::Position);
        if (s.length != nullptr) {
            ASSERT_TRUE(sides->setData(sides->index(s.row, 0), u(s.length)));
        } else {
            view->setCurrentIndex(position);
            view->edit(position);
            auto* box = view->findChild<QComboBox*>();
            ASSERT_NE(box, nullptr);
            box->setCurrentText(u(s.chosen));
            emit box->activated(box->currentIndex());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(sides->data(position, Qt::DisplayRole).toString(), u(s.shown));
        EXPECT_EQ(checkSheet(editor->sheet()).job.side[static_cast<std::size_t>(s.row) + 1], s.inJob);
    }
    EXPECT_FALSE(sides->flags(sides->index(2, SheetTableModel::Position)) & Qt::ItemIsEditable);

    view->selectionModel()->select(QItemSelection(sides->index(1, 0), sides->index(2, 0)),
                                   QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(editor->sheet().side[1], "");
    EXPECT_EQ(editor->sheet().side[2], "");
    EXPECT_EQ(editor->sheet().side[3], "1101.074");

    // Names paste the same way.
    editor->nameView()->setCurrentIndex(editor->nameModel()->index(0, 0));
    QApplication::clipboard()->setText(u("D1\nD2\nD3"));
    QTest::keyClick(editor->nameView(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editor->sheet().name, (std::vector<std::string>{"D1", "D2", "D3"}));
    EXPECT_EQ(sides->rowCount(), 7);

    // Closing with edits asks first; No keeps the editor and what was typed.
    answer = false;
    editor->reject();
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(editor->isVisible());
}

// Ctrl+Z and Ctrl+Y take back and make again each edit, from a field as from a
// table; a fault marked by 计算 goes, with its message, once its cell is mended.
TEST_F(JobWindow, UndoRedoAndAFaultThatGoesOnceMended) {
    ASSERT_TRUE(form.jobs().openFile(u(file)));
    form.jobs().editJob();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    editor->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor));
    SheetTableModel* sides = editor->sideModel();
    const QModelIndex s3 = sides->index(2, 0);

    ASSERT_TRUE(sides->setData(s3, u("769,475")));
    editor->findChild<QPushButton*>(u("computeButton"))->click();
    EXPECT_EQ(editor->message(), u("第 3 条边 S3：输入的不是一个数：小数点要用句点，应输入 769.475。"));
    EXPECT_EQ(sides->marked(), s3);
    ASSERT_TRUE(sides->setData(s3, u("769.475")));
    EXPECT_TRUE(editor->message().isEmpty());
    EXPECT_FALSE(sides->marked().isValid());

    // Typing in a field is one step, taken back by Ctrl+Z in the field itself.
    QLineEdit* xa = editor->edit(SheetField::Xa);
    xa->setFocus();
    QTest::keyClick(xa, Qt::Key_End);
    QTest::keyClicks(xa, u("99"));
    EXPECT_EQ(editor->sheet()[SheetField::Xa], "3452118.40699");
    QTest::keyClick(xa, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->sheet()[SheetField::Xa], "3452118.406");
    EXPECT_EQ(xa->text(), u("3452118.406"));
    QTest::keyClick(xa, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(xa->text(), u("3452118.40699"));

    // Every step taken back: the sheet as it opened, nothing to ask about on closing.
    for (int step = 0; step < 3; ++step) QTest::keyClick(editor->sideView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->sheet().side[2], "769.475");
    EXPECT_EQ(editor->sheet()[SheetField::Xa], "3452118.406");
    EXPECT_FALSE(editor->isModified());
    EXPECT_FALSE(editor->findChild<QPushButton*>(u("undoButton"))->isEnabled());

    // A triangle removed with its data comes back whole.
    editor->removeTriangle();
    EXPECT_EQ(sides->rowCount(), 7);
    QTest::keyClick(editor->nameView(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sides->rowCount(), 9);
    EXPECT_EQ(editor->sheet().name[3], "D4");
    EXPECT_EQ(editor->sheet().side[8], "799.645");
}

// A new job is empty; each end's way of orientation enables its own fields only; 计算
// marks the first empty field in the dialogue's order and computes nothing.
TEST_F(JobWindow, ANewJobAndTheOrientationOfEachEnd) {
    form.jobs().newJob();
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    for (int f = 0; f < sheetFieldCount; ++f) EXPECT_TRUE(editor->edit(static_cast<SheetField>(f))->text().isEmpty());

    struct Row {
        bool endA;
        EndOrientation way;
        bool azimuth, point;  // whether Ta (Tb) and Xpa, Ypa (Xpb, Ypb) are enabled
    } rows[] = {
        {true, EndOrientation::DirectionPoint, false, true},
        {true, EndOrientation::None, false, false},
        {true, EndOrientation::Azimuth, true, false},
        {false, EndOrientation::None, false, false},
        {false, EndOrientation::DirectionPoint, false, true},
    };
    for (const Row& row : rows) {
        editor->orientationButton(row.endA, row.way)->click();
        EXPECT_EQ((row.endA ? editor->sheet().orientationA : editor->sheet().orientationB), row.way);
        EXPECT_EQ(editor->edit(row.endA ? SheetField::Ta : SheetField::Tb)->isEnabled(), row.azimuth);
        EXPECT_EQ(editor->edit(row.endA ? SheetField::Xpa : SheetField::Xpb)->isEnabled(), row.point);
        EXPECT_EQ(editor->edit(row.endA ? SheetField::Ypa : SheetField::Ypb)->isEnabled(), row.point);
        EXPECT_TRUE(editor->edit(row.endA ? SheetField::Qa : SheetField::Qb)->isEnabled());
    }

    // A number is shown in the general number form once its field is left.
    QLineEdit* xa = editor->edit(SheetField::Xa);
    xa->setFocus();
    QTest::keyClicks(xa, u("3452118.4060"));
    emit xa->editingFinished();
    EXPECT_EQ(xa->text(), u("3452118.406"));

    editor->findChild<QPushButton*>(u("computeButton"))->click();
    EXPECT_EQ(editor->message(), u("起始点 A 的 Y 横座标：没有填写数值。"));
    EXPECT_FALSE(editor->edit(SheetField::Ya)->styleSheet().isEmpty());
    EXPECT_TRUE(editor->edit(SheetField::Xa)->styleSheet().isEmpty());
    EXPECT_FALSE(form.record().hasResult());
    EXPECT_TRUE(editor->isVisible());
}

// The caption names the file of the result on show: a typed chain is a new chain
// with no file, an abandoned action leaves the caption as it was. A save that fails
// names why and changes nothing.
TEST_F(JobWindow, TheCaptionFollowsTheResultOnShow) {
    ASSERT_TRUE(form.jobs().openFile(u(file)));
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv"));
    h.prompter.add(std::string("2"));
    h.prompter.cancel();
    form.Command1_Click();
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv"));
    typeChain("run_single_triangle");
    EXPECT_EQ(caption(form), u("Trelvan"));

    // No file: 保存作业 asks for one, named after A and B, in the last folder used.
    testing::writeFile(folder / "plain", "x");
    chosen = u(folder / "plain" + "/under.trv");
    h.messages.said.clear();
    EXPECT_FALSE(form.jobs().saveJob());
    ASSERT_EQ(suggestions.size(), 1u);
    EXPECT_EQ(suggestions[0], u(folder.path().string() + "/G1-G2.trv"));
    ASSERT_EQ(h.messages.said.size(), 1u);
    EXPECT_NE(h.messages.said[0].find("under.trv"), std::string::npos) << h.messages.said[0];
    EXPECT_EQ(caption(form), u("Trelvan"));

    chosen = u(folder / "single.trv");
    ASSERT_TRUE(form.jobs().saveJobAs());
    EXPECT_EQ(caption(form), u("Trelvan - single.trv"));
    EXPECT_EQ(testing::fileContents(folder / "single.trv"), recordJob());
}

// A job that reads well but whose adjustment fails says why and opens in the editor,
// where it can be corrected; the window keeps the last completed result.
TEST_F(JobWindow, AJobWhoseAdjustmentFailsOpensInTheEditor) {
    Job job;
    job.N = 1;
    job.Xa = 1000, job.Ya = 2000, job.Xb = 50000, job.Yb = 60000;  // B far from where the chain arrives
    job.Ta = 45;
    job.angleTolerance = 2.5;
    job.pointName = {"A", "P", "B"};
    job.side = {0, 500, -500, 500};
    testing::writeFile(folder / "torn.trv", jobText(job));
    ASSERT_TRUE(form.jobs().openFile(u(file)));
    const std::vector<QString> before = boxTexts(form);

    EXPECT_FALSE(form.jobs().openFile(u(folder / "torn.trv")));
    ASSERT_EQ(h.messages.said.size(), 1u);
    JobEditor* editor = form.jobs().editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->message().toStdString(), h.messages.said[0]);
    EXPECT_EQ(editor->fileName(), u(folder / "torn.trv"));
    EXPECT_EQ(boxTexts(form), before);
    EXPECT_EQ(recordJob(), testing::exampleJob());
    EXPECT_EQ(caption(form), u("Trelvan - chain.trv"));

    // Corrected there (B where the chain arrives), it computes, under its own file.
    editor->edit(SheetField::Xb)->setText(u("870.5905"));
    emit editor->edit(SheetField::Xb)->textEdited(u("870.5905"));
    editor->edit(SheetField::Yb)->setText(u("2482.9629"));
    emit editor->edit(SheetField::Yb)->textEdited(u("2482.9629"));
    editor->compute();
    EXPECT_EQ(h.messages.said.size(), 1u);
    EXPECT_EQ(form.record().typed.Yb, 2482.9629);
    EXPECT_EQ(caption(form), u("Trelvan - torn.trv*"));
}

// The recent job files and the last completed job outlive the window: a new window
// lists them and brings them back.
TEST_F(JobWindow, RecentJobsAndTheLastJobSurviveARestart) {
    std::string lastTyped;
    {
        MainForm first;
        Harness f;
        first.setPrompter(&f.prompter);
        first.setMessages(&f.messages);
        ASSERT_TRUE(first.jobs().openFile(u(file)));
        EXPECT_EQ(testing::fileContents(RecentJobs::lastJobFile().toStdString()), jobText(jobOf(first.record())));
        for (Reply& r : testing::goldenReplies("run_single_triangle")) f.prompter.add(std::move(r));
        first.Command1_Click();
        ASSERT_TRUE(first.record().hasResult());
        lastTyped = jobText(jobOf(first.record()));
        EXPECT_TRUE(f.messages.said.empty());
    }

    MainForm second;
    Harness s;
    second.setMessages(&s.messages);
    QMenu* menu = second.menuActions().recentJobs;
    // The menu as it opens.
    const auto item = [menu](const QString& data, const char* name) -> QAction* {
        emit menu->aboutToShow();
        if (name != nullptr) return menu->findChild<QAction*>(u(name));
        for (QAction* a : menu->actions())
            if (a->data().toString() == data) return a;
        return nullptr;
    };
    const QString path = QFileInfo(u(file)).absoluteFilePath();
    QAction* recent = item(path, nullptr);
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(recent->text().contains(u("chain.trv")));
    QAction* last = item({}, "actionLastJob");
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(last->isEnabled());
    EXPECT_TRUE(last->text().contains(u("个三角形"))) << last->text().toStdString();

    last->trigger();
    ASSERT_TRUE(second.record().hasResult());
    EXPECT_EQ(jobText(jobOf(second.record())), lastTyped);
    EXPECT_EQ(caption(second), u("Trelvan"));  // brought back, not a file of its own

    recent = item(path, nullptr);
    ASSERT_NE(recent, nullptr);
    recent->trigger();
    EXPECT_EQ(jobText(jobOf(second.record())), testing::exampleJob());
    EXPECT_EQ(caption(second), u("Trelvan - chain.trv"));
    EXPECT_TRUE(s.messages.said.empty());

    item({}, "actionClearRecentJobs")->trigger();
    EXPECT_TRUE(second.jobs().recent().files().isEmpty());
}

}  // namespace
}  // namespace trelvan
