#pragma once

#include <functional>

namespace kovi::test {

// Runs the default GLib main context until `done` holds or `timeoutSeconds` pass.
// Returns whether `done` held.
bool runUntil(const std::function<bool()>& done, double timeoutSeconds = 10);

// Runs the main context for pending work only (no waiting).
void drainMainLoop();

} // namespace kovi::test
