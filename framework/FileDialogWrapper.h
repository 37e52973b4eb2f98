// The two framework pieces of the host's file dialogs: the completion callback
// the host calls when a dialog ends, and the holder of the dialog's picker.
#pragma once

#include "ComPtr.h"
#include "HostApi.h"

#include <functional>
#include <string>

namespace gmpi_gui {

// ICompletionCallback over a stored function. It may live on the heap, where
// its last release deletes it, or inside another object, which then owns the
// reference it was constructed with.
class MpCompletionHandler : public ICompletionCallback {
public:
    using Function = std::function<void(int32_t result)>;

    MpCompletionHandler() = default;
    explicit MpCompletionHandler(Function onDone) : onDone(std::move(onDone)) {}
    MpCompletionHandler(const MpCompletionHandler&) = delete;
    // Both replace only the function: the reference count stays as it is.
    MpCompletionHandler& operator=(const MpCompletionHandler& other);
    MpCompletionHandler& operator=(Function function);

    int32_t queryInterface(const InterfaceId& iid, void** out) override;
    int32_t addRef() override { return ++refCount; }
    int32_t release() override;
    // Passes the result to the function; without a function nothing happens.
    // Nothing the function throws reaches the host.
    void onFinished(int32_t result) override;
    virtual ~MpCompletionHandler() = default;

    int32_t referenceCount() const { return refCount; }

private:
    Function onDone;
    int32_t refCount = 1;
};

} // namespace gmpi_gui

class FileDialogWrapper {
public:
    // Offers the picker one file type per item of the item list, each with an
    // empty description, up to the first maxOfferedListItems; the empty list
    // offers "*". Does nothing without a picker. A surrogate unit throws std::range_error
    // "wstring_convert::to_bytes", and the item-list reader's failures pass
    // through; types offered before a failure stay offered.
    void addExtensionList(const std::u16string& list);

    // The picker that the host's createFilePicker handed out, with the
    // reference that came with it; empty while no dialog exists.
    gmpi_sdk::ComPtr<IFilePicker> picker;
};
