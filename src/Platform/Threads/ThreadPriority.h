#pragma once
// Scheduling of worker threads: background work (reading pictures for a list) runs
// below the control's thread, so input and painting get the processor first.

namespace Platform {

// Lowers the calling thread's priority below normal; other threads keep theirs.
// Failure (a system that refuses) leaves the priority as it was.
void LowerCurrentThreadPriority();

} // namespace Platform
