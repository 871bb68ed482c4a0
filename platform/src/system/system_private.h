// The system area: the start of the layer, threads, mutexes, processes, time
// and movable memory. Inside the area, the table of waitable objects (threads,
// mutexes and processes share one handle space, so WaitForSingleObject and
// CloseHandle serve all) and the one wait loop every blocking call uses.
#pragma once

#include <platform/platform.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace plat {

// --- start (init.cpp) ---
DWORD ui_thread_id();

// --- threads (thread.cpp, thread_objects.cpp) ---
// Ends the calling thread when a stop was requested for it (does not return then).
void checkpoint();
// Makes the layer's waits look again at once; the window area calls it when it
// hands a call to the user-interface thread, so a wait there serves it without
// delay. Callable from any thread.
void wake_waiters();

// --- movable memory (memory.cpp) ---
// A device that reads a block's memory holds the allocation that contains addr,
// so freeing or moving the block leaves those bytes in place until the matching
// release_memory. FALSE when addr lies in no block.
bool hold_memory(const void* addr);
void release_memory(const void* addr);
// For the testing hooks: the next n allocations or reallocations fail (0 turns
// it off); a process-wide limit on one block's size in bytes (0: none).
void fail_next_allocations(int n);
void set_allocation_limit(uint64_t bytes);

// --- waitable objects (thread_objects.cpp) ---
enum class ObjectKind { thread = 1, mutex = 2, process = 3 };

// Handles are numbers that are never reused; a closed handle is not found.
HANDLE object_add(ObjectKind kind, std::shared_ptr<void> obj);
std::shared_ptr<void> object_get(HANDLE h, ObjectKind kind);
bool object_kind(HANDLE h, ObjectKind* kind);
std::shared_ptr<void> object_remove(HANDLE h, ObjectKind* kind);

// Guards every thread record; wake_waiters() tells blocked waits
// to look again: a thread ended, a mutex was released, a stop or resume was
// requested, a call was handed to the user-interface thread.
std::mutex& state_lock();
std::condition_variable& state_cv();

// Calls try_once (with no lock held) until it gives true or timeoutMs passes;
// false on timeout. On the user-interface thread the wait keeps serving sent
// messages; on other threads it honours stop requests (the thread ends there).
bool wait_until(const std::function<bool()>& try_once, DWORD timeoutMs);

// Milliseconds on a monotonic clock.
uint64_t monotonic_ms();

// Sleep on a thread that may be stopped: wakes early to end the thread.
void sleep_interruptible(DWORD ms);

// Mutex unit: waits for a mutex object; releases every mutex the given thread
// still owns (its owner ended, so the next waiter gets it).
DWORD mutex_wait(const std::shared_ptr<void>& obj, DWORD timeoutMs);
void mutexes_abandon(DWORD threadId);

// Process unit: waits for a process object to end (WAIT_OBJECT_0 or
// WAIT_TIMEOUT); the full path of a program name found on PATH (an empty PATH
// entry is the current folder), or empty.
DWORD process_wait(const std::shared_ptr<void>& obj, DWORD timeoutMs);
std::string find_on_path(const std::string& name);

}  // namespace plat
