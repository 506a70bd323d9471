#pragma once

// The emulated analyzer's Auto Scale: it looks at the activity of its inputs
// and picks the time/div row (the capture's rate row too) that shows several
// level changes of the fastest active channel per division, as an analyzer's
// own auto scale does.
//
// For each row, fastest first, the inputs are sampled at the row's sample
// period over a screen of ScreenDivisions divisions, at Windows places spread
// over one period of the scene; the fastest channel is the one with the most
// level changes there. The first row whose fastest channel changes at least
// TargetPerDivision times per division on average wins; when no row gets that
// far (slow signals) the row with the most changes per division does; when
// nothing moves at all the row stays as it was.
// Cost: at most 25 x Windows screens of samples (a few hundred samples each).

#include "device/CaptureSettings.h"
#include "device/ModelTable.h"
#include "device/SignalScene.h"

class EmulatedAutoScale
{
public:
    static constexpr int TargetPerDivision = 3;
    static constexpr int ScreenDivisions = 20;
    static constexpr int Windows = 8;

    // The row to use; `current` when no input changes at any row.
    static int ChooseRow(const SignalScene &scene, const ModelTable::ModelRow &model,
                         const CaptureSettings &settings, int current);

    // Level changes per division of the fastest channel at a row (mean over
    // the windows).
    static double FastestPerDivision(const SignalScene &scene, const ModelTable::ModelRow &model,
                                     const CaptureSettings &settings, int row);
};
