// The words of one scenario line after its command's name, each read whole:
// a word that is not what the command expects there, a word missing or one
// too many refuses the line with std::runtime_error, e.g. "not a float:
// 1.5abc" or "missing PIN (set NAME PIN TYPE VALUE)".
#pragma once

#include "../PinBytes.h"

#include <string>
#include <string_view>

namespace refhost {

struct Command;

class Words {
public:
    // `line` is what follows the command's name.
    Words(std::string_view line, const Command& command);

    // The next word, separated by blanks (spaces and tabs). `what` names it
    // as the command's synopsis does, for the message when it is missing.
    std::string word(std::string_view what);
    // A word that may stand in double quotes to hold blanks (a module ID).
    std::string quotable(std::string_view what);
    int32_t integer(std::string_view what);
    // An int of 0 or more: "not a number of NOUN: WORD" otherwise.
    int32_t count(std::string_view what, std::string_view noun);
    float number(std::string_view what);
    // A float above 0 (a size).
    float size(std::string_view what);
    // A type word (bool, int, float, text or blob).
    std::string type(std::string_view what);
    // A pin value of that type: the rest of the line for text, else one word
    // (none for a blob of no bytes).
    testhost::Bytes value(const std::string& type, std::string_view what);

    // Whether another word follows.
    bool more();
    // The rest of the line from its next word on, exactly as written; empty
    // when nothing follows.
    std::string rest();
    // Refuses the line when any word is left.
    void end();

private:
    void skipBlanks();
    [[noreturn]] void missing(std::string_view what) const;

    std::string_view line;
    size_t at = 0;
    const Command& command;
};

} // namespace refhost
