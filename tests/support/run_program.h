#pragma once

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/grammar_builder.h"
#include "support/sanitizer.h"
#include "support/temp_dir.h"

namespace lumo_test {

struct ProgramResult {
    int status = -1;  // the exit status, or -1 when killed by a signal
    std::string out;
    std::string err;
};

// Runs program with args and input, the streams through files in io; killed
// after a minute; with memoryMb that much address space (resident memory under
// AddressSanitizer, which needs far more).
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const TempDir& io, const std::string& input = "",
                                unsigned memoryMb = 0) {
    WriteFile(io.Path("stdin"), input);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(60);
        if (memoryMb != 0 && kAddressSanitizer) {
            const std::string old = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
            ::setenv("ASAN_OPTIONS",
                     (old + ":hard_rss_limit_mb=" + std::to_string(memoryMb)).c_str(), 1);
        } else if (memoryMb != 0) {
            const struct rlimit limit { rlim_t{memoryMb} << 20, rlim_t{memoryMb} << 20 };
            ::setrlimit(RLIMIT_AS, &limit);
        }
        ::dup2(::open(io.Path("stdin").c_str(), O_RDONLY), 0);
        ::dup2(::open(io.Path("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(io.Path("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args) {
            argv.push_back(const_cast<char*>(arg.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return ProgramResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(io.Path("stdout")),
                         ReadFile(io.Path("stderr"))};
}

}  // namespace lumo_test
