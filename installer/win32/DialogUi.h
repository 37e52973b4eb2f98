// The installer's dialog Form1 on Windows, its message boxes and the shell's
// folder picker.
#pragma once

#include "../core/Installer.h"

#include <windows.h>

namespace installer {

class DialogUi final : public UserInterface {
public:
    explicit DialogUi(HINSTANCE instance) : instance_(instance) {}
    ~DialogUi();
    DialogUi(const DialogUi&) = delete;
    DialogUi& operator=(const DialogUi&) = delete;

    void loadForm(Form1& form) override;
    void showForm(Form1& form) override;
    void formChanged(Field field) override;
    void message(MessageIcon icon, const std::u16string& title,
                 const std::u16string& text) override;
    bool askYesNo(const std::u16string& title, const std::u16string& text) override;
    std::u16string browseForFolder(const std::u16string& title) override;
    bool setTopmost(bool topmost) override;

private:
    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool onCommand(int id, int notification);
    void layOut();
    void setText(int id, const std::u16string& text);
    void fillList(int id, const std::vector<std::u16string>& lines);
    // The owner of message boxes: the form once it is shown.
    HWND owner() const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    Form1* form_ = nullptr;
    HFONT titleFont_ = nullptr;
    bool settingText_ = false;
};

} // namespace installer
