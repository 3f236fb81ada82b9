#include "window/job_actions.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>

#include "job/sheet_wording.h"
#include "reduction/reduction.h"
#include "reduction/reduction_table.h"
#include "state/constants.h"
#include "state/number_format.h"
#include "window/job_editor.h"
#include "window/kept_window.h"
#include "window/main_form.h"
#include "window/print_action.h"
#include "window/qt_seams.h"

namespace trelvan {

namespace {

const QString jobFilter = QStringLiteral("作业文件 (*.trv)");

QString q(const std::string& text) { return QString::fromStdString(text); }

// A file name as the system calls take it.
std::string systemName(const QString& fileName) { return QFile::encodeName(fileName).toStdString(); }

QSettings settings() { return programSettings(); }

QString chooseJobFile(QWidget* parent, const QString& folder) {
    return chooseOpenFile(parent, QStringLiteral("打开作业文件"), {jobFilter, QStringLiteral("所有文件 (*)")}, folder);
}

// A name in a menu, where "&" would mark a shortcut key; long ones cut short.
QString menuText(QString text, int longest = 40) {
    if (text.size() > longest) text = text.left(longest) + QStringLiteral("…");
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The window's messages, the last one also kept: the editor shows why a job it
// computed did not complete.
class KeptMessage : public Messages {
public:
    explicit KeptMessage(Messages& shown) : shown_(shown) {}
    void say(const std::string& message) override {
        last = message;
        shown_.say(message);
    }
    void inform(const std::string& message) override { shown_.inform(message); }
    std::optional<std::string> last;

private:
    Messages& shown_;
};

}  // namespace

JobHooks JobHooks::system() {
    JobHooks hooks;
    hooks.chooseJobToOpen = chooseJobFile;
    hooks.chooseJobToSave = [](QWidget* parent, const QString& suggested) {
        return chooseSaveFile(parent, QStringLiteral("保存作业文件"), {jobFilter}, suggested);
    };
    hooks.confirm = askYesNo;
    return hooks;
}

// ---------------------------------------------------------------- recent jobs

QStringList RecentJobs::files() const { return settings().value(QStringLiteral("recentJobs")).toStringList(); }

void RecentJobs::add(const QString& fileName) {
    const QString path = QFileInfo(fileName).absoluteFilePath();
    QStringList list = files();
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > kept) list.removeLast();
    settings().setValue(QStringLiteral("recentJobs"), list);
    setFolder(QFileInfo(path).absolutePath());
}

void RecentJobs::remove(const QString& fileName) {
    QStringList list = files();
    list.removeAll(QFileInfo(fileName).absoluteFilePath());
    settings().setValue(QStringLiteral("recentJobs"), list);
}

void RecentJobs::clear() { settings().remove(QStringLiteral("recentJobs")); }

QString RecentJobs::lastJobFile() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/last.trv");
}

QString RecentJobs::lastJobSummary() const { return settings().value(QStringLiteral("lastJob")).toString(); }

void RecentJobs::setLastJobSummary(const QString& summary) {
    settings().setValue(QStringLiteral("lastJob"), summary);
}

QString RecentJobs::folder() const { return settings().value(QStringLiteral("folder")).toString(); }

void RecentJobs::setFolder(const QString& folder) { settings().setValue(QStringLiteral("folder"), folder); }

// ---------------------------------------------------------------- the actions

JobActions::JobActions(MainForm& form) : QObject(&form), form_(form), title_(form.windowTitle()) {
    const MenuActions& m = form.menuActions();
    connect(m.newJob, &QAction::triggered, this, &JobActions::newJob);
    connect(m.openJob, &QAction::triggered, this, &JobActions::openJob);
    connect(m.editJob, &QAction::triggered, this, &JobActions::editJob);
    connect(m.saveJob, &QAction::triggered, this, &JobActions::saveJob);
    connect(m.saveJobAs, &QAction::triggered, this, &JobActions::saveJobAs);
    m.recentJobs->setToolTipsVisible(true);
    // Only a completed action has a job to edit or save.
    for (QAction* action : {m.editJob, m.saveJob, m.saveJobAs}) form.enableWithResult(action);
    // Filled afresh each time it opens (never while one of its items is at work):
    // another window of the program may have changed the list.
    connect(m.recentJobs, &QMenu::aboutToShow, this, &JobActions::fillRecentMenu);
    connect(&form, &MainForm::resultCompleted, this, &JobActions::completed);
    fillRecentMenu();
}

