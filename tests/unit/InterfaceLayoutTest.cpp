// The slot order of every interface and the layout of every record that
// crosses the host boundary. A pointer to a virtual member function holds
// 1 + the byte offset of its slot (the Itanium C++ ABI, which both the Linux
// and the mingw-w64 build use), so the slot order can be read back.
#include "SlotOrder.h"
#include "framework/HostApi.h"
#include "framework/ModuleApi.h"
#include "framework/MpGuiBase2.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

using slots::expectSlotsInOrder;
using slots::slotOf;

TEST(InterfaceLayout, UnknownAndText) {
    using gmpi::IMpUnknown;
    using gmpi::IString;
    expectSlotsInOrder("IMpUnknown", {slotOf(&IMpUnknown::queryInterface),
                                      slotOf(&IMpUnknown::addRef), slotOf(&IMpUnknown::release)});
    expectSlotsInOrder("IString", {slotOf(&IString::queryInterface), slotOf(&IString::addRef),
                                   slotOf(&IString::release), slotOf(&IString::assignBytes),
                                   slotOf(&IString::byteLength), slotOf(&IString::byteData)});
}

TEST(InterfaceLayout, ModuleInterfaces) {
    using namespace gmpi;
    expectSlotsInOrder("IMpFactory2",
                       {slotOf(&IMpFactory2::queryInterface), slotOf(&IMpFactory2::addRef),
                        slotOf(&IMpFactory2::release), slotOf(&IMpFactory2::makeModule),
                        slotOf(&IMpFactory2::describeBuild),
                        slotOf(&IMpFactory2::makeModuleWithoutHost)});
    expectSlotsInOrder(
        "IMpUserInterface2B",
        {slotOf(&IMpUserInterface2B::queryInterface), slotOf(&IMpUserInterface2B::addRef),
         slotOf(&IMpUserInterface2B::release), slotOf(&IMpUserInterface2B::attachHost),
         slotOf(&IMpUserInterface2B::hostHookA), slotOf(&IMpUserInterface2B::receivePinValue),
         slotOf(&IMpUserInterface2B::hostHookB), slotOf(&IMpUserInterface2B::fillContextMenu),
         slotOf(&IMpUserInterface2B::onContextMenuPick), slotOf(&IMpUserInterface2B::hintTextAt),
         slotOf(&IMpUserInterface2B::onPinChanged)});
    expectSlotsInOrder(
        "IMpUserInterface",
        {slotOf(&IMpUserInterface::queryInterface), slotOf(&IMpUserInterface::addRef),
         slotOf(&IMpUserInterface::release), slotOf(&IMpUserInterface::onStartup),
         slotOf(&IMpUserInterface::receivePinValue), slotOf(&IMpUserInterface::onPinChanged),
         slotOf(&IMpUserInterface::legacyHookA), slotOf(&IMpUserInterface::legacyHookB),
         slotOf(&IMpUserInterface::legacyHookC)});
    expectSlotsInOrder("IMpLegacyInitialization", {slotOf(&IMpLegacyInitialization::queryInterface),
                                                   slotOf(&IMpLegacyInitialization::addRef),
                                                   slotOf(&IMpLegacyInitialization::release),
                                                   slotOf(&IMpLegacyInitialization::attachHost)});
    expectSlotsInOrder("IoldSchoolInitialisation", {slotOf(&IoldSchoolInitialisation::attachHost)});
    expectSlotsInOrder("IMpPlugin", {slotOf(&IMpPlugin::queryInterface), slotOf(&IMpPlugin::addRef),
                                     slotOf(&IMpPlugin::release), slotOf(&IMpPlugin::prepare),
                                     slotOf(&IMpPlugin::attachBuffer), slotOf(&IMpPlugin::runBlock),
                                     slotOf(&IMpPlugin::acceptMessage)});
    expectSlotsInOrder("IMpPlugin2",
                       {slotOf(&IMpPlugin2::queryInterface), slotOf(&IMpPlugin2::addRef),
                        slotOf(&IMpPlugin2::release), slotOf(&IMpPlugin2::attachHost),
                        slotOf(&IMpPlugin2::prepare), slotOf(&IMpPlugin2::attachBuffer),
                        slotOf(&IMpPlugin2::runBlock), slotOf(&IMpPlugin2::acceptMessage)});
    expectSlotsInOrder(
        "IMpGraphicsWinGdi",
        {slotOf(&IMpGraphicsWinGdi::queryInterface), slotOf(&IMpGraphicsWinGdi::addRef),
         slotOf(&IMpGraphicsWinGdi::release), slotOf(&IMpGraphicsWinGdi::computeDesiredSize),
         slotOf(&IMpGraphicsWinGdi::acceptBounds), slotOf(&IMpGraphicsWinGdi::openChildWindow),
         slotOf(&IMpGraphicsWinGdi::closeChildWindow)});
    expectSlotsInOrder("ISeGraphicsComposited", {slotOf(&ISeGraphicsComposited::queryInterface),
                                                 slotOf(&ISeGraphicsComposited::addRef),
                                                 slotOf(&ISeGraphicsComposited::release),
                                                 slotOf(&ISeGraphicsComposited::compositedHookA),
                                                 slotOf(&ISeGraphicsComposited::computeDesiredSize),
                                                 slotOf(&ISeGraphicsComposited::acceptBounds),
                                                 slotOf(&ISeGraphicsComposited::compositedHookB),
                                                 slotOf(&ISeGraphicsComposited::compositedHookC),
                                                 slotOf(&ISeGraphicsComposited::compositedHookD),
                                                 slotOf(&ISeGraphicsComposited::compositedHookE),
                                                 slotOf(&ISeGraphicsComposited::compositedHookF)});
    using gmpi_gui_api::IMpGraphics2;
    expectSlotsInOrder("IMpGraphics2",
                       {slotOf(&IMpGraphics2::queryInterface), slotOf(&IMpGraphics2::addRef),
                        slotOf(&IMpGraphics2::release), slotOf(&IMpGraphics2::computeDesiredSize),
                        slotOf(&IMpGraphics2::acceptBounds), slotOf(&IMpGraphics2::onRepaint),
                        slotOf(&IMpGraphics2::onPress), slotOf(&IMpGraphics2::onMotion),
                        slotOf(&IMpGraphics2::onRelease), slotOf(&IMpGraphics2::probeHit),
                        slotOf(&IMpGraphics2::graphicsHintTextAt)});
}

