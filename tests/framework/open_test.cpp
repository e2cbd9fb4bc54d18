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

using lumo_test::TempDir;

// The child's address space is capped at what it uses now plus extraMb.
void LimitAddressSpace(std::size_t extraMb) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line) && line.rfind("VmSize:", 0) != 0) {
    }
    const rlim_t bytes = (rlim_t{std::stoul(line.substr(7))} << 10) + (rlim_t{extraMb} << 20);
    const struct rlimit limit { bytes, bytes };
    ::setrlimit(RLIMIT_AS, &limit);
}

// In a child: opening path fails with message, shown once as an error, and
// leaves a document with unsaved work exactly as it was (exit status 0).
int ExpectRefusedAndKept(const TempDir& dir, const std::string& path, const std::string& message,
                         std::size_t limitMb) {
    return lumo_test::RunInChild([&] {
        lumo_test::MessageCapture messages;
        CGrammer doc;
        lumo_test::BuildWorkedExample(doc);
        doc.SetPathName(dir.Path("mine.lm"));
        doc.AddNode({700, 700});
        const std::string before = lumo_test::Store(doc);
        if (limitMb != 0 && !lumo_test::kAddressSanitizer) {
            LimitAddressSpace(limitMb);
        }
        const bool refused = !doc.OnOpenDocument(path);
        return refused && lumo_test::Store(doc) == before && doc.IsModified() &&
                       doc.GetTitle() == "mine.lm" && doc.GetCurrentGraph() == doc.GetGraph(0) &&
                       messages.Messages() == std::vector<std::string>{path + ": " + message} &&
                       messages.Icons()[0] == MessageIcon::Error
                   ? 0
                   : 1;
    });
}

TEST(OpenOtherKinds, WhatCannotBeReadIsRefusedWithoutBlockingOrReading) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("pipe.lm").c_str(), 0600), 0);
    // A read of /dev/zero would never end: it gets little room.
    const std::pair<std::string, std::string> cases[] = {
        {dir.Path("pipe.lm"), "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {dir.Path("missing.lm"), "No such file or directory"},
        {dir.Root(), "Is a directory"}};
    for (const auto& [path, message] : cases) {
        EXPECT_EQ(ExpectRefusedAndKept(dir, path, message, 256), 0) << path;
    }
}

// Too large for the memory left: while reading it (the file is larger than
// the address space), and while building the grammar from it (each node
// record of 20 bytes becomes an object several times its size).
TEST(OpenOtherKinds, RunningOutOfMemoryKeepsTheOpenDocument) {
    if (lumo_test::kAddressSanitizer) {
        GTEST_SKIP() << "AddressSanitizer aborts where std::bad_alloc would be thrown";
    }
    TempDir dir;
    const std::string huge = dir.Path("huge.lm");
    std::ofstream{huge};
    ASSERT_EQ(::truncate(huge.c_str(), off_t{8} << 30), 0);  // sparse
    const int nodes = 2'500'000;
    std::string many =
        lumo_test::I32(1) + lumo_test::Str("MAIN") + lumo_test::I32(nodes) + lumo_test::I32(nodes);
    many.reserve(many.size() + std::size_t{nodes} * 20);
    for (int n = 1; n <= nodes; ++n) {
        many += lumo_test::I32(n) + std::string(16, '\0');
    }
    lumo_test::WriteFile(dir.Path("many.lm"), many);
    for (const std::string& path : {huge, dir.Path("many.lm")}) {
        EXPECT_EQ(
            ExpectRefusedAndKept(dir, path, "Cannot allocate memory", many.size() / (1 << 20) + 96),
            0)
            << path;
    }
}

}  // namespace
