// What a host does to show a widget: measure it, place it at the origin with
// the given size, and ask it to paint into a recording drawing context.
#pragma once

#include "DrawingFactory.h"
#include "DrawingRecord.h"

#include <memory>
#include <string>

namespace testhost {

struct PaintResult {
    bool painted = false; // the module is a widget and was asked to paint
    int32_t answer = 0;   // what onRepaint answered
    GuiSize desired{};    // what computeDesiredSize answered
    std::shared_ptr<const Recording> recording;
    std::string error; // why nothing was painted, or what the module left held
};

// The drawing context hands out `factory`; objects the module makes are
// counted in its ledger.
PaintResult paintModule(gmpi::IMpUnknown* module, DrawingFactory& factory, float width,
                        float height);

} // namespace testhost
