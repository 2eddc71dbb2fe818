#pragma once

class TForm1;

// What a player expects of a desktop editor beside the window's own keys: an access key
// on every menu (Alt+letter, and Alt alone or F10 opening the menu bar), Ctrl+S for the
// shown tab's Save and Ctrl+Q for File > Exit. Run once every menu item is in place.
void InstallKeyboard(TForm1& form);

// A window larger than the screen's free area (a small screen, a large scale) gets its
// tabs in a scroll area and a size that fits, so the title bar, the menus and the status
// bar stay on screen. On a screen large enough nothing changes.
void FitToScreen(TForm1& form);
