#pragma once
// The program's entry routine: what main runs between starting the toolkit and ending it. The
// end-to-end tests run the same routine inside their process.

// Gives the application its title, creates the main window (whose creation runs the start-up)
// and then every dialog once, in the program's order, and runs the message loop until the main
// window closes or the application is told to end. ExeFolder, when still empty, becomes the
// folder of the program file, and ProgramFolder, when still empty, the data folder chosen for it
// (ChooseProgramFolder). Returns the process's exit code.
int RunProgram();
