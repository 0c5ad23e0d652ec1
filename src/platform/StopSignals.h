#pragma once

// StopSignals turns the requests of the system to end the program (SIGTERM
// from a session's log-out or a service manager, SIGINT from a terminal,
// SIGHUP when the terminal goes) into something the message loop can wait
// for: a file descriptor that becomes readable when one arrives. The program
// then ends the way closing its window does, stopping and joining its
// workers, instead of dying in the middle of a write.
//
// Threading: WatchStopSignals is called once, on the user-interface thread,
// before any worker starts (the signal dispositions are process-wide). The
// handler itself only writes one byte to a pipe, which is safe in a signal
// handler.

namespace kestrel::platform {

// Installs the handlers and returns the descriptor to watch for reading; -1
// when the pipe could not be made (the signals then keep their defaults).
int WatchStopSignals();

}  // namespace kestrel::platform
