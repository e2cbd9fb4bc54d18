#include "framework/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Closes a descriptor and removes the temporary file unless released.
class TempFile {
public:
    TempFile(int fd, std::string path) : m_fd(fd), m_path(std::move(path)) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    int Close() {
        const int rc = ::close(m_fd);
        m_fd = -1;
        return rc;
    }
    void Keep() { m_path.clear(); }

private:
    int m_fd;
    std::string m_path;
};

std::string ResolveLinks(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real != nullptr) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t DefaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

CFileException::CFileException(int error, std::string fileName)
    : std::runtime_error(std::strerror(error)),
      m_errno(error),
      m_strFileName(std::move(fileName)) {}

std::string ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        throw CFileException(errno, path);
    }
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throw CFileException(err, path);
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw CFileException(EISDIR, path);
    }
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        data.reserve(static_cast<std::size_t>(st.st_size));
    }
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int err = errno;
            ::close(fd);
            throw CFileException(err, path);
        }
        if (n == 0) {
            break;
        }
        data.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return data;
}

void WriteFileAtomically(const std::string& requestedPath, std::string_view data,
                         Durability durability) {
    const std::string path = ResolveLinks(requestedPath);

    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            throw CFileException(EISDIR, requestedPath);
        }
        if (::access(path.c_str(), W_OK) != 0) {
            throw CFileException(errno, requestedPath);
        }
    }

    std::string pattern = FolderOf(path) + "/.lumo-save-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        throw CFileException(errno, requestedPath);
    }
    TempFile temp(fd, pattern);
    auto fail = [&](int err) { throw CFileException(err, requestedPath); };

    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(temp.fd(), p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    const mode_t mode = exists ? (old.st_mode & 07777) : DefaultFileMode();
    if (::fchmod(temp.fd(), mode) != 0) {
        fail(errno);
    }
    if (durability == Durability::Synced && ::fsync(temp.fd()) != 0) {
        fail(errno);
    }
    if (temp.Close() != 0) {
        fail(errno);
    }
    if (::rename(temp.path().c_str(), path.c_str()) != 0) {
        fail(errno);
    }
    temp.Keep();
    if (durability == Durability::Cached) {
        return;
    }
    // Make the rename itself durable; a failure here no longer endangers the
    // old contents, which are gone, nor the new ones, which are in place.
    const int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

bool IsWritableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.c_str(), W_OK) == 0;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}
