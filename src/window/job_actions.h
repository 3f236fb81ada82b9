#pragma once
// The job items of the 文件 menu: 新建作业, 打开作业, 编辑作业数据, 保存作业, 作业另存为 and
// 最近的作业; the job file the window's result came from, in the caption; and the last
// completed job, kept in the user's data folder so that it outlives the program.
//
// The job file of the window is the file the result on show was read from or saved
// to. A job computed from the editor keeps the editor's file, marked as changed when
// it no longer matches what the file holds; a chain typed into the input boxes is a
// new chain and has no file, so that 保存作业 never writes a typed chain over the
// file of another.

#include <functional>
#include <optional>
#include <string>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "job/job_sheet.h"
#include "job/proposed_name.h"
#include "window/print_action.h"
#include "window/job_editor.h"

class QWidget;

namespace trelvan {

class MainForm;

// What the job items ask of the system, replaceable in tests.
struct JobHooks {
    // A job file to open, starting in `folder`; empty when the operator cancels.
    std::function<QString(QWidget* parent, const QString& folder)> chooseJobToOpen;
    // Where to save a job, suggesting `suggested`; empty when the operator cancels.
    std::function<QString(QWidget* parent, const QString& suggested)> chooseJobToSave;
    // Asks a yes/no question; true for yes.
    std::function<bool(QWidget* parent, const QString& question)> confirm;

    // Qt's own file dialogs (in Chinese) and message box.
    static JobHooks system();
};

// The job files opened and saved lately, newest first, and the last completed job,
// in the user's settings and data folder.
class RecentJobs {
public:
    static constexpr int kept = 8;
    QStringList files() const;
    void add(const QString& fileName);
    void remove(const QString& fileName);
    void clear();
    // Where the last completed job is kept, and what it was.
    static QString lastJobFile();
    QString lastJobSummary() const;
    void setLastJobSummary(const QString& summary);
    // The folder the file dialogs start in.
    QString folder() const;
    void setFolder(const QString& folder);
};

class JobActions : public QObject {
    Q_OBJECT
public:
    // Connects the job items of `form`'s menu.
    explicit JobActions(MainForm& form);

    void setHooks(JobHooks hooks) { hooks_ = std::move(hooks); }

    // The job file of the result on show ("" when none), and whether the result's job
    // differs from what that file holds.
    QString currentFile() const { return current_; }
    bool isModified() const { return modified_; }
    // The editor while it is open.
    JobEditor* editor() const { return editor_; }

    // Where a save or an export of the result on show is proposed: named after its
    // job (K07-K08.pdf), beside its job file, else in the folder used last.
    QString proposedPath(Proposed what, const QString& table = {}) const;
    // The job file the printed pages of the result on show name, and the file
    // proposed for `what` (the report or the full report).
    ReportOrigin reportOrigin(Proposed what) const;
    RecentJobs& recent() { return recent_; }

    // Reads the job in `fileName` and computes it. A job refused for one of its values
    // opens in the editor with the value marked; a file that holds no job says why.
    // Nothing of a refused job changes the record, the window or the job file on
    // show. `asUntitled` computes it without making it the window's job file (the
    // last completed job). Returns whether the job was computed.
    bool openFile(const QString& fileName, bool asUntitled = false);

public slots:
    void newJob();
    void openJob();
    void editJob();
    bool saveJob();
    bool saveJobAs();
    void restoreLastJob();

private:
    // Computes `job` in the window; empty when it completed, else why not.
    std::optional<std::string> compute(const Job& job, const QString& fileName, const std::string& savedText);
    JobEditor* openEditor(JobSheet sheet, const QString& fileName, const std::string& savedText);
    bool write(const QString& fileName, const Job& job);
    void completed();
    void keepLastJob();
    void showCaption();
    void fillRecentMenu();
    QString proposedFolder() const;

    MainForm& form_;
    JobHooks hooks_ = JobHooks::system();
    RecentJobs recent_;
    QString title_;
    QString current_;
    std::string savedText_;  // the text of the job `current_` holds
    bool modified_ = false;
    // The job being computed from a file or the editor: its file and that file's job.
    struct Origin {
        QString fileName;
        std::string savedText;
    };
    std::optional<Origin> computing_;
    QPointer<JobEditor> editor_;
    bool lastJobWarned_ = false;
};

}  // namespace trelvan
