#pragma once
// Background priority for threads that do long work the user did not wait for (scans): a lower
// processor priority and the lowest best-effort disk priority, so the window and other programs
// stay responsive while they run. On an idle machine such a thread runs as fast as any other.
// Threads the thread starts afterwards inherit both.
namespace tarnwick::threadPriority {

// Niceness a background thread runs at (0 is normal, 19 the lowest).
inline constexpr int backgroundNice = 10;
// Best-effort disk priority level a background thread runs at (0 the highest, 7 the lowest).
inline constexpr int backgroundIoLevel = 7;

// Lowers the calling thread to background priority; only that thread, never the whole process.
// Answers whether both took effect (a thread already lower keeps its own processor priority).
bool enterBackground();

}  // namespace tarnwick::threadPriority
