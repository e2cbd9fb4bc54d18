#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "support/grammar_builder.h"
#include "support/temp_dir.h"

namespace lumo_test {

struct ProgramResult {
    int status = -1;  // the exit status, or -1 when killed by a signal
    std::string out;
    std::string err;
};

// Runs program with args as a user would, with input on its standard input;
// the streams pass through files in io.
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const TempDir& io, const std::string& input = "") {
    WriteFile(io.Path("stdin"), input);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(::open(io.Path("stdin").c_str(), O_RDONLY), 0);
        ::dup2(::open(io.Path("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        ::dup2(::open(io.Path("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        std::vector<std::string> copy = args;
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (std::string& arg : copy) {
            argv.push_back(arg.data());
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
