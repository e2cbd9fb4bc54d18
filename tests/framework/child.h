#pragma once

// A child process for limits and identities that must not leak into the runner.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include "framework/message.h"

namespace lumo_test {

// Runs body in a child that is killed if it blocks and shows no messages; its
// result comes back as the exit status (99: an exception escaped).
inline int RunInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(20);
        SetMessageHandler([](MessageIcon, const std::string&) {});
        try {
            ::_exit(body());
        } catch (...) {
            ::_exit(99);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

inline std::ptrdiff_t EntriesIn(const std::string& dir) {
    return std::distance(std::filesystem::directory_iterator(dir),
                         std::filesystem::directory_iterator());
}

}  // namespace lumo_test
