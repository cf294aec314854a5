#include "link/upload_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Lift::Link {

namespace {
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};
} // namespace

UploadFile ReadUploadFile(const std::string& path, std::size_t capacity) {
    UploadFile result;
    // O_NONBLOCK so that a FIFO without writer cannot hang the caller.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        result.status = UploadFile::Status::CannotOpen;
        result.reason = std::strerror(errno);
        return result;
    }
    std::vector<std::uint8_t> buffer(capacity + 1, 0);
    std::size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t n = ::read(fd.get(), buffer.data() + got, buffer.size() - got);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.status = UploadFile::Status::CannotRead;
            result.reason = std::strerror(errno);
            return result;
        }
        got += static_cast<std::size_t>(n);
    }
    result.length = got;
    if (got > capacity) {
        result.status = UploadFile::Status::TooLarge;
        return result;
    }
    buffer.resize(capacity);
    result.image = std::move(buffer);
    result.status = UploadFile::Status::Ok;
    return result;
}

} // namespace Lift::Link
