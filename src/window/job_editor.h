#pragma once
// The job editor (作业数据): the known points, the orientation of each end, Qa, Qb and
// the tolerance as fields, the weights of the observations (观测精度) and the settings
// for reducing measured sides (边长归算) as groups of their own; the sides S1 …
// S(2N+1) (with their standard errors under the instrument's weights, and, once a side
// is measured, each measurement with its reduced length and corrections) and the
// names of points 1 … N as tables that stay quick with the largest chain (a model and
// a view, never a widget per cell). It holds what is typed as text (JobSheet), so that nothing typed is
// lost while it is being corrected; 计算 and 保存 check the job the texts make with
// the dialogue's own checks and mark the first bad field or cell, whose mark and
// message go once it is mended. Every edit is made as a SheetEdit on an undo stack,
// so that Ctrl+Z takes it back and Ctrl+Y makes it again.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "job/job_sheet.h"
#include "job/sheet_edit.h"
#include "window/sheet_tables.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QScrollArea;
class QSplitter;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QUndoStack;

namespace trelvan {

class JobEditor : public QDialog {
    Q_OBJECT
public:
    // What the editor asks of the window: to compute a job (the failure's message when
    // the action did not complete), to save one (false when it was not saved), and to
    // confirm a question.
    struct Hooks {
        std::function<std::optional<std::string>(const Job& job, const QString& fileName,
                                                 const std::string& savedText)>
            compute;
        std::function<bool(JobEditor& editor, const Job& job)> save;
        std::function<bool(QWidget* parent, const QString& question)> confirm;
    };

    // `fileName` is the job file the sheet came from ("" for none) and `savedText` the
    // text of the job that file holds ("" when it holds none the editor could show).
    JobEditor(QWidget* parent, JobSheet sheet, const QString& fileName, const std::string& savedText,
              Hooks hooks);

    const JobSheet& sheet() const { return sheet_; }
    SheetTableModel* sideModel() const { return sides_; }
    SheetTableModel* nameModel() const { return names_; }
    SheetView* sideView() const { return sideView_; }
    SheetView* nameView() const { return nameView_; }
    QLineEdit* edit(SheetField field) const { return edits_[static_cast<std::size_t>(field)]; }
    QRadioButton* orientationButton(bool endA, EndOrientation orientation) const;
    // The button of one way of a choice (choiceOf's number); null for a way that has
    // none of its own (a job that names no weights shows 按平均边长定权).
    QRadioButton* choiceButton(SheetChoice choice, int way) const;
    // The reduction settings' choices: the ellipsoid and the Gauss step.
    QComboBox* ellipsoidBox() const { return ellipsoid_; }
    QCheckBox* gaussBox() const { return gauss_; }
    QUndoStack* undoStack() const { return undo_; }
    QString message() const;
    // Edits neither computed nor saved since the editor opened or last saved.
    bool isModified() const;
    QString fileName() const { return fileName_; }
    // The job file now holds the sheet's job.
    void setSaved(const QString& fileName, const std::string& savedText);

    // Marks where `problem` lies (selects, scrolls to and colours it) and shows
    // `message`, until the place is mended.
    void showProblem(const JobProblem& problem, const QString& message);
    void showMessage(const QString& message, bool fault);

public slots:
    // 计算: checks the job and computes it; the editor closes once it has completed.
    void compute();
    // 保存…: checks the job and saves it to a file.
    void save();
    void addTriangle();
    void removeTriangle();

    // 关闭, Escape or the window's close button: asks before edits that were neither
    // computed nor saved are dropped.
    void reject() override;

protected:
    // Ctrl+Z and Ctrl+Y in a field go to the editor's undo, not the field's own.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildKnownData();
    QWidget* buildOrientation();
    QWidget* buildWeights();
    QWidget* buildReduction();
    QWidget* buildTables();
    QLayout* buildButtons();
    QLineEdit* newField(SheetField field, int width);
    // A button for one way of a choice, in the choice's group; choosing it is an edit.
    QRadioButton* newChoiceButton(SheetChoice choice, int way, const QString& text, QButtonGroup* group);
    // Makes `edit` as one step of the undo stack, named `verb` and what it changed.
    // Typing in one field makes one step until the field is left.
    void commit(SheetEdit edit, const QString& verb, bool typing = false);
    // Brings the sheet and everything shown of it to the other end of `edit`.
    void apply(const SheetEdit& edit, bool forward);
    // Shows the way chosen and opens the fields (and columns) it takes in.
    void showChoice(SheetChoice choice);
    // Shows the columns the sides need (a measurement's once a side is measured) and
    // sizes the side table to them.
    void fitSideView();
    // Brings a field of the settings into view: the settings back beside the tables
    // when they were pushed aside, and scrolled to it.
    void revealSetting(QWidget* widget);
    void pasteInto(SheetTableModel* model, SheetView* view, const QModelIndex& at);
    void clearCells(const QModelIndexList& cells);
    void clearMarks();
    std::optional<Job> checked();
    void showCount();

    JobSheet sheet_;
    QString fileName_;
    std::string savedText_;
    Hooks hooks_;
    QUndoStack* undo_ = nullptr;
    int typing_ = 0;  // counts the stretches of typing in one field
    // The problem marked and told, until its place is mended.
    std::optional<JobProblem> shownProblem_;

    std::array<QLineEdit*, sheetFieldCount> edits_{};
    struct ChoiceButton {
        SheetChoice choice;
        int way;
        QRadioButton* button;
    };
    std::vector<ChoiceButton> choiceButtons_;
    SheetTableModel* sides_ = nullptr;
    SheetTableModel* names_ = nullptr;
    SheetView* sideView_ = nullptr;
    SheetView* nameView_ = nullptr;
    QHBoxLayout* tablesRow_ = nullptr;
    QSplitter* splitter_ = nullptr;
    bool shown_ = false;
    QScrollArea* settingsArea_ = nullptr;
    QComboBox* ellipsoid_ = nullptr;
    QCheckBox* gauss_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* remove_ = nullptr;
};

}  // namespace trelvan
