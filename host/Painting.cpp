#include "Painting.h"

#include "../framework/ComPtr.h"
#include "../framework/ModuleApi.h"
#include "DrawingContext.h"

namespace testhost {

PaintResult paintModule(gmpi::IMpUnknown* module, DrawingFactory& factory, float width,
                        float height) {
    PaintResult result;
    const auto graphics = gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(module);
    if (!graphics) {
        result.error = "not a drawing module";
        return result;
    }
    graphics->computeDesiredSize(GuiSize{width, height}, &result.desired);
    const GuiRect bounds{0.0f, 0.0f, width, height};
    graphics->acceptBounds(&bounds);
    DrawingContext context(&factory, GuiSize{width, height});
    result.answer = graphics->onRepaint(&context);
    result.painted = true;
    result.recording = context.recordingPointer();
    if (context.references() != 0)
        result.error = "the module still holds " + std::to_string(context.references()) +
                       " reference(s) to the drawing context";
    return result;
}

} // namespace testhost
