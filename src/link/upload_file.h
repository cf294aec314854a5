#pragma once
// Reading a ROM image file for upload. Thread: any. Errors are returned, never thrown.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Lift::Link {

struct UploadFile {
    enum class Status { Ok, TooLarge, CannotOpen, CannotRead };
    Status status = Status::CannotOpen;
    // Ok: exactly the file's bytes (frames built beyond them carry zeros, never bytes of an
    // earlier file). Empty otherwise.
    std::vector<std::uint8_t> image;
    // Ok: the file's length. TooLarge: a length above the limit (reading stops there).
    std::size_t length = 0;
    // CannotOpen / CannotRead: the system's reason, e.g. "No such file or directory".
    std::string reason;
};

// Reads at most capacity + 1 bytes of the file at path: anything longer is TooLarge
// without being read whole, also when the file is a device or a pipe whose size is unknown.
UploadFile ReadUploadFile(const std::string& path, std::size_t capacity);

} // namespace Lift::Link
