#include "platform/StopSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace kestrel::platform {
namespace {

// The write end of the pipe; written only by the handler once it is set.
volatile sig_atomic_t g_signal_pipe = -1;

void OnStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe means a request is already waiting; nothing is lost.
    [[maybe_unused]] const ssize_t written = write(g_signal_pipe, &byte, 1);
    errno = saved;
}

}  // namespace

int WatchStopSignals() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    g_signal_pipe = fds[1];
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal_number, &action, nullptr);
    return fds[0];
}

}  // namespace kestrel::platform
