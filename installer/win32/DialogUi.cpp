#include "DialogUi.h"
#include "platform/BoundaryGuard.h"
#include "platform/ScopedValue.h"
#include "resource.h"

#include <shlobj.h>

namespace installer {
namespace {

const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

constexpr int twipsPerInch = 1440;

// The form's client area and its controls' places, in twips (left, top,
// width, height). xProdId, File1 and List1 lie beyond the client area: they
// only hold the product id, the file list and the log.
constexpr int clientWidth = 6630;
constexpr int clientHeight = 3360;

struct ControlPlace {
    int id;
    int left, top, width, height;
};

constexpr ControlPlace controlPlaces[] = {
    {IDC_TITULO, 180, 120, 6195, 315},     {IDC_TEXT1, 240, 540, 6135, 1215},
    {IDC_LABEL1, 180, 1860, 1335, 315},    {IDC_XVSTDIR, 1500, 1800, 3855, 375},
    {IDC_COMMAND3, 5400, 1800, 975, 375},  {IDC_COMMAND1, 780, 2520, 2055, 555},
    {IDC_COMMAND2, 3780, 2520, 2055, 555}, {IDC_XPRODID, 7020, 1440, 975, 315},
    {IDC_FILE1, 6960, 1920, 1215, 1650},   {IDC_LIST1, 6840, 3780, 3255, 1620},
};

// TITULO's font: "MS Sans Serif" at 9.75 points, bold.
constexpr int titlePointsTimes100 = 975;

UINT iconFlag(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return MB_ICONERROR;
    case MessageIcon::Warning:
        return MB_ICONWARNING;
    default:
        return MB_ICONINFORMATION;
    }
}

std::u16string windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::u16string text(size_t(length) + 1, u'\0');
    const int got = GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), length + 1);
    text.resize(size_t(got > 0 ? got : 0));
    return text;
}

} // namespace

DialogUi::~DialogUi() {
    // The form may be gone already; no message handled from here on reaches it.
    form_ = nullptr;
    if (window_)
        DestroyWindow(window_);
    if (titleFont_)
        DeleteObject(titleFont_);
}

void DialogUi::loadForm(Form1& form) {
    form_ = &form;
    CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_FORM1), nullptr, &DialogUi::dialogProc,
                       reinterpret_cast<LPARAM>(this));
}

void DialogUi::showForm(Form1& form) {
    if (!window_) {
        form.fail(u"Can't open the installer's dialog");
        return;
    }
    ShowWindow(window_, SW_SHOW);
    // The welcome text takes the focus first, as its tab order says, without
    // selecting its text.
    const HWND welcome = GetDlgItem(window_, IDC_TEXT1);
    SetFocus(welcome);
    SendMessageW(welcome, EM_SETSEL, 0, 0);
    MSG message;
    while (!form.ended()) {
        // 0 is a request to quit, which nothing of the installer makes; -1 an error.
        if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
            form.fail(u"The installer's dialog stopped before the installation ended");
            break;
        }
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    DestroyWindow(window_);
    window_ = nullptr;
}

void DialogUi::formChanged(Field field) {
    if (!window_ || !form_)
        return;
    switch (field) {
    case Field::ProductId:
        setText(IDC_XPRODID, form_->productId());
        break;
    case Field::Folder:
        setText(IDC_XVSTDIR, form_->folderText());
        break;
    case Field::Title:
        setText(IDC_TITULO, form_->title());
        break;
    case Field::Files:
        fillList(IDC_FILE1, form_->files());
        break;
    case Field::Log:
        fillList(IDC_LIST1, form_->log());
        break;
    }
}

void DialogUi::setText(int id, const std::u16string& text) {
    // The EN_CHANGE that the control sends meanwhile is ours, not the user's.
    const ClearingFlagScope setting(settingText_);
    SetDlgItemTextW(window_, id, wide(text));
}

void DialogUi::fillList(int id, const std::vector<std::u16string>& lines) {
    const HWND list = GetDlgItem(window_, id);
    auto count = size_t(SendMessageW(list, LB_GETCOUNT, 0, 0));
    if (count > lines.size()) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        count = 0;
    }
    for (size_t i = count; i < lines.size(); ++i)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(lines[i])));
}

