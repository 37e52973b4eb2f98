// A plain terminal stand-in of the installer's dialog, for platforms without
// it: it shows the form as text and reads the user's choices and the answers
// to the message boxes line by line.
#pragma once

#include "Installer.h"

#include <iosfwd>

namespace installer {

class TerminalUi final : public UserInterface {
public:
    TerminalUi(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    void loadForm(Form1&) override {}
    // Shows the form and its choices until the form ends. When the input
    // ends, the user is taken to have pressed "CANCEL".
    void showForm(Form1& form) override;
    void formChanged(Field) override {}
    void message(MessageIcon icon, const std::u16string& title,
                 const std::u16string& text) override;
    // The end of the input answers Yes: nobody is left to answer, and the
    // only question is whether to cancel.
    bool askYesNo(const std::u16string& title, const std::u16string& text) override;
    // Reads a typed folder; an empty line or the end of the input cancels.
    std::u16string browseForFolder(const std::u16string& title) override;
    // A terminal has no window to keep on top.
    bool setTopmost(bool) override { return true; }

private:
    bool readLine(std::u16string& line);
    void print(const std::u16string& text);
    void showScreen(const Form1& form);

    std::istream& in_;
    std::ostream& out_;
};

} // namespace installer
