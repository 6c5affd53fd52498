#pragma once

// Start-up timing runs whole programs in child processes of orvex-bench:
// "main" is the real program's start-up, "bare" a plain 128 x 16 QTableWidget.
// Both end as soon as their window is on screen.
int runStartupChild(const char *kind, int &argc, char **argv);

// One child run, in milliseconds.
struct StartupTimes
{
    double shown = 0;     // from starting the process to its window on screen (what a user waits for)
    double wholeRun = 0;  // to the process's end, teardown included
    double processor = 0; // processor time of the whole run (user and system), which other work on
                          // a shared machine changes far less
};
StartupTimes timeStartupChild(const char *kind);