TEST(InterfaceLayout, HostServices) {
    expectSlotsInOrder("IGuiHost",
                       {slotOf(&IGuiHost::queryInterface), slotOf(&IGuiHost::addRef),
                        slotOf(&IGuiHost::release), slotOf(&IGuiHost::acceptPinValue),
                        slotOf(&IGuiHost::lookUpResource), slotOf(&IGuiHost::openUriStream),
                        slotOf(&IGuiHost::enrolResourceName)});
    expectSlotsInOrder("ILegacyGuiHost",
                       {slotOf(&ILegacyGuiHost::queryInterface), slotOf(&ILegacyGuiHost::addRef),
                        slotOf(&ILegacyGuiHost::release), slotOf(&ILegacyGuiHost::acceptPinValue),
                        slotOf(&ILegacyGuiHost::resolveFileName),
                        slotOf(&ILegacyGuiHost::countPins)});
    expectSlotsInOrder(
        "IGraphicsHost",
        {slotOf(&IGraphicsHost::queryInterface), slotOf(&IGraphicsHost::addRef),
         slotOf(&IGraphicsHost::release), slotOf(&IGraphicsHost::fetchDrawingFactory),
         slotOf(&IGraphicsHost::requestRepaint), slotOf(&IGraphicsHost::requestRemeasure),
         slotOf(&IGraphicsHost::takePointerCapture), slotOf(&IGraphicsHost::queryPointerCapture),
         slotOf(&IGraphicsHost::dropPointerCapture)});
    expectSlotsInOrder("IDialogHost",
                       {slotOf(&IDialogHost::queryInterface), slotOf(&IDialogHost::addRef),
                        slotOf(&IDialogHost::release), slotOf(&IDialogHost::createFilePicker)});
    expectSlotsInOrder("IFilePicker",
                       {slotOf(&IFilePicker::queryInterface), slotOf(&IFilePicker::addRef),
                        slotOf(&IFilePicker::release), slotOf(&IFilePicker::addFileType),
                        slotOf(&IFilePicker::presetFileName), slotOf(&IFilePicker::presetFolder),
                        slotOf(&IFilePicker::showPicker), slotOf(&IFilePicker::pickedPath)});
    expectSlotsInOrder("IMenuItemSink",
                       {slotOf(&IMenuItemSink::queryInterface), slotOf(&IMenuItemSink::addRef),
                        slotOf(&IMenuItemSink::release), slotOf(&IMenuItemSink::addMenuItem)});
    expectSlotsInOrder("IAudioHost",
                       {slotOf(&IAudioHost::queryInterface), slotOf(&IAudioHost::addRef),
                        slotOf(&IAudioHost::release), slotOf(&IAudioHost::deliverPinBytes),
                        slotOf(&IAudioHost::announceStreaming), slotOf(&IAudioHost::askToSleep),
                        slotOf(&IAudioHost::fetchFramesBeforeSleep)});
    expectSlotsInOrder("IWindowHost",
                       {slotOf(&IWindowHost::queryInterface), slotOf(&IWindowHost::addRef),
                        slotOf(&IWindowHost::release)});
    expectSlotsInOrder("IWindowHost2",
                       {slotOf(&IWindowHost2::queryInterface), slotOf(&IWindowHost2::addRef),
                        slotOf(&IWindowHost2::release)});
    expectSlotsInOrder("ICompositorHost",
                       {slotOf(&ICompositorHost::queryInterface), slotOf(&ICompositorHost::addRef),
                        slotOf(&ICompositorHost::release), slotOf(&ICompositorHost::requestRepaint),
                        slotOf(&ICompositorHost::takePointerCapture),
                        slotOf(&ICompositorHost::queryPointerCapture),
                        slotOf(&ICompositorHost::dropPointerCapture)});
    using gmpi_gui::ICompletionCallback;
    expectSlotsInOrder("ICompletionCallback",
                       {slotOf(&ICompletionCallback::queryInterface),
                        slotOf(&ICompletionCallback::addRef), slotOf(&ICompletionCallback::release),
                        slotOf(&ICompletionCallback::onFinished)});
}

