#pragma once
// Hooks for the test suites: they start the toolkit without a display and
// never let a dialog block. Tests outside platform/gui see no toolkit types.

// Creates the application object on the offscreen platform.
void InitTestApplication(int& argc, char** argv);
void DoneTestApplication();
