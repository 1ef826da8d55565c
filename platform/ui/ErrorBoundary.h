#pragma once

// Qt's own frames do not promise to survive an exception, so no failure may
// leave an event handler through them. Every handler that can fail runs its
// body through runGuarded: a failure is shown in the application's default
// error box there, and the program goes on.

#include <concepts>
#include <functional>
#include <utility>

namespace platform {

// Runs body; a failure of it is shown in the default error box.
void runGuarded(const std::function<void()> &body) noexcept;

// A slot for connect() that runs the receiver's handler through runGuarded.
template <typename Receiver, typename... Args> auto guarded(Receiver *receiver, void (Receiver::*handler)(Args...))
{
    return [receiver, handler](Args... args) { runGuarded([&] { (receiver->*handler)(args...); }); };
}

// A slot for connect() that runs the callable through runGuarded; it takes
// the signal's arguments the callable takes.
template <typename Body> auto guarded(Body body)
{
    return [body = std::move(body)](auto... args) requires std::invocable<Body &, decltype(args)...>
    {
        runGuarded([&] { body(args...); });
    };
}

} // namespace platform