TEST(InterfaceLayout, DrawingServices) {
    expectSlotsInOrder("IOffscreenTarget", {slotOf(&IOffscreenTarget::queryInterface),
                                            slotOf(&IOffscreenTarget::addRef),
                                            slotOf(&IOffscreenTarget::release),
                                            slotOf(&IOffscreenTarget::fetchFactory),
                                            slotOf(&IOffscreenTarget::makeSolidBrush),
                                            slotOf(&IOffscreenTarget::makeGradientStops),
                                            slotOf(&IOffscreenTarget::makeLinearGradientBrush),
                                            slotOf(&IOffscreenTarget::makeRadialGradientBrush),
                                            slotOf(&IOffscreenTarget::strokeLine),
                                            slotOf(&IOffscreenTarget::paintRect),
                                            slotOf(&IOffscreenTarget::paintRoundedRect),
                                            slotOf(&IOffscreenTarget::paintEllipse),
                                            slotOf(&IOffscreenTarget::blitBitmap),
                                            slotOf(&IOffscreenTarget::drawUtf8Text),
                                            slotOf(&IOffscreenTarget::pushClipRect),
                                            slotOf(&IOffscreenTarget::popClipRect),
                                            slotOf(&IOffscreenTarget::clearTo),
                                            slotOf(&IOffscreenTarget::beginFrame),
                                            slotOf(&IOffscreenTarget::endFrame),
                                            slotOf(&IOffscreenTarget::makeOffscreenTarget),
                                            slotOf(&IOffscreenTarget::takeBitmap)});
    expectSlotsInOrder("IBrush", {slotOf(&IBrush::queryInterface), slotOf(&IBrush::addRef),
                                  slotOf(&IBrush::release), slotOf(&IBrush::setBrushColour)});
    expectSlotsInOrder("IDrawingFactory",
                       {slotOf(&IDrawingFactory::queryInterface), slotOf(&IDrawingFactory::addRef),
                        slotOf(&IDrawingFactory::release), slotOf(&IDrawingFactory::makeTextFormat),
                        slotOf(&IDrawingFactory::loadImageUri)});
    expectSlotsInOrder("IFontFamilyList",
                       {slotOf(&IFontFamilyList::queryInterface), slotOf(&IFontFamilyList::addRef),
                        slotOf(&IFontFamilyList::release), slotOf(&IFontFamilyList::familyNameAt)});
    expectSlotsInOrder("ITextFormat",
                       {slotOf(&ITextFormat::queryInterface), slotOf(&ITextFormat::addRef),
                        slotOf(&ITextFormat::release), slotOf(&ITextFormat::setTextPlacement),
                        slotOf(&ITextFormat::setFormatSettingA),
                        slotOf(&ITextFormat::setFormatSettingB),
                        slotOf(&ITextFormat::fetchTextMetrics), slotOf(&ITextFormat::setSpacing)});
    expectSlotsInOrder("IBitmap", {slotOf(&IBitmap::queryInterface), slotOf(&IBitmap::addRef),
                                   slotOf(&IBitmap::release), slotOf(&IBitmap::pixelSize),
                                   slotOf(&IBitmap::lockPixels)});
    expectSlotsInOrder("IBitmapPixels",
                       {slotOf(&IBitmapPixels::queryInterface), slotOf(&IBitmapPixels::addRef),
                        slotOf(&IBitmapPixels::release), slotOf(&IBitmapPixels::pixelData),
                        slotOf(&IBitmapPixels::rowBytes), slotOf(&IBitmapPixels::pixelFormat)});
    expectSlotsInOrder("IUriStream",
                       {slotOf(&IUriStream::queryInterface), slotOf(&IUriStream::addRef),
                        slotOf(&IUriStream::release), slotOf(&IUriStream::readBytes),
                        slotOf(&IUriStream::byteSize)});
}

