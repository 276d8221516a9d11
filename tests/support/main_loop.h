#pragma once

#include <functional>

namespace kovi::test {

// Runs the default GLib main context until `done` holds or `timeoutSeconds` pass.
// Returns whether `done` held.
bool runUntil(const std::function<bool()>& done, double timeoutSeconds = 30);

// Runs the main context for pending work only (no waiting). Stops after two seconds even if work
// keeps coming (an animation on a machine too busy to keep up with its frames is never done).
void drainMainLoop();

} // namespace kovi::test
