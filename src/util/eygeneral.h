#pragma once
// EYGeneral: the utility library's exception. Carries a printf-formatted message
// (no length limit) and an error number, -1 when none was given.

#include <cstdarg>
#include <exception>
#include <string>

namespace YVclUtil {

class EYGeneral : public std::exception {
public:
    explicit EYGeneral(const char* format, ...) __attribute__((format(printf, 2, 3)));
    EYGeneral(int code, const char* format, ...) __attribute__((format(printf, 3, 4)));

    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& Message() const noexcept { return m_message; }

    // Help-context number of the platform's exception base; unused here, kept at 0.
    int HelpContext = 0;
    int Code = -1;

private:
    std::string m_message;
};

} // namespace YVclUtil
