#include "link/upload_file.h"
#include "util/errno_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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
        result.reason = Util::ErrnoText(errno);
        return result;
    }
    // The size is only a hint (devices and pipes report none): read until the end, or until
    // one byte more than the limit proves the file too large.
    struct stat st {};
    std::size_t hint = 0;
    if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        hint = std::min(static_cast<std::size_t>(st.st_size), capacity) + 1;
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(hint, 4096));
    std::size_t got = 0;
    for (;;) {
        if (got == buffer.size())
            buffer.resize(std::min(buffer.size() * 2, capacity + 1));
        const ssize_t n = ::read(fd.get(), buffer.data() + got, buffer.size() - got);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.status = UploadFile::Status::CannotRead;
            result.reason = Util::ErrnoText(errno);
            return result;
        }
        got += static_cast<std::size_t>(n);
        if (got > capacity)
            break;
    }
    result.length = got;
    if (got > capacity) {
        result.status = UploadFile::Status::TooLarge;
        return result;
    }
    buffer.resize(got);
    result.image = std::move(buffer);
    result.status = UploadFile::Status::Ok;
    return result;
}

} // namespace Lift::Link
