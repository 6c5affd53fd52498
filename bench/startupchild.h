#pragma once

// Start-up timing runs whole programs in child processes of orvex-bench:
// "main" is the real program's start-up, "bare" a plain 128 x 16 QTableWidget.
// Both end as soon as their window is on screen.
int runStartupChild(const char *kind, int &argc, char **argv);

// Wall-clock milliseconds of one child run; `cpuMs`, when given, gets the processor time it
// took (user and system), which other work on a shared machine changes far less.
double timeStartupChild(const char *kind, double *cpuMs = nullptr);
