#pragma once

namespace tallyline {

// Keeps memory that is freed in the process's heap for the next allocation
// rather than handing it back to the system at once. For a program that
// draws one label after another: each label frees what the next one takes
// again, and mapping it afresh each time (a page fault for every page of it
// that is touched) costs more than drawing the label. What is kept is what
// the largest label needed, not more with every label: memory stays flat.
void KeepFreedMemoryForReuse();

// Lets every thread allocate from the one heap. A thread otherwise gets a
// heap of its own on its first allocation, and what it frees there stays
// there, out of reach of the rest of the program: a helper thread that sets
// up data for the whole program to keep leaves its garbage beside it.
void ShareOneHeap();

}  // namespace tallyline
