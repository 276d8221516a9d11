#pragma once

#include <functional>

namespace kovi {

// One cancellable piece of delayed work: starting it again replaces what was pending. The views
// use a main-loop timer; tests fire it by hand.
class DelayedTask {
public:
    virtual ~DelayedTask() = default;
    // Runs `work` once after `seconds` (0: on the next turn of the loop), unless cancelled or
    // replaced first.
    virtual void start(double seconds, std::function<void()> work) = 0;
    virtual void cancel() = 0;
    virtual bool isPending() const = 0;
};

} // namespace kovi
