#pragma once
// The program's dialog windows, each created once after the main window and
// kept until the program ends, in the order the entry point gives them.
void CreateProgramDialogs();
