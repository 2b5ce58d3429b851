#pragma once
// Private to platform/gui: the browser engine ends before the application object.

// Frees the engine's profile (nothing when no browser ever loaded a page).
void ShutDownBrowserEngine();
