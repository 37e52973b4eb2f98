// Reader of item-list text: either "range" followed by two numbers separated
// by ",", or comma-separated items, each a text with an optional "=" and id.
// Items of four equal characters from "-", "<", ">", "|" are separators,
// which the seek operations pass over.
//
// A walk reads the text item by item. The first seek in the comma form reads
// it once more into an index (where each item starts, the ids that do not
// follow from the item before, which items are separators: 4 bytes an item
// and a few for each id break and separator), from which every later seek
// reaches its item directly. An id is found by bisection while the runs of
// ids ascend, as lists write them; ids out of order cost a look at each run.
// Copies of a reader share the text and the index and have positions of
// their own; they are for one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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
    // The same, taking the text over.
    explicit EnumListReader(std::u16string&& text);

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
    // Position on the line-th item (from 0) that is not a separator: the item
    // a list shows on that line, separators taking none. The same failure.
    bool seekLine(int32_t line);
    // Reads a comma list into its index now rather than at the first seek.
    void indexItems() { listIndex(); }

    const EnumListItem& item() const { return current; }
    bool isRange() const { return rangeForm; }
    int32_t rangeFirst() const { return firstNumber; }
    int32_t rangeLast() const { return lastNumber; }
    const std::u16string& text() const { return shared->source; }

    static bool isSeparator(std::u16string_view text);

private:
    struct Index;
    struct Shared {
        std::u16string source;
        std::unique_ptr<const Index> index; // made by the first seek of a comma list
    };

    void nextInRange();
    void nextInList();
    bool seekInRange(int64_t id);
    // The index, made now unless it is made already; none for a text too long for it.
    const Index* listIndex();
    // Positioned on item k of the index, as a walk leaves it there.
    void positionAt(const Index& index, uint32_t k);
    // Past the end, as a walk leaves it there; false.
    bool toEnd(const Index& index);

    std::shared_ptr<Shared> shared;
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
