#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "framework/message.h"

namespace lumo_test {

// Runs body in a child process, for limits and identities that must not leak
// into the runner: killed if it blocks, it shows no messages, and its result
// comes back as the exit status (99: an exception escaped).
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

}  // namespace lumo_test
