#pragma once
// Set by the Cancel buttons of the scan's dialogs, polled by the scan engine
// and the lock wait; cleared only by the engine when it reports the cancel.
extern int cancelRequested;