void JobActions::fillRecentMenu() {
    QMenu* menu = form_.menuActions().recentJobs;
    menu->clear();
    const QStringList files = recent_.files();
    int number = 0;
    for (const QString& file : files) {
        const QFileInfo info(file);
        QAction* item = menu->addAction(QStringLiteral("&%1  %2（%3）")
                                            .arg(q(digits(++number)))
                                            .arg(menuText(info.fileName()),
                                                 menuText(QDir::toNativeSeparators(info.absolutePath()), 60)));
        item->setToolTip(QDir::toNativeSeparators(file));
        item->setData(file);
        connect(item, &QAction::triggered, this, [this, file] { openFile(file); });
    }
    if (files.isEmpty()) menu->addAction(QStringLiteral("（没有最近打开或保存的作业）"))->setEnabled(false);
    menu->addSeparator();
    const QString summary = recent_.lastJobSummary();
    QAction* last = menu->addAction(QStringLiteral("上次完成的作业") +
                                    (summary.isEmpty() ? QString() : QStringLiteral("：") + menuText(summary, 80)));
    last->setObjectName(QStringLiteral("actionLastJob"));
    last->setToolTip(QStringLiteral("上次完成的平差计算的数据，程序结束后仍可找回"));
    last->setEnabled(QFileInfo::exists(RecentJobs::lastJobFile()));
    connect(last, &QAction::triggered, this, &JobActions::restoreLastJob);
    menu->addSeparator();
    QAction* clear = menu->addAction(QStringLiteral("清除列表"));
    clear->setObjectName(QStringLiteral("actionClearRecentJobs"));
    clear->setEnabled(!files.isEmpty());
    connect(clear, &QAction::triggered, this, [this] { recent_.clear(); });
}

bool JobActions::openFile(const QString& fileName, bool asUntitled) {
    const QString shown = QDir::toNativeSeparators(fileName);
    const QString path = QFileInfo(fileName).absoluteFilePath();
    const JobReading reading = readJobFile(systemName(fileName));
    if (!reading.accepted()) {
        const JobProblem& problem = *reading.problem;
        const QString message = q(refusalMessage(shown.toStdString(), problem));
        // A job with a bad value opens in the editor, marked; a file that holds no
        // job has nothing to show there.
        if (!reading.fieldsRead || sheetPlaceOf(problem).kind == SheetPlace::Kind::None) {
            if (!asUntitled && !QFileInfo::exists(fileName)) recent_.remove(fileName);
            form_.messages().say(message.toStdString());
            return false;
        }
        if (!asUntitled) recent_.add(fileName);
        openEditor(sheetOf(reading.job), asUntitled ? QString() : path, std::string())
            ->showProblem(problem, message);
        return false;
    }
    if (!asUntitled) recent_.add(fileName);
    const QString origin = asUntitled ? QString() : path;
    const std::string text = jobText(reading.job);
    if (const auto failure = compute(reading.job, origin, text)) {
        // The chain computes to impossible arithmetic: the editor is where it can be
        // corrected.
        openEditor(sheetOf(reading.job), origin, text)->showMessage(q(*failure), true);
        return false;
    }
    return true;
}

std::optional<std::string> JobActions::compute(const Job& job, const QString& fileName,
                                               const std::string& savedText) {
    ReplyListPrompter prompter(jobReplies(job));
    KeptMessage messages(form_.messages());
    computing_ = Origin{fileName, savedText};
    const ComputeOutcome outcome = form_.compute(prompter, messages, true, job.jobOnly);
    computing_.reset();
    if (outcome == ComputeOutcome::Completed) {
        // Measured sides whose reduction asks for another zone, said over the result.
        if (reduction::hasReduction(job.jobOnly)) {
            const std::string warning = reduction::reductionWarning(reduction::reduce(job));
            if (!warning.empty()) form_.messages().say(warning + "。");
        }
        return std::nullopt;
    }
    return messages.last.value_or("平差计算没有完成。");
}

void JobActions::completed() {
    if (computing_) {
        current_ = computing_->fileName;
        savedText_ = computing_->savedText;
    } else {
        // A chain typed in the input boxes is a new chain, with no file of its own.
        current_.clear();
        savedText_.clear();
    }
    modified_ = !current_.isEmpty() && jobText(jobOf(form_.record())) != savedText_;
    showCaption();
    keepLastJob();
}

