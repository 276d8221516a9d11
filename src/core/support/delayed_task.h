#pragma once

#include <functional>

namespace kovi {

// One cancellable piece of delayed work: starting it again replaces what was pending. Code on
// the main loop uses MainLoopDelayedTask; tests fire a manual one by hand.
class DelayedTask {
public:
    virtual ~DelayedTask() = default;
    // Runs `work` once after `seconds` (0 or less: on the next turn of the loop), unless it is
    // cancelled or replaced first.
    virtual void start(double seconds, std::function<void()> work) = 0;
    virtual void cancel() = 0;
    virtual bool isPending() const = 0;
};

} // namespace kovi
