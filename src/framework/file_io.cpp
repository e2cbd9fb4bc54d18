#include "framework/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

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

CFileException::CFileException(std::string fileName, const std::string& message)
    : std::runtime_error(message), m_errno(0), m_strFileName(std::move(fileName)) {}

std::string ReadWholeFile(const std::string& path) {
    // Asked before opening: opening a FIFO waits for a writer, and opening a
    // device may act on it.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        throw CFileException(errno, path);
    }
    if (S_ISDIR(st.st_mode)) {
        throw CFileException(EISDIR, path);
    }
    if (!S_ISREG(st.st_mode)) {
        throw CFileException(path, kNotARegularFile);
    }
    // Non-blocking, and asked again, in case another kind of file took the
    // name meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throw CFileException(errno, path);
    }
    std::string data;
    try {
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            throw CFileException(path, kNotARegularFile);
        }
        if (st.st_size > 0) {
            data.reserve(static_cast<std::size_t>(st.st_size));
        }
        std::vector<char> buffer(1 << 16);
        for (;;) {
            const ssize_t n = ::read(fd, buffer.data(), buffer.size());
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throw CFileException(errno, path);
            }
            if (n == 0) {
                break;
            }
            data.append(buffer.data(), static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        ::close(fd);
        throw CFileException(ENOMEM, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return data;
}

CAtomicFile::CAtomicFile(const std::string& requestedPath)
    : m_requested(requestedPath), m_path(ResolveLinks(requestedPath)) {
    struct stat old {};
    if (::stat(m_path.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            throw CFileException(EISDIR, m_requested);
        }
        if (::access(m_path.c_str(), W_OK) != 0) {
            throw CFileException(errno, m_requested);
        }
        m_mode = old.st_mode & 07777;
    } else {
        m_mode = DefaultFileMode();
    }
    std::string pattern = FolderOf(m_path) + "/.lumo-save-XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd >= 0) {
        m_temp = pattern;
        return;
    }
    const int err = errno;
    if ((err == EACCES || err == EPERM) && ::access(m_path.c_str(), W_OK) == 0) {
        m_fd = ::open(m_path.c_str(), O_WRONLY | O_CLOEXEC);
        if (m_fd >= 0) {
            m_direct = true;
            return;
        }
    }
    throw CFileException(err, m_requested);
}

CAtomicFile::~CAtomicFile() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (!m_temp.empty()) {
        ::unlink(m_temp.c_str());
    }
}

void CAtomicFile::Write(std::string_view data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw CFileException(errno, m_requested);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    m_written += data.size();
    if (m_written - m_started >= kWritebackStep) {
        // Starts writing what is here to the disk without waiting for it.
        // Otherwise it all goes at once when the file replaces the old one,
        // since the file system then flushes it (ext4 does), or at the sync.
        // A hint only: a failure shows up at the sync or not at all.
        ::sync_file_range(m_fd, static_cast<off_t>(m_started),
                          static_cast<off_t>(m_written - m_started), SYNC_FILE_RANGE_WRITE);
        m_started = m_written;
    }
}

void CAtomicFile::Commit(Durability durability) {
    auto fail = [this](int err) { throw CFileException(err, m_requested); };
    if (m_direct) {
        // Written over the old contents: what is left of them goes now.
        if (::ftruncate(m_fd, static_cast<off_t>(m_written)) != 0 ||
            (durability == Durability::Synced && ::fsync(m_fd) != 0)) {
            fail(errno);
        }
        if (::close(std::exchange(m_fd, -1)) != 0) {
            fail(errno);
        }
        return;
    }
    if (::fchmod(m_fd, m_mode) != 0) {
        fail(errno);
    }
    if (durability == Durability::Synced && ::fsync(m_fd) != 0) {
        fail(errno);
    }
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0) {
        fail(errno);
    }
    if (::rename(m_temp.c_str(), m_path.c_str()) != 0) {
        fail(errno);
    }
    m_temp.clear();
    if (durability == Durability::Cached) {
        return;
    }
    // Make the rename itself durable; a failure here no longer endangers the
    // old contents, which are gone, nor the new ones, which are in place.
    const int dir = ::open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void WriteFileAtomically(const std::string& path, std::string_view data, Durability durability) {
    CAtomicFile file(path);
    file.Write(data);
    file.Commit(durability);
}

bool IsSameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
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
