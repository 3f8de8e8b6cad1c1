#include "commandline/Interruption_p.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace tallyline::commandline {
namespace {

std::atomic<int> caught = 0;
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may touch only a lock-free atomic");

constexpr int kSignals[] = {SIGHUP, SIGINT, SIGTERM};
constexpr int kSignalStatusBase = 128;

// What each signal did before, to put back.
struct sigaction before[std::size(kSignals)];

// A pipe that the handler writes into: a wait in poll() on it ends, where a
// restarted read() would go on waiting for input that may never come.
std::atomic<int> wakeRead = -1;
std::atomic<int> wakeWrite = -1;

extern "C" void Catch(int signal) {
    const int saved = errno;
    caught.store(signal);
    const int end = wakeWrite.load();
    // A pipe that is full has woken its reader already.
    [[maybe_unused]] const ssize_t written = end >= 0 ? write(end, "", 1) : 0;
    errno = saved;
}

}  // namespace

Interruption::Interruption() {
    if (int ends[2]; pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead = ends[0];
        wakeWrite = ends[1];
    }
    struct sigaction action {};
    action.sa_handler = Catch;
    sigemptyset(&action.sa_mask);
    // Once caught, the signal's own disposition is back for the next one.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], nullptr, &before[i]);
        // A signal ignored when we were started (a shell's "&", nohup) stays ignored.
        if (before[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
    }
}

Interruption::~Interruption() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &before[i], nullptr);
    for (auto* end : {&wakeWrite, &wakeRead}) {
        if (const int descriptor = end->exchange(-1); descriptor >= 0) close(descriptor);
    }
}

int Interruption::Signal() { return caught.load(); }

int Interruption::WakeDescriptor() { return wakeRead.load(); }

int StatusOfSignal(int signal) { return kSignalStatusBase + signal; }

}  // namespace tallyline::commandline
