#pragma once

#include <string_view>

namespace trelmig {

// Notes in the program's state folder that a piece of work began and has not
// finished yet, so that the next run can tidy up after one that was killed
// (a power cut, SIGKILL) without looking each time. `key` names the work;
// the note's file name is derived from it.

// True when work under key began and never finished, or when the state
// folder cannot be read (then every run tidies up).
bool UnfinishedWorkLeft(std::string_view key);

// Notes that work under key begins; false when no note can be written.
bool NoteWorkBegins(std::string_view key);

// Removes the note: the work finished.
void NoteWorkFinished(std::string_view key);

} // namespace trelmig
