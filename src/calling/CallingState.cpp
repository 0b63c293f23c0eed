#include "calling/CallingState.h"

int32_t numberOfTables = 0;
std::string tableOrder;
bool mySound = false;
Int32Array tableSequence;
int32_t sequenceIndex = 0;
int32_t currentTable = 0;
bool callingStarted = false;
bool hotkeyLocked = false;
int32_t window1Top = 0, window1Left = 0;
int32_t window2Top = 0, window2Left = 0;

void InitCallingState() {
  tableOrder.clear();
  numberOfTables = 0;
  sequenceIndex = 0;
  currentTable = 0;
  window1Top = window1Left = 0;
  window2Top = window2Left = 0;
  mySound = false;
  callingStarted = false;
  hotkeyLocked = false;
  tableSequence = Int32Array();
}

void ReleaseTableOrder() { std::string().swap(tableOrder); }
void ReleaseTableSequence() { tableSequence = Int32Array(); }
