#include "commandline/Interruption_p.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace tallyline::commandline {
namespace {

std::atomic<int> caught = 0;
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may touch only a lock-free atomic");

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kSignalStatusBase = 128;

// What each signal did before, to put back.
struct sigaction before[std::size(kSignals)];

extern "C" void Catch(int signal) { caught.store(signal); }

}  // namespace

Interruption::Interruption() {
    struct sigaction action {};
    action.sa_handler = Catch;
    sigemptyset(&action.sa_mask);
    // Once caught, the signal's own disposition is back for the next one.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], nullptr, &before[i]);
        // A signal ignored when we were started (a shell's "&") stays ignored.
        if (before[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
    }
}

Interruption::~Interruption() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &before[i], nullptr);
}

int Interruption::Signal() { return caught.load(); }

int StatusOfSignal(int signal) { return kSignalStatusBase + signal; }

}  // namespace tallyline::commandline
