// The completion handler and the file dialog wrapper, driven by the test
// host's picker.
#include "framework/FileDialogWrapper.h"
#include "host/FilePicker.h"
#include "host/TestHost.h"
#include "tests/unit/SlotOrder.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using gmpi_gui::MpCompletionHandler;
using FileTypes = std::vector<std::pair<std::string, std::string>>;

struct ExtensionCase {
    const char16_t* list;
    FileTypes offered;
};

class ExtensionList : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionList, OffersOneTypePerItemInOrder) {
    testhost::FilePicker picker;
    {
        FileDialogWrapper dialog;
        picker.addRef();
        dialog.picker = gmpi_sdk::ComPtr<IFilePicker>(&picker);
        dialog.addExtensionList(GetParam().list);
    }
    EXPECT_EQ(picker.fileTypes, GetParam().offered);
    EXPECT_EQ(picker.references(), 0) << "the wrapper releases the picker it holds";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ExtensionList,
    ::testing::Values(ExtensionCase{u"", {{"*", ""}}},
                      ExtensionCase{u"wav=1,mid=2", {{"wav", ""}, {"mid", ""}}},
                      ExtensionCase{u"aif", {{"aif", ""}}},
                      ExtensionCase{u" .wav , mid ", {{".wav", ""}, {"mid", ""}}},
                      ExtensionCase{u"a,----,b", {{"a", ""}, {"----", ""}, {"b", ""}}},
                      ExtensionCase{u"range 1,3", {{"1", ""}, {"2", ""}, {"3", ""}}},
                      ExtensionCase{u"range 3,1", {}}, ExtensionCase{u"a,", {{"a", ""}}},
                      ExtensionCase{u",a", {{"", ""}, {"a", ""}}},
                      ExtensionCase{u"\u00e9t\u00e9,\u4e2d",
                                    {{"\xc3\xa9t\xc3\xa9", ""}, {"\xe4\xb8\xad", ""}}}));

TEST(FileDialogWrapper, SurrogateUnitThrowsAfterTheTypesBeforeIt) {
    const std::u16string lists[] = {
        u"wav,x\xD83D\xDE00,mid", // a character beyond the Basic Multilingual Plane
        u"wav,x\xDE00,mid",       // a lone low surrogate
    };
    for (const std::u16string& list : lists) {
        testhost::FilePicker picker;
        FileDialogWrapper dialog;
        dialog.picker = gmpi_sdk::ComPtr<IFilePicker>::share(&picker);
        try {
            dialog.addExtensionList(list);
            ADD_FAILURE() << "no exception";
        } catch (const std::range_error& e) {
            EXPECT_STREQ(e.what(), "wstring_convert::to_bytes");
        }
        EXPECT_EQ(picker.fileTypes, (FileTypes{{"wav", ""}}));
        dialog.picker.reset();
        EXPECT_EQ(picker.references(), 0);
    }
}

TEST(FileDialogWrapper, ReaderFailurePassesThroughAndNothingIsOffered) {
    testhost::FilePicker picker;
    FileDialogWrapper dialog;
    dialog.picker = gmpi_sdk::ComPtr<IFilePicker>::share(&picker);
    EXPECT_THROW(dialog.addExtensionList(u"range"), std::out_of_range);
    EXPECT_TRUE(picker.fileTypes.empty());
}

TEST(FileDialogWrapper, WithoutPickerNothingHappens) {
    FileDialogWrapper dialog;
    EXPECT_NO_THROW(dialog.addExtensionList(u"wav"));
    EXPECT_NO_THROW(dialog.addExtensionList(u"range"));
}

TEST(FileDialogWrapper, HoldsThePickerTheHostMadeUntilReleased) {
    testhost::TestHost host;
    testhost::FilePicker picker;
    picker.serve(host);
    auto dialogHost = gmpi_sdk::queryInterfaceOf<IDialogHost>(host.object());
    ASSERT_TRUE(dialogHost);
    FileDialogWrapper dialog;
    ASSERT_EQ(dialogHost->createFilePicker(FilePickerSave, dialog.picker.put()), ResultSuccess);
    EXPECT_EQ(picker.references(), 1);
    EXPECT_EQ(picker.modes, std::vector<int32_t>{FilePickerSave});
    dialog.picker.reset();
    EXPECT_EQ(picker.references(), 0);
    dialogHost.reset();
    EXPECT_TRUE(host.referencesBalanced());
}

