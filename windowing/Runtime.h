#pragma once

#include <functional>

namespace windowing {

class Form;

// The window runtime: it starts the application, calls the program's start-up
// procedure once, dispatches events on the one user-interface thread until no form is
// loaded, and then ends the process.
class Runtime {
public:
    using StartupProcedure = void (*)();

    // Runs the program; returns the process's exit status. Command-line arguments are
    // not handed to Qt, which would obey its own options in them.
    static int run(StartupProcedure startup);

    // Bookkeeping of forms, called by Form.
    static void formCreated(Form* form);
    static void formDestroyed(Form* form);
    static void formLoaded(Form* form);
    static void formUnloaded(Form* form);

    // Whether the last loaded form has been unloaded, ending the program.
    // Runs after the event loop ends, before the application object goes; forms and
    // anything else holding Qt objects are released here.
    static void atShutdown(std::function<void()> task);

    static bool endRequested();
};

} // namespace windowing
