#pragma once
// Small shared routines of the utility library: formatted error boxes and debug lines,
// byte-to-hex, and zero-filled page memory.
//
// Error boxes go to one process-wide sink. By default the sink prints "CAPTION: TEXT" on
// stderr; the window installs a task-modal message box, tests install a recorder. The sink
// is called on the thread that raised the box and must block until the user has seen it.
// The window shows a box from another thread on its own thread, from its main loop, while
// the raising thread waits; so a thread must not raise a box while holding a lock the
// window's thread may take, nor while that thread waits for it without serving the loop
// (MainLoop::waitUntil serves it). All routines may be called from any thread.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace YVclCtrl {
class TComponent;
}

namespace YVclUtil {

// printf into a std::string of exactly the needed size; a null format gives "".
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VFormat(const char* format, va_list args);

using ErrorBoxSink = std::function<void(const std::string& caption, const std::string& text)>;
// Installs a sink and returns the previous one. An empty function restores the default.
ErrorBoxSink SetErrorBoxSink(ErrorBoxSink sink);

// Shows a modal error box; returns the length of the formatted message.
int ShowErrMsgBox_Printf(const char* caption, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// As above with the component's Name as caption (empty name -> empty caption).
int ShowErrMsgBox_Printf(const YVclCtrl::TComponent* component, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

using DebugSink = std::function<void(const std::string& line)>;
// Installs a debug-line sink and returns the previous one. The default writes the line to
// stderr when the environment variable LIFT_LCD_DEBUG is set, and drops it otherwise.
DebugSink SetDebugSink(DebugSink sink);
// Sends one formatted line to the debug channel; returns its length.
int SendDbgString_Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes the byte as two upper-case hex digits at out[0], out[1]; no terminator.
void BinToHexAscii(std::uint8_t byte, char* out);

// Zero-filled, readable and writable memory starting on a multiple of 8192 bytes.
// Null when the size is 0 or the system refuses. Free with YFreeVirtualMem (no size).
void* YAllocVirtualMem(std::uint32_t size);
// Releases a region from YAllocVirtualMem; false for null or an unknown address.
bool YFreeVirtualMem(void* address);

} // namespace YVclUtil