TEST(MpCompletionHandler, PassesTheResultThrough) {
    std::vector<int32_t> results;
    MpCompletionHandler handler([&](int32_t r) { results.push_back(r); });
    for (const int32_t r : {0, 1, -7, 2147483647})
        handler.onFinished(r);
    EXPECT_EQ(results, (std::vector<int32_t>{0, 1, -7, 2147483647}));
}

TEST(MpCompletionHandler, CountsReferencesAndDeletesItselfOnTheHeap) {
    MpCompletionHandler embedded([](int32_t) {});
    EXPECT_EQ(embedded.addRef(), 2);
    EXPECT_EQ(embedded.release(), 1);

    auto alive = std::make_shared<int>(0);
    std::weak_ptr<int> watch = alive;
    auto* heap = new MpCompletionHandler([alive](int32_t) {});
    alive.reset();
    EXPECT_EQ(heap->addRef(), 2);
    EXPECT_EQ(heap->release(), 1);
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(heap->release(), 0);
    EXPECT_TRUE(watch.expired()) << "the last release deletes the handler and its function";
}

TEST(MpCompletionHandler, AnswersItsTwoIdsOnly) {
    MpCompletionHandler handler;
    void* out = &handler;
    EXPECT_EQ(handler.queryInterface(iidOf<gmpi::IString>(), &out), ResultUnsupported);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(handler.referenceCount(), 1);
    EXPECT_EQ(handler.queryInterface(iidOf<gmpi_gui::ICompletionCallback>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<gmpi_gui::ICompletionCallback*>(&handler));
    EXPECT_EQ(handler.queryInterface(iidOf<gmpi::IMpUnknown>(), &out), ResultSuccess);
    EXPECT_EQ(out, static_cast<gmpi_gui::ICompletionCallback*>(&handler));
    EXPECT_EQ(handler.referenceCount(), 3);
    handler.release();
    handler.release();
}

TEST(MpCompletionHandler, AssigningReplacesOnlyTheFunction) {
    std::vector<int> calls;
    MpCompletionHandler handler([&](int32_t) { calls.push_back(1); });
    handler.addRef();
    handler = MpCompletionHandler([&](int32_t) { calls.push_back(2); });
    EXPECT_EQ(handler.referenceCount(), 2);
    handler.onFinished(0);
    handler = [&](int32_t) { calls.push_back(3); };
    EXPECT_EQ(handler.referenceCount(), 2);
    handler.onFinished(0);
    EXPECT_EQ(calls, (std::vector<int>{2, 3}));
    EXPECT_EQ(handler.release(), 1);
}

TEST(MpCompletionHandler, NothingReachesTheHost) {
    MpCompletionHandler empty;
    EXPECT_NO_THROW(empty.onFinished(0));
    MpCompletionHandler throwing([](int32_t) { throw std::runtime_error("done"); });
    EXPECT_NO_THROW(throwing.onFinished(0));
}

TEST(MpCompletionHandler, DialogsEndingInsideOrLater) {
    testhost::FilePicker picker;
    std::vector<int32_t> results;
    MpCompletionHandler handler([&](int32_t r) { results.push_back(r); });
    picker.result = 0;
    picker.showPicker(&handler);
    EXPECT_EQ(results, std::vector<int32_t>{0});

    picker.finishInside = false;
    picker.showPicker(&handler);
    EXPECT_TRUE(picker.open());
    EXPECT_EQ(handler.referenceCount(), 2)
        << "the host keeps the callback while the dialog is open";
    EXPECT_EQ(results.size(), 1u);
    EXPECT_TRUE(picker.finish(1));
    EXPECT_EQ(results, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(handler.referenceCount(), 1);
    EXPECT_FALSE(picker.finish(0));
}

TEST(MpCompletionHandler, SlotOrder) {
    using gmpi_gui::ICompletionCallback;
    slots::expectSlotsInOrder("ICompletionCallback",
                              {slots::slotOf(&ICompletionCallback::queryInterface),
                               slots::slotOf(&ICompletionCallback::addRef),
                               slots::slotOf(&ICompletionCallback::release),
                               slots::slotOf(&ICompletionCallback::onFinished)});
    slots::expectSlotsInOrder("MpCompletionHandler",
                              {slots::slotOf(&MpCompletionHandler::queryInterface),
                               slots::slotOf(&MpCompletionHandler::addRef),
                               slots::slotOf(&MpCompletionHandler::release),
                               slots::slotOf(&MpCompletionHandler::onFinished)});
}

} // namespace
