#pragma once
// The one guard at every boundary that the data source does not own:
// DS_Entry, its window and dialog procedures, and the imaging library's
// exports. Nothing thrown inside may unwind into the host application, so
// whatever escapes the work ends here as that boundary's failure answer.
#include <new>

enum class BoundaryFailure { lowMemory, other };

// work() answers normally; failure(kind) answers for it when it threw.
template <typename Work, typename Failure>
auto callAtBoundary(Work&& work, Failure&& failure) noexcept -> decltype(work())
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return failure(BoundaryFailure::lowMemory);
    } catch (...) {
        return failure(BoundaryFailure::other);
    }
}
