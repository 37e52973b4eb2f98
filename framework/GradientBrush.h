// The two-stop gradient brushes the widgets paint with: the first colour at
// position 0, the second at position 1, at full opacity and untransformed.
// Each makes the stops, then the brush from them, on the given context, and
// releases the stops once the brush holds them. The brush is empty when the
// host made none. Colours and shapes are taken by value, so that a host that
// calls back into the module meanwhile cannot change them halfway.
#pragma once

#include "ComPtr.h"
#include "DrawingApi.h"

gmpi_sdk::ComPtr<IBrush> twoStopLinearBrush(IDrawingContext& dc, GuiColour start, GuiColour end,
                                            LinearGradientSpec line);

gmpi_sdk::ComPtr<IBrush> twoStopRadialBrush(IDrawingContext& dc, GuiColour centre, GuiColour edge,
                                            RadialGradientSpec shape);