HWND DialogUi::owner() const {
    return window_ && IsWindowVisible(window_) ? window_ : nullptr;
}

void DialogUi::message(MessageIcon icon, const std::u16string& title, const std::u16string& text) {
    MessageBoxW(owner(), wide(text), wide(title), MB_OK | iconFlag(icon));
}

bool DialogUi::askYesNo(const std::u16string& title, const std::u16string& text) {
    return MessageBoxW(owner(), wide(text), wide(title), MB_YESNO) == IDYES;
}

std::u16string DialogUi::browseForFolder(const std::u16string& title) {
    BROWSEINFOW browse = {};
    browse.hwndOwner = window_;
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = nullptr;
    browse.lpszTitle = wide(title);
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = nullptr;
    const PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (!item)
        return {};
    char16_t buffer[MAX_PATH + 1] = {};
    const BOOL found = SHGetPathFromIDListW(item, reinterpret_cast<wchar_t*>(buffer));
    CoTaskMemFree(item);
    if (!found)
        return {};
    return std::u16string(buffer);
}

bool DialogUi::setTopmost(bool topmost) {
    return SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                        SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

void DialogUi::layOut() {
    const HDC screen = GetDC(window_);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(window_, screen);
    const auto x = [dpiX](int twips) { return MulDiv(twips, dpiX, twipsPerInch); };
    const auto y = [dpiY](int twips) { return MulDiv(twips, dpiY, twipsPerInch); };

    for (const ControlPlace& place : controlPlaces)
        MoveWindow(GetDlgItem(window_, place.id), x(place.left), y(place.top), x(place.width),
                   y(place.height), FALSE);

    RECT frame = {0, 0, x(clientWidth), y(clientHeight)};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongPtrW(window_, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(window_, GWL_EXSTYLE)));
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

    titleFont_ = CreateFontW(-MulDiv(titlePointsTimes100, dpiY, 72 * 100), 0, 0, 0, FW_BOLD, FALSE,
                             FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, wide(u"MS Sans Serif"));
    if (titleFont_)
        SendDlgItemMessageW(window_, IDC_TITULO, WM_SETFONT, WPARAM(titleFont_), FALSE);
}

bool DialogUi::onCommand(int id, int notification) {
    if (!form_)
        return false;
    switch (id) {
    case IDC_COMMAND1:
        if (notification == BN_CLICKED)
            form_->Command1_Click();
        return true;
    case IDC_COMMAND2:
    case IDCANCEL: // the close box, Alt+F4 and Esc ask the same question as "CANCEL"
        if (notification == BN_CLICKED)
            form_->Command2_Click();
        return true;
    case IDC_COMMAND3:
        if (notification == BN_CLICKED)
            form_->Command3_Click();
        return true;
    case IDC_XVSTDIR:
        if (notification == EN_CHANGE && !settingText_)
            form_->editFolderText(windowText(GetDlgItem(window_, IDC_XVSTDIR)));
        return true;
    default:
        return false;
    }
}

INT_PTR CALLBACK DialogUi::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<DialogUi*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        self->window_ = window;
        self->layOut();
        const auto icon = [&](int size) {
            return LPARAM(LoadImageW(self->instance_, MAKEINTRESOURCEW(IDI_FORM1), IMAGE_ICON, size,
                                     size, LR_SHARED));
        };
        SendMessageW(window, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
        SendMessageW(window, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
        self->setText(IDC_TEXT1, welcomeText);
        return FALSE; // the focus is set when the form is shown
    }
    auto* self = reinterpret_cast<DialogUi*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self || message != WM_COMMAND)
        return FALSE;
    return guardedCallRecovering(
        [&]() -> INT_PTR { return self->onCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE; },
        [&]() -> INT_PTR {
            // Nothing may unwind through the window procedure; the form
            // reports the failure and ends.
            if (self->form_)
                self->form_->fail(u"The installer stopped after an unexpected error");
            return TRUE;
        });
}

} // namespace installer
