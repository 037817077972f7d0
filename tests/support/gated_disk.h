// A disk whose fsync holds until the test opens its gate: a stand-in for a
// slow one (a USB stick, a network folder) on which whatever waits for a
// save shows by waiting at the gate, with no clock involved. A gate left
// shut gives way for good after a minute and the sync counts as forced, so
// a program that waits fails its test instead of hanging it.
#pragma once

#include "runtime/core/core.h"

namespace zephrine_test {

namespace gated_disk {

// The system calls of a state store on this disk. Shuts the gate and
// clears the counts.
FileCalls Calls();
// Waits until a sync stands at the gate; false when none came in a minute.
bool WaitForSync();
// Lets every sync through from now on.
void Open();
// Syncs of files (not folders) that went through, and those that were forced.
int FileSyncs();
int Forced();

}  // namespace gated_disk

}  // namespace zephrine_test
