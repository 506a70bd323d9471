#pragma once

class TForm1;

// Builds the main window's page control with its nine pages and the controls
// of the waveform page: the top bar (Panel10), the signal list (Channel_Panel)
// with its two grids, the waveform host and the cursor-state panel.
class TForm1Pages
{
public:
    static void Build(TForm1 &form);

private:
    static void BuildTopBar(TForm1 &form);
    static void BuildWaveformBody(TForm1 &form);
};
