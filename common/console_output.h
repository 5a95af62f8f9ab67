// Standard output of the console archivers. A console takes every write as one call into the
// system (under Wine a round trip to its server and the console's host), and the C library
// writes an unbuffered stream in many small pieces. So the archivers'
// output is buffered and written in large pieces: before a question is read, before an error
// line, at the end, and otherwise about once a second, so that a watcher still sees it move.
#pragma once

namespace ql {

// Makes standard output fully buffered; called once, before anything is written.
void BufferConsoleOutput();

// A point where the line so far is worth showing (a member's name before its work): writes the
// buffered output when the clock's second has changed since it was last written.
void ShowConsoleOutputNowAndThen();

}  // namespace ql
