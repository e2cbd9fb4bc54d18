#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// A file that could not be read or written. The message is the system's own
// description of the error (strerror), without the file name, which is kept
// apart so that callers can place it as their report needs.
class CFileException : public std::runtime_error {
public:
    CFileException(int error, std::string fileName);
    // A failure the system has no error number for.
    CFileException(std::string fileName, const std::string& message);

    int GetErrno() const { return m_errno; }
    const std::string& GetFileName() const { return m_strFileName; }
    std::string GetErrorMessage() const { return what(); }

private:
    int m_errno;
    std::string m_strFileName;
};

// Reads a whole regular file. Anything else (a FIFO, a device, a socket) is
// refused, with "not a regular file", without blocking on it or reading it.
// Running out of memory is reported as ENOMEM.
std::string ReadWholeFile(const std::string& path);

inline constexpr char kNotARegularFile[] = "not a regular file";

// Whether a write must reach the disk before the call returns.
enum class Durability {
    // Synced before it replaces the old file: a crash or power loss leaves
    // the old contents or the new ones. For documents.
    Synced,
    // Left to the system to write back (started as it is written, but not
    // waited for): the replacement is still whole or absent for every
    // reader, but a power loss soon after may lose it. For files made from
    // others, such as tables, which can be made again.
    Cached,
};

// A file being replaced: written in pieces to a temporary file in the same
// folder, which takes the old file's place, with the old permission bits, only
// at Commit. Destroyed without a commit, it leaves the old file as it was.
// Only when the folder takes no new file (no permission) but the old file is
// writable is the file written in place instead, as QSaveFile's direct-write
// fallback does: saving still works there, though a failure part-way then
// leaves the file damaged.
class CAtomicFile {
public:
    // Refuses, with CFileException, a folder or a file that is not writable.
    explicit CAtomicFile(const std::string& path);
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    void Write(std::string_view data);
    void Commit(Durability durability);

private:
    std::string m_requested;  // as given, for messages
    std::string m_path;       // links followed
    std::string m_temp;
    bool m_direct = false;
    int m_fd = -1;
    unsigned m_mode = 0;
    // Bytes written, and how many of them the disk has been asked to take.
    static constexpr std::size_t kWritebackStep = 4 << 20;
    std::size_t m_written = 0;
    std::size_t m_started = 0;
};

// Replaces the file at path with data, or creates it, so that at every moment
// the path holds either the old contents or the new ones. The data goes to a
// temporary file in the same folder, takes the old file's permission bits
// and is renamed over the old name. An existing file that is not writable is
// refused, as an in-place write would be. A symbolic link is followed and its
// target replaced. On failure nothing at path has changed.
void WriteFileAtomically(const std::string& path, std::string_view data,
                         Durability durability = Durability::Synced);

// Whether the two paths name one existing file: the same device and inode,
// so symbolic and hard links count. A path to nothing is no other file.
bool IsSameFile(const std::string& a, const std::string& b);

// True when path names an existing file that this process may write.
bool IsWritableFile(const std::string& path);
bool FileExists(const std::string& path);