// The second-generation base: the eleven interface slots, then the destructor
// (two entries), then sendPinToHost.
TEST(InterfaceLayout, SecondGenerationBaseAddsItsSlotsAfterTheInterface) {
    EXPECT_EQ(slotOf(&MpGuiBase2::onPinChanged), 10);
    EXPECT_EQ(slotOf(&MpGuiBase2::sendPinToHost), 13);
}

TEST(RecordLayout, SizesAndOffsets) {
    EXPECT_EQ(sizeof(InterfaceId), 16u);
    EXPECT_EQ(sizeof(GuiPoint), 8u);
    EXPECT_EQ(sizeof(GuiSize), 8u);
    EXPECT_EQ(sizeof(GuiRect), 16u);
    EXPECT_EQ(offsetof(GuiRect, bottom), 12u);
    EXPECT_EQ(sizeof(GuiColour), 16u);
    EXPECT_EQ(offsetof(GuiColour, a), 12u);
    EXPECT_EQ(sizeof(GradientStop), 20u);
    EXPECT_EQ(offsetof(GradientStop, colour), 4u);
    EXPECT_EQ(sizeof(BrushSpec), 28u);
    EXPECT_EQ(offsetof(BrushSpec, transform), 4u);
    EXPECT_EQ(sizeof(LinearGradientSpec), 16u);
    EXPECT_EQ(offsetof(LinearGradientSpec, end), 8u);
    EXPECT_EQ(sizeof(RadialGradientSpec), 24u);
    EXPECT_EQ(offsetof(RadialGradientSpec, originOffset), 8u);
    EXPECT_EQ(offsetof(RadialGradientSpec, radiusY), 20u);
    EXPECT_EQ(sizeof(GuiRoundedRect), 24u);
    EXPECT_EQ(offsetof(GuiRoundedRect, radiusX), 16u);
    EXPECT_EQ(sizeof(GuiEllipse), 16u);
    EXPECT_EQ(offsetof(GuiEllipse, radiusX), 8u);
    EXPECT_EQ(sizeof(TextMetrics), 48u);

    EXPECT_EQ(sizeof(TimedEvent), 40u);
    EXPECT_EQ(offsetof(TimedEvent, frameOffset), 0u);
    EXPECT_EQ(offsetof(TimedEvent, kind), 4u);
    EXPECT_EQ(offsetof(TimedEvent, pinId), 8u);
    EXPECT_EQ(offsetof(TimedEvent, byteCount), 12u);
    EXPECT_EQ(offsetof(TimedEvent, inlineBytes), 16u);
    EXPECT_EQ(offsetof(TimedEvent, dataPointer), 24u);
    EXPECT_EQ(offsetof(TimedEvent, next), 32u);
}

TEST(RecordLayout, InterfaceIdsAreStoredInGuidLayout) {
    const uint8_t unknown[16] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0, 0x46};
    EXPECT_EQ(std::memcmp(&iidOf<gmpi::IMpUnknown>(), unknown, 16), 0);
    // {DE009D92-E281-4F92-9996-200F49690028}
    const uint8_t guiHost[16] = {0x92, 0x9D, 0x00, 0xDE, 0x81, 0xE2, 0x92, 0x4F,
                                 0x99, 0x96, 0x20, 0x0F, 0x49, 0x69, 0x00, 0x28};
    EXPECT_EQ(std::memcmp(&iidOf<IGuiHost>(), guiHost, 16), 0);
    EXPECT_FALSE(iidOf<gmpi::IMpUserInterface2>() == iidOf<gmpi::IMpUserInterface2B>());
}

} // namespace
