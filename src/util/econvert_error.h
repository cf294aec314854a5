#pragma once
// EConvertError: a text that should hold a number, date or time does not. The message
// quotes the text, e.g. "'12abc' is not a valid integer value".

#include <stdexcept>
#include <string>

namespace YVclUtil {

class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

} // namespace YVclUtil
