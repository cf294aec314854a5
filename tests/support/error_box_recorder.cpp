#include "support/error_box_recorder.h"

namespace Lift::Test {

ErrorBoxRecorder::ErrorBoxRecorder() {
    m_previous = YVclUtil::SetErrorBoxSink([this](const std::string& c, const std::string& t) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_boxes.push_back({c, t});
    });
}

ErrorBoxRecorder::~ErrorBoxRecorder() { YVclUtil::SetErrorBoxSink(std::move(m_previous)); }

std::size_t ErrorBoxRecorder::count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_boxes.size();
}

RecordedBox ErrorBoxRecorder::at(std::size_t i) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return i < m_boxes.size() ? m_boxes[i] : RecordedBox{};
}

void ErrorBoxRecorder::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_boxes.clear();
}

} // namespace Lift::Test
