#pragma once

class TForm1;

// Builds the six toolbars of the main window, each button with its hint and
// its command.
class TForm1ToolBars
{
public:
    static void Build(TForm1 &form);
};
