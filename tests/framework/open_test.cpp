// Opening what is not a document: files of other kinds, files too large for
// the memory left, files that fail part-way. Nothing blocks, nothing aborts,
// and only a file that fails part-way gives up the open document.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/sanitizer.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::TempDir;

// Runs body in a child that is killed if it blocks; its result comes back as
// the exit status (99: an exception escaped).
int RunInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::alarm(20);
        try {
            ::_exit(body());
        } catch (...) {
            ::_exit(99);  // not caught where it should have been
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The child's address space is capped at what it uses now plus extraMb.
void LimitAddressSpace(std::size_t extraMb) {
    std::ifstream status("/proc/self/status");
    std::string line;
    std::size_t usedKb = 0;
    while (std::getline(status, line)) {
        if (line.rfind("VmSize:", 0) == 0) {
            usedKb = std::stoul(line.substr(7));
        }
    }
    const rlim_t bytes = (rlim_t{usedKb} << 10) + (rlim_t{extraMb} << 20);
    const struct rlimit limit { bytes, bytes };
    ::setrlimit(RLIMIT_AS, &limit);
}

// A document with unsaved work, under its own name.
struct OpenWork {
    explicit OpenWork(const TempDir& dir) {
        lumo_test::BuildWorkedExample(doc);
        doc.SetPathName(dir.Path("mine.lm"));
        doc.AddNode({700, 700});
        before = lumo_test::Store(doc);
    }
    // Exit status for the child: 0 when the open failed with message and
    // left the document exactly as it was.
    int ExpectRefusedAndKept(const std::string& path, const std::string& message) {
        if (doc.OnOpenDocument(path)) {
            return 1;
        }
        if (doc.GetLastErrorMessage() != message) {
            return 2;
        }
        const bool kept = lumo_test::Store(doc) == before && doc.IsModified() &&
                          doc.GetTitle() == "mine.lm" && doc.GetCurrentGraph() == doc.GetGraph(0);
        return kept ? 0 : 3;
    }

    CGrammer doc;
    std::string before;
};

TEST(OpenOtherKinds, FifoAndDeviceAreRefusedWithoutBlockingOrReading) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("pipe.lm").c_str(), 0600), 0);
    for (const std::string& path : {dir.Path("pipe.lm"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        const int status = RunInChild([&] {
            // A read of /dev/zero would never end: give it little room.
            if (!lumo_test::kAddressSanitizer) {
                LimitAddressSpace(256);
            }
            lumo_test::MessageCapture messages;
            OpenWork work(dir);
            const int kept = work.ExpectRefusedAndKept(path, "not a regular file");
            if (kept != 0) {
                return kept;
            }
            return messages.Messages() == std::vector<std::string>{path + ": not a regular file"}
                       ? 0
                       : 4;
        });
        EXPECT_EQ(status, 0);
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
    { std::ofstream out(huge, std::ios::binary); }
    ASSERT_EQ(::truncate(huge.c_str(), off_t{8} << 30), 0);  // sparse

    const int nodes = 2'500'000;
    std::string many =
        lumo_test::I32(1) + lumo_test::Str("MAIN") + lumo_test::I32(nodes) + lumo_test::I32(nodes);
    many.reserve(many.size() + std::size_t{nodes} * 20);
    for (int n = 1; n <= nodes; ++n) {
        many += lumo_test::I32(n) + lumo_test::I32(0) + lumo_test::I32(0) + lumo_test::I32(0) +
                lumo_test::I32(0);
    }
    lumo_test::WriteFile(dir.Path("many.lm"), many);

    for (const std::string& path : {huge, dir.Path("many.lm")}) {
        SCOPED_TRACE(path);
        const int status = RunInChild([&] {
            lumo_test::MessageCapture messages;
            OpenWork work(dir);
            LimitAddressSpace(many.size() / (1 << 20) + 96);
            const int kept = work.ExpectRefusedAndKept(path, "Cannot allocate memory");
            if (kept != 0) {
                return kept;
            }
            return messages.Messages().size() == 1 &&
                           messages.Messages()[0] == path + ": Cannot allocate memory" &&
                           messages.Icons()[0] == MessageIcon::Error
                       ? 0
                       : 4;
        });
        EXPECT_EQ(status, 0);
    }
}

// "Unexpected file format." says which file it is about; the document is
// then as after File New.
TEST(OpenOtherKinds, FormatErrorNamesTheFile) {
    TempDir dir;
    lumo_test::WriteFile(dir.Path("junk.lm"), "not a grammar");
    lumo_test::MessageCapture messages;
    OpenWork work(dir);
    EXPECT_FALSE(work.doc.OnOpenDocument(dir.Path("junk.lm")));
    EXPECT_EQ(work.doc.GetLastErrorMessage(), "Unexpected file format.");
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0], dir.Path("junk.lm") + ": Unexpected file format.");
    EXPECT_EQ(messages.Icons()[0], MessageIcon::Warning);
    EXPECT_EQ(work.doc.GetGraphCount(), 1);
    EXPECT_EQ(work.doc.GetPathName(), "");
}

}  // namespace
