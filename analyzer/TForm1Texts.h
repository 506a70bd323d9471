#pragma once

class TForm1;

// Puts the main window's language texts on its menus, pop-up menus, tool
// button hints, page tabs and labels.
class TForm1Texts
{
public:
    static void Apply(TForm1 &form);
};
