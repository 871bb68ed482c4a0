// What the library's entry points share: the guard around every exported
// body, and the memory message that several operations show.
//
// Nothing is thrown across the library's boundary. Each entry point runs its
// body through guarded(): an exception the body lets out becomes the entry
// point's failure result, with the report it makes. The end of the calling
// thread is no failure: PlatformThreadEnd, which the layer's waits and
// checkpoints throw when the thread was asked to stop, always passes on to
// the thread's start.
#pragma once

#include <platform/thread.h>
#include <sonrel/wavkit.h>

#include <type_traits>
#include <utility>

namespace entry {

// Gives body(). When body throws anything but the thread's end, gives
// `failed` instead: a value, or a function (that reports) called for it.
template <typename Failed, typename Body>
auto guarded(Failed&& failed, Body&& body) -> decltype(body()) {
    try {
        return body();
    }
    PLATFORM_RETHROW_THREAD_EXIT
    catch (...) {
        if constexpr (std::is_invocable_v<Failed&>) {
            return failed();
        } else {
            return std::forward<Failed>(failed);
        }
    }
}

// Runs body(); anything it throws but the thread's end is dropped.
template <typename Body>
void guarded(Body&& body) {
    guarded([] {}, std::forward<Body>(body));
}

// A failure for guarded() that shows text in the error box (ErrorBox) over
// owner and gives result.
template <typename Result>
auto error_box(HWND owner, const char* text, Result result) {
    return [owner, text, result] {
        ErrorBox(owner, text);
        return result;
    };
}

// "Not enough memory.": what an operation shows when the memory for its change
// cannot be had. The file readers' "NOT ENOUGH MEMORY" is a message of its own.
inline constexpr char kNotEnoughMemory[] = "Not enough memory.";
inline int not_enough_memory(HWND owner) {
    return ErrorBox(owner, kNotEnoughMemory);
}

}  // namespace entry