void JobActions::keepLastJob() {
    const QString path = RecentJobs::lastJobFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const Job job = jobOf(form_.record());
    if (const auto failure = trelvan::saveJob(systemName(path), job)) {
        // Once in a session: the result itself is there, only its keeping failed.
        if (!lastJobWarned_)
            form_.messages().say("上次完成的作业没有保存下来，程序结束后将无法找回：" + *failure);
        lastJobWarned_ = true;
        return;
    }
    recent_.setLastJobSummary(q(lastJobSummary(job, form_.record().computedAt)));
}

void JobActions::showCaption() {
    if (current_.isEmpty()) {
        form_.setWindowTitle(title_);
        form_.setWindowModified(false);
        return;
    }
    form_.setWindowTitle(title_ + QStringLiteral(" - ") + QFileInfo(current_).fileName() + QStringLiteral("[*]"));
    form_.setWindowModified(modified_);
}

JobEditor* JobActions::openEditor(JobSheet sheet, const QString& fileName, const std::string& savedText) {
    if (editor_) editor_->close();
    JobEditor::Hooks hooks;
    hooks.compute = [this](const Job& job, const QString& file, const std::string& text) {
        return compute(job, file, text);
    };
    hooks.save = [this](JobEditor& editor, const Job& job) {
        // The editor's job is named after its own file, or its own A and B.
        const QString proposed =
            editor.fileName().isEmpty()
                ? proposedFolder() + QLatin1Char('/') +
                      q(proposedFileName(Proposed::Job, jobStem({}, job.pointName.front(), job.pointName.back())))
                : editor.fileName();
        const QString file = hooks_.chooseJobToSave(&editor, proposed);
        if (file.isEmpty() || !write(file, job)) return false;
        editor.setSaved(file, jobText(job));
        return true;
    };
    hooks.confirm = [this](QWidget* parent, const QString& question) { return hooks_.confirm(parent, question); };
    auto* editor = new JobEditor(&form_, std::move(sheet), fileName, savedText, std::move(hooks));
    editor->setAttribute(Qt::WA_DeleteOnClose);
    placeKept(*editor, [this](const QWidget& w) { return form_.childPlace(w); });
    editor_ = editor;
    editor->open();  // modal to the window, without a loop of its own
    return editor;
}

void JobActions::newJob() { openEditor(newSheet(), QString(), std::string()); }

void JobActions::openJob() {
    const QString file = hooks_.chooseJobToOpen(&form_, recent_.folder());
    if (!file.isEmpty()) openFile(file);
}

void JobActions::editJob() {
    if (!form_.record().hasResult()) return;
    openEditor(sheetOf(jobOf(form_.record())), current_, savedText_);
}

bool JobActions::saveJob() {
    if (!form_.record().hasResult()) return false;
    if (current_.isEmpty()) return saveJobAs();
    return write(current_, jobOf(form_.record()));
}

bool JobActions::saveJobAs() {
    if (!form_.record().hasResult()) return false;
    const QString file = hooks_.chooseJobToSave(&form_, current_.isEmpty() ? proposedPath(Proposed::Job) : current_);
    return !file.isEmpty() && write(file, jobOf(form_.record()));
}

void JobActions::restoreLastJob() { openFile(RecentJobs::lastJobFile(), true); }

bool JobActions::write(const QString& fileName, const Job& job) {
    if (const auto failure = trelvan::saveJob(systemName(fileName), job)) {
        form_.messages().say(*failure);
        return false;
    }
    recent_.add(fileName);
    const QString path = QFileInfo(fileName).absoluteFilePath();
    const std::string text = jobText(job);
    if (form_.record().hasResult() && jobText(jobOf(form_.record())) == text) {
        // The file now holds the result on show: it becomes the window's job file.
        current_ = path;
        savedText_ = text;
        modified_ = false;
    } else if (path == current_) {
        // The window's job file now holds another job than the one on show.
        savedText_ = text;
        modified_ = true;
    }
    showCaption();
    return true;
}

QString JobActions::proposedFolder() const {
    if (!current_.isEmpty()) return QFileInfo(current_).absolutePath();
    return recent_.folder().isEmpty() ? QDir::homePath() : recent_.folder();
}

QString JobActions::proposedPath(Proposed what, const QString& table) const {
    const ChainState& record = form_.record();
    const std::string stem = jobStem(current_.toStdString(), record.hasResult() ? record.pointName.front() : std::string(),
                                     record.hasResult() ? record.pointName.back() : std::string());
    return proposedFolder() + QLatin1Char('/') + q(proposedFileName(what, stem, table.toStdString()));
}

ReportOrigin JobActions::reportOrigin(Proposed what) const {
    return {current_.toStdString(), modified_, proposedPath(what)};
}

}  // namespace trelvan
