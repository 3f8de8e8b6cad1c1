#pragma once

namespace tallyline {

// Keeps memory that is freed in the process's heap for the next allocation
// rather than handing it back to the system at once. For a program that
// draws one label after another: each label frees what the next one takes
// again, and mapping it afresh each time (a page fault for every page of it
// that is touched) costs more than drawing the label. What is kept is what
// the largest label needed, not more with every label: memory stays flat.
void KeepFreedMemoryForReuse();

}  // namespace tallyline
