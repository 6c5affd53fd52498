#pragma once

// A write to a pipe or socket whose reader went away fails with EPIPE, which every writer
// reports as a failed write, instead of ending the program by SIGPIPE with nothing said and
// unsaved work lost. Called first thing by each program.
namespace BrokenPipes {

void reportInsteadOfDying();

} // namespace BrokenPipes
