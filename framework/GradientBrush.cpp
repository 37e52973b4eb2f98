#include "GradientBrush.h"

namespace {

constexpr BrushSpec untransformed{1.0f, {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}};

gmpi_sdk::ComPtr<IGradientStops> twoStops(IDrawingContext& dc, GuiColour first, GuiColour second) {
    const GradientStop stops[2] = {{0.0f, first}, {1.0f, second}};
    gmpi_sdk::ComPtr<IGradientStops> made;
    dc.makeGradientStops(stops, 2, made.put());
    return made;
}

} // namespace

gmpi_sdk::ComPtr<IBrush> twoStopLinearBrush(IDrawingContext& dc, GuiColour start, GuiColour end,
                                            LinearGradientSpec line) {
    const gmpi_sdk::ComPtr<IGradientStops> stops = twoStops(dc, start, end);
    gmpi_sdk::ComPtr<IBrush> brush;
    dc.makeLinearGradientBrush(&line, &untransformed, stops.get(), brush.put());
    return brush;
}

gmpi_sdk::ComPtr<IBrush> twoStopRadialBrush(IDrawingContext& dc, GuiColour centre, GuiColour edge,
                                            RadialGradientSpec shape) {
    const gmpi_sdk::ComPtr<IGradientStops> stops = twoStops(dc, centre, edge);
    gmpi_sdk::ComPtr<IBrush> brush;
    dc.makeRadialGradientBrush(&shape, &untransformed, stops.get(), brush.put());
    return brush;
}
