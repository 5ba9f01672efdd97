#pragma once
// The transfer layer's own state: the memory transfer's bitmap and the
// file transfer's target.

// Frees a memory transfer's bitmap still held and forgets the file target
// (the state at load).
void resetTransfers();
