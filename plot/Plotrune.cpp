#include "plot/Plotrune.h"

Plotrune::Plotrune() = default;
Plotrune::~Plotrune() = default;
