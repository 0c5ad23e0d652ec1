#pragma once

// Ending the Qt program with workers still running. A worker's read of a
// window waits for the user-interface thread, so that thread must not simply
// join the workers: it asks them to stop and serves its events until the
// last one has been joined. A dialog a worker still waits on (the Java
// warning, say) is answered as cancelled, so that worker ends too.
//
// Threading: call on the user-interface thread, after the message loop.

#include "platform/Workers.h"

namespace kestrel::app {

void StopWorkersServingEvents(platform::Workers& workers);

}  // namespace kestrel::app
