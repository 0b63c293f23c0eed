// The shared calling state: the one set of application state of a run.
// Every handler reads it when it runs and writes its changes straight back.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Lists.h"

extern int32_t numberOfTables;  // tables 1..numberOfTables are called
extern std::string tableOrder;  // "Random" (any case) or anything else: in order
extern bool mySound;            // announcements are also spoken
extern Int32Array tableSequence;  // the calling order, built by Start
extern int32_t sequenceIndex;     // index of the table on display
extern int32_t currentTable;      // the table on display
extern bool callingStarted;       // set by Start, never cleared
extern bool hotkeyLocked;         // the one-second lock-out after a trigger
// Saved window positions; a top of 0 stands for the default place.
extern int32_t window1Top, window1Left;
extern int32_t window2Top, window2Left;

// Start values, set at start-up before the application object exists.
void InitCallingState();
// Releases the order text and the sequence after the event loop.
void ReleaseTableOrder();
void ReleaseTableSequence();
