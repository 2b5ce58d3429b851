#pragma once
// Private to platform/gui: a form's main menu shown as the window's menu bar.
class TMenu;
class TMainMenu;
class TCustomForm;

// Shows the menu as the form's menu bar (nullptr: the form has none).
void AttachMainMenu(TCustomForm* Form, TMainMenu* Menu);
// The items of a menu changed: its menu bar is made anew.
void MainMenuChanged(TMenu* Menu);
// The menu is being freed: its menu bar goes.
void MainMenuGone(TMenu* Menu);
