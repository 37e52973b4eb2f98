#include "PinIndex.h"

#include <stdexcept>
#include <string>

void throwPinIndexOutOfOrder(int32_t index, int32_t next) {
    throw std::logic_error("pin index " + std::to_string(index) + " registered where " +
                           std::to_string(next) + " is next");
}
