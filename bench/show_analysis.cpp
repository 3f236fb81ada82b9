// Opens the main window with a chain computed from a reply file, exactly as if it had
// been typed into the input boxes, and the 精度分析 window in front of it: for
// looking at the analysis window (screenshots, scaling, locales) without typing a
// chain by hand.
//
//   trelvan_show_analysis [--tab N] [--sort COLUMN] [--descending] < replies.txt
//
// --tab picks the table (1 … 5), --sort sorts it by a column (1 = the first).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QTabWidget>
#include <QTableView>

#include "window/analysis_window.h"
#include "window/application.h"
#include "window/main_form.h"
#include "window/window_main.h"

namespace {

// Answers every input box with the next line of standard input.
class LinePrompter : public trelvan::Prompter {
public:
    trelvan::Reply ask(const std::string&) override {
        std::string line;
        if (!std::getline(std::cin, line)) return trelvan::Reply::endOfInput();
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return trelvan::Reply::typed(line);
    }
};

class StderrMessages : public trelvan::Messages {
public:
    void say(const std::string& message) override { std::fprintf(stderr, "! %s\n", message.c_str()); }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    trelvan::prepareApplication(app);
    QApplication::setWindowIcon(trelvan::programIcon());
    int tab = 1, sortColumn = 0;
    bool descending = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tab") == 0 && i + 1 < argc) tab = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--sort") == 0 && i + 1 < argc) sortColumn = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--descending") == 0) descending = true;
    }

    trelvan::MainForm form;
    LinePrompter prompter;
    StderrMessages messages;
    form.setPrompter(&prompter);
    form.setMessages(&messages);
    form.show();
    form.Command1_Click();
    form.setPrompter(nullptr);
    form.setMessages(nullptr);
    if (!form.record().hasResult()) {
        std::fputs("the replies did not complete a computation\n", stderr);
        return 1;
    }
    form.menuActions().analysis->trigger();
    auto* window = trelvan::AnalysisWindow::openFor(form);
    window->tabs()->setCurrentIndex(tab - 1);
    if (sortColumn > 0)
        window->view(tab - 1)->sortByColumn(sortColumn - 1, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    return app.exec();
}
