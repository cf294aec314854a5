#include "util/standalone_function.h"

#include "util/component.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <unordered_set>

namespace YVclUtil {

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

ErrorBoxSink& errorSink() {
    static ErrorBoxSink sink;
    return sink;
}

DebugSink& debugSink() {
    static DebugSink sink;
    return sink;
}

void defaultErrorBox(const std::string& caption, const std::string& text) {
    // One write so lines from several threads do not interleave.
    std::string line = caption + ": " + text;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void defaultDebugLine(const std::string& line) {
    // Read once, on first use; nothing in the program sets the environment.
    static const bool enabled = std::getenv("LIFT_LCD_DEBUG") != nullptr; // NOLINT(concurrency-mt-unsafe)
    if (!enabled)
        return;
    std::string out = "[debug] " + line + "\n";
    std::fwrite(out.data(), 1, out.size(), stderr);
}

int showBox(const std::string& caption, const std::string& text) {
    ErrorBoxSink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = errorSink();
    }
    // The sink runs outside the lock: a modal box may take as long as the user likes.
    if (sink)
        sink(caption, text);
    else
        defaultErrorBox(caption, text);
    return static_cast<int>(text.size());
}

struct Regions {
    std::mutex mutex;
    std::unordered_set<void*> live;
};

Regions& regions() {
    static Regions r;
    return r;
}

} // namespace

std::string VFormat(const char* format, va_list args) {
    if (!format)
        return {};
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return {};
    std::string out(static_cast<size_t>(length), '\0');
    std::vsnprintf(out.data(), out.size() + 1, format, args);
    return out;
}

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string out = VFormat(format, args);
    va_end(args);
    return out;
}

ErrorBoxSink SetErrorBoxSink(ErrorBoxSink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    ErrorBoxSink previous = std::move(errorSink());
    errorSink() = std::move(sink);
    return previous;
}

int ShowErrMsgBox_Printf(const char* caption, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    return showBox(caption ? caption : "", text);
}

int ShowErrMsgBox_Printf(const YVclCtrl::TComponent* component, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormat(format, args);
    va_end(args);
    return showBox(component ? component->Name() : std::string(), text);
}

DebugSink SetDebugSink(DebugSink sink) {
    std::lock_guard<std::mutex> lock(sinkMutex());
    DebugSink previous = std::move(debugSink());
    debugSink() = std::move(sink);
    return previous;
}

int SendDbgString_Printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string line = VFormat(format, args);
    va_end(args);
    DebugSink sink;
    {
        std::lock_guard<std::mutex> lock(sinkMutex());
        sink = debugSink();
    }
    if (sink)
        sink(line);
    else
        defaultDebugLine(line);
    return static_cast<int>(line.size());
}

void BinToHexAscii(std::uint8_t byte, char* out) {
    static const char digits[] = "0123456789ABCDEF";
    out[0] = digits[byte >> 4];
    out[1] = digits[byte & 0x0F];
}

void* YAllocVirtualMem(std::uint32_t size) {
    if (size == 0)
        return nullptr;
    constexpr size_t kAlign = 8192;
    const size_t rounded = (static_cast<size_t>(size) + kAlign - 1) / kAlign * kAlign;
    void* p = nullptr;
    if (posix_memalign(&p, kAlign, rounded) != 0 || !p)
        return nullptr;
    std::memset(p, 0, rounded);
    Regions& r = regions();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.live.insert(p);
    return p;
}

bool YFreeVirtualMem(void* address) {
    if (!address)
        return false;
    Regions& r = regions();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.live.erase(address) == 0)
            return false;
    }
    std::free(address);
    return true;
}

} // namespace YVclUtil
