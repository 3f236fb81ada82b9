#pragma once
// The job editor (作业数据): the known points, the orientation of each end, Qa, Qb and
// the tolerance as fields; the sides S1 … S(2N+1) and the names of points 1 … N as
// tables that stay quick with the largest chain (a model and a view, never a widget
// per cell). It holds what is typed as text (JobSheet), so that nothing typed is
// lost while it is being corrected; 计算 and 保存 check the job the texts make with
// the dialogue's own checks and mark the first bad field or cell.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>

#include "job/job_sheet.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace trelvan {

// One table of the sheet: the sides (length, side of the route) or the point names.
class SheetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class Table { Sides, Names };
    enum Column { Length = 0, Position = 1 };  // the sides' columns; the names have one

    SheetTableModel(JobSheet& sheet, Table table, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The cell marked as the first fault; an invalid index clears the mark.
    void mark(const QModelIndex& index);
    QModelIndex marked() const;

    // Changes the rows of the table (the sheet's triangles) through `change`.
    void changeRows(const std::function<void()>& change);

signals:
    void edited();

private:
    int rows() const;
    JobSheet& sheet_;
    Table table_;
    QPersistentModelIndex marked_;
};

// A table that takes a pasted column, clears the selected cells with Delete and
// copies them as tab-separated text.
class SheetView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    void pasteRequested(const QModelIndex& at);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

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
    QString message() const;
    bool isModified() const { return modified_; }
    QString fileName() const { return fileName_; }
    // The job file now holds the sheet's job.
    void setSaved(const QString& fileName, const std::string& savedText);

    // Marks where `problem` lies (selects, scrolls to and colours it) and shows `message`.
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

private:
    QWidget* buildKnownData();
    QWidget* buildOrientation();
    QWidget* buildTables();
    QLineEdit* newField(SheetField field, int width);
    void setOrientation(bool endA, EndOrientation orientation);
    void pasteInto(SheetTableModel* model, SheetView* view, const QModelIndex& at);
    void clearMarks();
    std::optional<Job> checked();
    void edited();
    void showCount();

    JobSheet sheet_;
    QString fileName_;
    std::string savedText_;
    Hooks hooks_;
    bool modified_ = false;

    std::array<QLineEdit*, sheetFieldCount> edits_{};
    std::array<QRadioButton*, 6> orientationButtons_{};  // A: azimuth, point, none; B likewise
    SheetTableModel* sides_ = nullptr;
    SheetTableModel* names_ = nullptr;
    SheetView* sideView_ = nullptr;
    SheetView* nameView_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* remove_ = nullptr;
};

}  // namespace trelvan
