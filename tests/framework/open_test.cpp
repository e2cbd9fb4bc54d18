// Opening files of other kinds or too large for the memory left: nothing
// blocks or aborts, and the open document is kept.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <fstream>

#include "child.h"
#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/sanitizer.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::I32;

// In a child whose address space may grow by 160 MB only: opening path fails
// with message, shown once as an error, and leaves a document with unsaved
// work exactly as it was (exit status 0).
int ExpectRefusedAndKept(const std::string& path, const std::string& message) {
    return lumo_test::RunInChild([&] {
        lumo_test::MessageCapture messages;
        CGrammer doc;
        lumo_test::BuildWorkedExample(doc);
        doc.SetPathName("/mine.lm");
        doc.AddNode({700, 700});
        const std::string before = lumo_test::Store(doc);
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line) && line.rfind("VmSize:", 0) != 0) {
        }
        const rlim_t bytes = (rlim_t{std::stoul(line.substr(7))} << 10) + (rlim_t{160} << 20);
        const struct rlimit limit { bytes, bytes };
        if (!lumo_test::kAddressSanitizer) {  // which cannot start in so little
            ::setrlimit(RLIMIT_AS, &limit);
        }
        return !doc.OnOpenDocument(path) && lumo_test::Store(doc) == before && doc.IsModified() &&
                       doc.GetTitle() == "mine.lm" && doc.GetCurrentGraph() == doc.GetGraph(0) &&
                       messages.Messages() == std::vector<std::string>{path + ": " + message} &&
                       messages.Icons()[0] == MessageIcon::Error
                   ? 0
                   : 1;
    });
}

// A read of /dev/zero would never end; each node record of 20 bytes becomes
// an object several times its size.
TEST(OpenOtherKinds, WhatCannotBeReadOrHeldIsRefusedWithoutBlocking) {
    lumo_test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("pipe.lm").c_str(), 0600), 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir.Path("pipe.lm"), "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {dir.Path("missing.lm"), "No such file or directory"},
        {dir.Root(), "Is a directory"}};
    if (!lumo_test::kAddressSanitizer) {  // which aborts where std::bad_alloc would be thrown
        std::string many = I32(1) + lumo_test::Str("MAIN") + I32(2'500'000) + I32(2'500'000);
        for (int n = 1; n <= 2'500'000; ++n) {
            many += I32(n) + std::string(16, '\0');
        }
        lumo_test::WriteFile(dir.Path("many.lm"), many);
        cases.push_back({dir.Path("many.lm"), "Cannot allocate memory"});
    }
    for (const auto& [path, message] : cases) {
        EXPECT_EQ(ExpectRefusedAndKept(path, message), 0) << path;
    }
}

}  // namespace
