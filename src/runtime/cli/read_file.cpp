#include "runtime/cli/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

namespace {

bool Fail(int err, std::string& error) {
    error = std::strerror(err);
    return false;
}

}  // namespace

bool ReadWholeInput(const std::string& path, bool regularOnly, std::string& out,
                    std::string& error) {
    int fd = STDIN_FILENO;
    if (path != "-") {
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) {
            return Fail(errno, error);
        }
        if (regularOnly && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
            error = "not a regular file";
            return false;
        }
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regularOnly ? O_NONBLOCK : 0));
        if (fd < 0) {
            return Fail(errno, error);
        }
        if (regularOnly && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(fd);
            error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
            return false;
        }
    }
    bool ok = true;
    try {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                ok = Fail(errno, error);
                break;
            }
            if (n == 0) {
                break;
            }
            out.append(buffer, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        std::string().swap(out);
        ok = Fail(ENOMEM, error);
    }
    if (fd != STDIN_FILENO) {
        ::close(fd);
    }
    return ok;
}
