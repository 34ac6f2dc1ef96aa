// Antivirus, the search indexer and sync clients open a file just written
// for a moment; replacing it then fails with a sharing violation that is
// gone a few milliseconds later.
#pragma once

namespace base {

enum class ReplaceOutcome { kDone, kBusy, kFailed };

// One file replacement as the machine does it, and the wait between tries.
class ReplacePort {
 public:
  virtual ~ReplacePort() = default;
  virtual ReplaceOutcome Replace() = 0;
  virtual void Pause(unsigned milliseconds) = 0;
};

// Total time a busy file is waited for before the replace counts as failed.
inline constexpr unsigned kBusyPatience = 1000;

// Tries the replace, and while the file is busy tries again after pauses
// that start short and grow, for kBusyPatience in all. True once it is done;
// false at once for any other failure.
bool ReplaceWhenFree(ReplacePort& port);

}  // namespace base
