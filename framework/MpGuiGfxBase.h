// Base of every widget: a second-generation GUI module that also occupies a
// rectangle of the host's panel. The host measures, places and paints it and
// forwards pointer events through gmpi_gui_api::IMpGraphics2; every drawing
// operation has a default, so a widget overrides only what it needs.
#pragma once

#include "ComPtr.h"
#include "HostApi.h"
#include "ModuleApi.h"
#include "MpGuiBase2.h"

namespace gmpi_gui {

class MpGuiGfxBase : public MpGuiBase2, public gmpi_gui_api::IMpGraphics2 {
public:
    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    // Keeps the host's IGraphicsHost when it has one, then finds IGuiHost as
    // MpGuiBase2 does and answers as it does.
    int32_t attachHost(gmpi::IMpUnknown* host) override;
    ~MpGuiGfxBase() override = default;

    // Each of width and height: the available one when above 1, else 1.
    int32_t computeDesiredSize(GuiSize available, GuiSize* desired) override;
    // Stores a rectangle that differs in any edge (NaN always differs) and
    // asks for a repaint of the whole module.
    int32_t acceptBounds(const GuiRect* rect) override;
    int32_t onRepaint(gmpi::IMpUnknown* drawingHost) override;
    // The pointer defaults answer probeHit.
    int32_t onPress(int32_t flags, GuiPoint point) override;
    int32_t onMotion(int32_t flags, GuiPoint point) override;
    int32_t onRelease(int32_t flags, GuiPoint point) override;
    // ResultSuccess: the point belongs to the module.
    int32_t probeHit(GuiPoint point) override;
    int32_t graphicsHintTextAt(GuiPoint point, gmpi::IString* text) override;

    IGraphicsHost* getGraphicsHost() const { return graphicsHost.get(); }
    const GuiRect& getBounds() const { return bounds; }

protected:
    MpGuiGfxBase() = default;

    // Requests of the graphics host; a widget without one skips them and
    // reads the capture as not held.
    void requestRepaint(const GuiRect* area = nullptr);
    void requestRemeasure();
    void takePointerCapture();
    bool queryPointerCapture();
    void dropPointerCapture();

    // Presses and releases as they begin, numbered: a pointer handler keeps
    // its number and, after each host call, goes on only while it still
    // stands. A press or release the host begins from inside those calls is
    // the one that stands, and the rest of the earlier one is left undone.
    uint32_t beginPointerEvent() { return ++pointerEvents; }
    bool pointerEventStands(uint32_t event) const { return event == pointerEvents; }
    uint32_t lastPointerEvent() const { return pointerEvents; }
    // Sets and sends a pin's value while pointer event `event` stands.
    template <class Pin, class Value>
    void sendWhileStands(uint32_t event, Pin& pin, const Value& value) {
        if (pointerEventStands(event))
            pin.setAndSend(value);
    }

    gmpi_sdk::ComPtr<IGraphicsHost> graphicsHost;
    GuiRect bounds{0.0f, 0.0f, 0.0f, 0.0f};

private:
    int32_t refCount = 1;
    uint32_t pointerEvents = 0;
};

// The keyboard's modifier state as GetKeyState reports it. No module of this
// library calls these: widgets take modifiers from the pointer flags.
bool isShiftDown();
bool isControlDown();
bool isAltDown();
// Bit 0 shift, bit 1 control, bit 2 alt.
int32_t modifierKeyBits();

} // namespace gmpi_gui
