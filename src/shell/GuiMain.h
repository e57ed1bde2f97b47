#pragma once

namespace trelmig {

struct Session;

// Starts the windows: creates the QApplication and runs its event loop.
int runGui(int argc, char** argv, Session& session);

} // namespace trelmig
