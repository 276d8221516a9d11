#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace kovi {

// Runs `work` on a worker thread, then `done` on the main loop (the default main context). `work`
// must not throw and must touch nothing the main thread uses; `done` must check that what it
// reports to still exists.
void runInBackground(std::function<void()> work, std::function<void()> done);

// The same, handing `work`'s result to `done`.
template <class T>
void runInBackground(std::function<T()> work, std::function<void(T)> done)
{
    auto result = std::make_shared<std::optional<T>>();
    runInBackground([result, work = std::move(work)] { result->emplace(work()); },
                    [result, done = std::move(done)] { done(std::move(**result)); });
}

} // namespace kovi
