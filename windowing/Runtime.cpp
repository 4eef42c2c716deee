#include "Runtime.h"

#include "EventHandler.h"
#include "Form.h"

#include <QApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <vector>

namespace windowing {

namespace {

struct RuntimeState {
    std::vector<Form*> forms;
    std::vector<Form*> loaded;
    bool endRequested = false;
    bool running = false;
    std::vector<std::function<void()>> shutdownTasks;
};

RuntimeState& state()
{
    static RuntimeState s;
    return s;
}

// A normal run prints nothing but the top level's error lines: Qt's own notices are
// dropped, and the program's diagnostic categories ("reelvane.*") are off unless
// switched on through Qt's logging rules.
void quietMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool ours = context.category && qstrncmp(context.category, "reelvane.", 9) == 0;
    if (!ours && type != QtFatalMsg)
        return;
    fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace

int Runtime::run(StartupProcedure startup)
{
    qInstallMessageHandler(quietMessageHandler);
    static int argc = 1;
    static char programName[] = "reelvane";
    static char* argv[] = {programName, nullptr};
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    runEventHandler("Main", startup);
    if (!state().loaded.empty() && !state().endRequested) {
        state().running = true;
        QApplication::exec();
        state().running = false;
    }
    // Windows and everything else made of Qt objects go before the application object.
    auto tasks = std::move(state().shutdownTasks);
    for (auto it = tasks.rbegin(); it != tasks.rend(); ++it)
        (*it)();
    for (Form* form : std::vector<Form*>(state().forms))
        form->releaseWindow();
    return 0;
}

void Runtime::formCreated(Form* form)
{
    state().forms.push_back(form);
}

void Runtime::formDestroyed(Form* form)
{
    auto& s = state();
    std::erase(s.forms, form);
    std::erase(s.loaded, form);
}

void Runtime::formLoaded(Form* form)
{
    auto& s = state();
    if (std::find(s.loaded.begin(), s.loaded.end(), form) == s.loaded.end())
        s.loaded.push_back(form);
    s.endRequested = false;
}

void Runtime::formUnloaded(Form* form)
{
    auto& s = state();
    std::erase(s.loaded, form);
    if (s.loaded.empty()) {
        s.endRequested = true;
        if (s.running)
            QCoreApplication::exit(0);
    }
}

void Runtime::atShutdown(std::function<void()> task)
{
    state().shutdownTasks.push_back(std::move(task));
}

bool Runtime::endRequested()
{
    return state().endRequested;
}

} // namespace windowing
