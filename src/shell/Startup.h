// Start-up, the event loop and the exit steps of the program.
#pragma once

int RunServalo(int argc, char** argv);
