// Reader of item-list text: either "range" followed by two numbers separated
// by ",", or comma-separated items, each a text with an optional "=" and id.
// Items of four equal characters from "-", "<", ">", "|" are separators,
// which the seek operations pass over.
#pragma once

#include <cstdint>
#include <string>

// A context menu or a file-type list offers at most this many items of a
// list, the first ones in order: each item is a host call, and a range can
// name billions of them.
constexpr int32_t maxOfferedListItems = 65536;

struct EnumListItem {
    int32_t index = -1; // position from 0; -1 past the end
    int32_t id = 0;
    std::u16string text;
};

class EnumListReader {
public:
    // Throws std::out_of_range for the text "range" alone, whose numbers would
    // start beyond its end. Call first() before reading the item.
    explicit EnumListReader(const std::u16string& text);

    void first();
    void next();
    // The walk's length, except that a list ending in "," counts one more, a
    // list beginning with "," one fewer, and a range whose first number is
    // above its second counts the numbers between them while the walk yields
    // none. At most 2147483647.
    int32_t count() const;
    // Position on the first matching item that is not a separator; false, and
    // past the end, when there is none.
    bool seekId(int32_t id);
    bool seekIndex(int32_t index);

    const EnumListItem& item() const { return current; }
    bool isRange() const { return rangeForm; }
    int32_t rangeFirst() const { return firstNumber; }
    int32_t rangeLast() const { return lastNumber; }

    static bool isSeparator(const std::u16string& text);

private:
    void nextInRange();
    void nextInList();
    bool seekInRange(int64_t id);

    std::u16string source;
    EnumListItem current;
    bool rangeForm = false;
    int32_t firstNumber = 0;
    int32_t lastNumber = 0;
    int64_t rangeId = 0;     // the range form's current id, in 64 bits
    size_t readPosition = 0; // the list form's position in source
};

// seekId on a new reader of text. No module of this library calls this or the next.
bool enumListHasId(const std::u16string& text, int32_t id);
// id when the list has it, else the first item's id, else 0.
int32_t enumListValidId(const std::u16string& text, int32_t id);
