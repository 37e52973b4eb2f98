// The library's image cache and font cache serve every window of a host, and
// each window draws through a drawing factory of its own. A window that
// closes takes its factory's pictures and text formats out of the caches, so
// that a factory the host makes later at the same address, as heaps do, is
// asked for its own and its widgets draw only with objects it made.
#include "LibraryFixture.h"
#include "host/DrawingContext.h"
#include "host/DrawingFactory.h"
#include "tests/SkinPictures.h"

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

using namespace testhost;

namespace {

constexpr int32_t jogImage = 5;
constexpr int32_t listItems = 1, listStyle = 3;

// An editor window: the host object of its widgets, its drawing factory, and
// a JogShuttle showing a picture with a mask and a list box beside it.
class Window {
public:
    // The factory is made in `storage` when given (it must be free), else on its own.
    Window(gmpi::IMpFactory2* library, TestHost& host, void* storage = nullptr)
        : host(host), drawing(storage ? new (storage) DrawingFactory : new DrawingFactory),
          placed(storage != nullptr) {
        drawing->serve(host);
        skinpictures::offer(host, "knob.bmp", skinpictures::solidBmp(20, 20, 0xFFC8C8C8));
        skinpictures::offer(host, "knob_mask.bmp", skinpictures::maskBmp(20, 20, 128));
        dial.emplace(library, u"JogShuttle", host);
        list.emplace(library, u"BetterListBox", host);
        EXPECT_EQ(dial->set(jogImage, std::u16string(u"knob.bmp")), ResultSuccess);
        EXPECT_EQ(list->set(listStyle, std::u16string(u"normal")), ResultSuccess);
        EXPECT_EQ(list->set(listItems, std::u16string(u"one,two,three")), ResultSuccess);
        const GuiRect bounds{0, 0, 100, 100};
        for (GuiModule* widget : {&*dial, &*list})
            EXPECT_EQ(graphicsOf(*widget)->acceptBounds(&bounds), ResultSuccess);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // Closes: the widgets go, then the factory, which nothing may hold then.
    ~Window() {
        dial.reset();
        list.reset();
        EXPECT_EQ(drawing->references(), 0);
        EXPECT_EQ(drawing->ledger()->live(), 0) << drawing->ledger()->describe();
        host.graphics.drawingFactory = nullptr;
        if (placed)
            drawing->~DrawingFactory();
        else
            delete drawing;
    }

    IDrawingFactory* factoryAddress() const { return drawing; }
    const DrawingFactory& factory() const { return *drawing; }

    // Paints both widgets; every bitmap and text format drawn with must be
    // one this window's factory made. Gives the number of objects drawn.
    int32_t paintChecked() {
        int32_t drawn = 0;
        for (GuiModule* widget : {&*dial, &*list}) {
            DrawingContext context(drawing, GuiSize{100, 100});
            EXPECT_EQ(graphicsOf(*widget)->onRepaint(&context), ResultSuccess);
            for (const DrawCall* call : context.recorded().of(DrawOp::BlitBitmap)) {
                EXPECT_TRUE(call->bitmap && drawing->made(call->bitmap->id))
                    << "a bitmap this window's factory did not make";
                ++drawn;
            }
            for (const DrawCall* call : context.recorded().of(DrawOp::DrawText)) {
                EXPECT_TRUE(call->format && drawing->made(call->format->id))
                    << "a text format this window's factory did not make";
                ++drawn;
            }
        }
        return drawn;
    }

private:
    static gmpi_sdk::ComPtr<gmpi_gui_api::IMpGraphics2> graphicsOf(const GuiModule& m) {
        return gmpi_sdk::queryInterfaceOf<gmpi_gui_api::IMpGraphics2>(m.unknown());
    }

    TestHost& host;
    DrawingFactory* drawing;
    bool placed;
    std::optional<GuiModule> dial, list;
};

class SkinCachesPerFactoryTest : public blackbox::LibraryTest {};

TEST_F(SkinCachesPerFactoryTest, AWindowReopenedWithItsFactoryAtTheOldAddressDrawsWithItsOwn) {
    // Window A stays open throughout, so the caches keep what A's factory made.
    Window a(factory(), host);
    EXPECT_EQ(a.paintChecked(), 4); // the picture, and three items
    EXPECT_EQ(a.factory().imageLoads,
              (std::vector<std::string>{"skin/knob.bmp", "skin/knob_mask.bmp"}));

    // Window B opens, draws and closes; its factory goes with it. It is
    // opened again, and the host's new factory lands where the old one was.
    alignas(DrawingFactory) unsigned char storage[sizeof(DrawingFactory)];
    IDrawingFactory* firstAddress = nullptr;
    {
        TestHost hostB;
        Window b(factory(), hostB, storage);
        firstAddress = b.factoryAddress();
        EXPECT_EQ(b.paintChecked(), 4);
    }
    {
        TestHost hostB;
        Window b(factory(), hostB, storage);
        ASSERT_EQ(b.factoryAddress(), firstAddress);
        EXPECT_EQ(b.paintChecked(), 4);
        // The new factory was asked for the picture, its mask and the format.
        EXPECT_EQ(b.factory().imageLoads,
                  (std::vector<std::string>{"skin/knob.bmp", "skin/knob_mask.bmp"}));
        EXPECT_EQ(b.factory().formatRequests.size(), 1u);
    }

    // Window A still shares what its factory made once.
    EXPECT_EQ(a.paintChecked(), 4);
    EXPECT_EQ(a.factory().imageLoads.size(), 2u);
    EXPECT_EQ(a.factory().formatRequests.size(), 1u);
}

} // namespace
