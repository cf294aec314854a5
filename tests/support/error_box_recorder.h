#pragma once
// Records every error box raised while it lives, from any thread.

#include "util/standalone_function.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace Lift::Test {

struct RecordedBox {
    std::string caption;
    std::string text;
};

class ErrorBoxRecorder {
public:
    ErrorBoxRecorder();
    ~ErrorBoxRecorder();
    ErrorBoxRecorder(const ErrorBoxRecorder&) = delete;
    ErrorBoxRecorder& operator=(const ErrorBoxRecorder&) = delete;

    std::size_t count() const;
    RecordedBox at(std::size_t i) const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<RecordedBox> m_boxes;
    YVclUtil::ErrorBoxSink m_previous;
};

} // namespace Lift::Test
