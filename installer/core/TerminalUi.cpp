#include "TerminalUi.h"
#include "Text.h"

#include <istream>
#include <ostream>

namespace installer {
namespace {

std::u16string trimmed(const std::u16string& text) {
    const size_t first = text.find_first_not_of(u" \t");
    if (first == std::u16string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

// The welcome text's CR LF line breaks as the terminal's own.
std::u16string withoutCarriageReturns(std::u16string_view text) {
    std::u16string out;
    for (const char16_t c : text)
        if (c != u'\r')
            out += c;
    return out;
}

} // namespace

bool TerminalUi::readLine(std::u16string& line) {
    std::string bytes;
    if (!std::getline(in_, bytes))
        return false;
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    line = decodeText(bytes);
    return true;
}

void TerminalUi::print(const std::u16string& text) {
    out_ << toUtf8(text);
}

void TerminalUi::showScreen(const Form1& form) {
    print(u"\n== " + std::u16string(formCaption) + u" ==\n");
    print(form.title() + u"\n\n");
    print(withoutCarriageReturns(welcomeText) + u"\n");
    print(std::u16string(folderCaption) + u" " + form.folderText() + u"\n");
    print(u"[i] INSTALL NOW  [c] CANCEL  [b] Browse >  [e] type another location\n> ");
    out_.flush();
}

void TerminalUi::showForm(Form1& form) {
    while (!form.ended()) {
        showScreen(form);
        std::u16string choice;
        if (!readLine(choice)) {
            print(u"\n");
            form.Command2_Click();
            continue;
        }
        choice = trimmed(choice);
        if (choice == u"i") {
            form.Command1_Click();
        } else if (choice == u"c") {
            form.Command2_Click();
        } else if (choice == u"b") {
            form.Command3_Click();
        } else if (choice == u"e") {
            print(std::u16string(folderCaption) + u" ");
            out_.flush();
            std::u16string folder;
            if (readLine(folder))
                form.editFolderText(std::move(folder));
        } else {
            print(u"Please answer i, c, b or e.\n");
        }
    }
}

void TerminalUi::message(MessageIcon icon, const std::u16string& title,
                         const std::u16string& text) {
    const char16_t* kind = icon == MessageIcon::Error     ? u"[error] "
                           : icon == MessageIcon::Warning ? u"[warning] "
                                                          : u"[information] ";
    print(kind + title + u": " + text + u"\n[Enter] OK\n");
    out_.flush();
    std::u16string ignored;
    readLine(ignored);
}

bool TerminalUi::askYesNo(const std::u16string& title, const std::u16string& text) {
    for (;;) {
        print(title + u" " + text + u" [y/n] ");
        out_.flush();
        std::u16string answer;
        if (!readLine(answer)) {
            print(u"\n");
            return true;
        }
        answer = trimmed(answer);
        if (answer == u"y" || answer == u"yes" || answer == u"Y" || answer == u"YES")
            return true;
        if (answer == u"n" || answer == u"no" || answer == u"N" || answer == u"NO")
            return false;
    }
}

std::u16string TerminalUi::browseForFolder(const std::u16string& title) {
    print(title + u" (a folder, or an empty line to cancel) ");
    out_.flush();
    std::u16string folder;
    if (!readLine(folder))
        return {};
    return folder;
}

} // namespace installer
