#pragma once

class TForm1;

// Builds the main menu (MainMenu1) and the pop-up menus of the waveform page
// and the cursors, and connects every item to its command.
class TForm1Menus
{
public:
    static void Build(TForm1 &form);

private:
    static void BuildMainMenu(TForm1 &form);
    static void BuildPopupMenus(TForm1 &form);
};
