// The window program is a module of its own (libvantry_window.so beside vantry), which
// vantry loads only when it opens a window: the headless modes and --version never load
// wxWidgets and GTK, nor run their start-up.
#pragma once

constexpr const char* WINDOW_MODULE_FILE = "libvantry_window.so";
constexpr const char* WINDOW_MODULE_ENTRY = "vantry_run_window";

// The module's entry: runs the window program, answers its exit code.
using WindowModuleEntry = int (*)(int argc, char** argv);
