// Saving replaces a file whole or not at all.

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "framework/file_io.h"
#include "framework/message.h"
#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

namespace {

using lumo_test::ReadFile;
using lumo_test::TempDir;
using lumo_test::WriteFile;

// Runs body in a child process, for limits and identities that must not
// leak into the test runner; the child's failures come back as its status.
int RunInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        SetMessageHandler([](MessageIcon, const std::string&) {});
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

size_t EntriesIn(const std::string& dir) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) {
        ++n;
    }
    return n;
}

// A document that needs more than a few kilobytes.
void MakeLarge(CGrammer& doc) {
    lumo_test::AddNodes(doc, 1);
    lumo_test::AddEdge(doc, 1, 2, std::string(20000, 'x'));
}

TEST(AtomicSave, KeepsPermissionBitsAndLeavesNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.Path("g.lm");
    WriteFile(path, "old");
    ::chmod(path.c_str(), 0640);
    CGrammer doc;
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(ReadFile(path), lumo_test::Store(doc));
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(EntriesIn(dir.Root()), 1u);
    EXPECT_EQ(doc.GetPathName(), path);
}

TEST(AtomicSave, NewFileFollowsTheUmask) {
    TempDir dir;
    const mode_t old = ::umask(027);
    CGrammer doc;
    const bool saved = doc.OnSaveDocument(dir.Path("new.lm"));
    ::umask(old);
    ASSERT_TRUE(saved);
    EXPECT_EQ(ModeOf(dir.Path("new.lm")), 0640u);
}

TEST(AtomicSave, ThroughASymbolicLinkReplacesItsTarget) {
    TempDir dir;
    WriteFile(dir.Path("real.lm"), "old");
    std::filesystem::create_symlink("real.lm", dir.Path("link.lm"));
    CGrammer doc;
    ASSERT_TRUE(doc.OnSaveDocument(dir.Path("link.lm")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.lm")));
    EXPECT_EQ(ReadFile(dir.Path("real.lm")), lumo_test::Store(doc));
}

TEST(AtomicSave, WriteFailingPartWayLeavesTheOldFileByteIdentical) {
    TempDir dir;
    const std::string path = dir.Path("g.lm");
    const std::string old(3000, 'o');
    WriteFile(path, old);
    const int status = RunInChild([&] {
        // Files may grow to 4 KiB only; the write past it fails with EFBIG.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        CGrammer doc;
        MakeLarge(doc);
        if (doc.OnSaveDocument(path)) {
            return 10;
        }
        if (!doc.IsModified() || doc.GetPathName() != "") {
            return 11;
        }
        return doc.GetLastErrorMessage() == "File too large" ? 0 : 12;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(EntriesIn(dir.Root()), 1u);
}

TEST(AtomicSave, FullDiskLeavesTheOldFileByteIdentical) {
    TempDir dir;
    const std::string old(3000, 'o');
    const int status = RunInChild([&] {
        // A private mount namespace with a 16 KiB file system.
        if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return 77;
        }
        const std::string mnt = dir.Path("small");
        std::filesystem::create_directory(mnt);
        if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=16k") != 0) {
            return 77;
        }
        const std::string path = mnt + "/g.lm";
        WriteFile(path, old);
        CGrammer doc;
        lumo_test::AddNodes(doc, 1);
        lumo_test::AddEdge(doc, 1, 2, std::string(40000, 'x'));
        if (doc.OnSaveDocument(path)) {
            return 10;
        }
        if (ReadFile(path) != old) {
            return 11;
        }
        if (EntriesIn(mnt) != 1) {
            return 12;
        }
        return doc.GetLastErrorMessage() == "No space left on device" ? 0 : 13;
    });
    if (status == 77) {
        GTEST_SKIP() << "no user namespaces here";
    }
    EXPECT_EQ(status, 0);
}

TEST(AtomicSave, ReadOnlyFileIsRefusedAndSaveAsIsAskedFor) {
    TempDir dir;
    const std::string path = dir.Path("ro.lm");
    WriteFile(path, "old");
    ::chmod(path.c_str(), 0444);
    ::chmod(dir.Root().c_str(), 0777);
    const int status = RunInChild([&] {
        // Root may write anything: be somebody else.
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            return 77;
        }
        CGrammer doc;
        doc.SetPathName(path);
        if (doc.OnSaveDocument(path) || doc.GetLastErrorMessage() != "Permission denied") {
            return 10;
        }
        bool asked = false;
        doc.SetSaveAsPrompt([&](CDocument&) -> std::optional<std::string> {
            asked = true;
            return std::nullopt;
        });
        if (doc.DoFileSave() || !asked) {
            return 11;
        }
        return 0;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(path), "old");
}

// A writable file in a folder that takes no new files is written in place;
// anywhere else the file is replaced by a new one.
TEST(AtomicSave, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    TempDir dir;
    const std::string folder = dir.Path("ro");
    const std::string path = folder + "/g.lm";
    std::filesystem::create_directory(folder);
    WriteFile(path, "old");
    ::chmod(path.c_str(), 0666);
    ::chmod(dir.Root().c_str(), 0777);
    ::chmod(folder.c_str(), 0555);
    struct stat before {};
    ::stat(path.c_str(), &before);
    const int status = RunInChild([&] {
        if (::geteuid() == 0 && ::setuid(65534) != 0) {
            return 77;
        }
        CGrammer doc;
        doc.AddNode({300, 300});
        // Writable folder: replaced by a new file.
        const std::string beside = dir.Path("g.lm");
        if (!doc.OnSaveDocument(beside)) {
            return 10;
        }
        struct stat first {};
        ::stat(beside.c_str(), &first);
        if (!doc.OnSaveDocument(beside)) {
            return 11;
        }
        struct stat second {};
        ::stat(beside.c_str(), &second);
        if (first.st_ino == second.st_ino) {
            return 12;
        }
        doc.AddNode({500, 500});
        doc.SetPathName(path);
        if (!doc.DoFileSave() || doc.IsModified()) {
            return 13;
        }
        return ReadFile(path) == lumo_test::Store(doc) && EntriesIn(folder) == 1 ? 0 : 14;
    });
    EXPECT_EQ(status, 0);
    struct stat after {};
    ::stat(path.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(ModeOf(path), 0666u);
}

TEST(AtomicSave, MissingFolderIsReported) {
    lumo_test::MessageCapture messages;
    CGrammer doc;
    EXPECT_FALSE(doc.OnSaveDocument("/nonexistent-folder/x/g.lm"));
    EXPECT_EQ(doc.GetLastErrorMessage(), "No such file or directory");
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0], "/nonexistent-folder/x/g.lm: No such file or directory");
    EXPECT_EQ(messages.Icons()[0], MessageIcon::Error);
}

TEST(FileSave, AsksForANameWhenTheDocumentHasNone) {
    TempDir dir;
    CGrammer doc;
    doc.AddNode({300, 300});
    int asked = 0;
    std::optional<std::string> answer;
    doc.SetSaveAsPrompt([&](CDocument&) {
        ++asked;
        return answer;
    });
    EXPECT_FALSE(doc.DoFileSave());  // cancelled
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(doc.IsModified());

    answer = dir.Path("chosen.lm");
    EXPECT_TRUE(doc.DoFileSave());
    EXPECT_EQ(doc.GetPathName(), dir.Path("chosen.lm"));
    EXPECT_EQ(doc.GetTitle(), "chosen.lm");
    EXPECT_FALSE(doc.IsModified());

    EXPECT_TRUE(doc.DoFileSave());  // now under its own name
    EXPECT_EQ(asked, 2);

    std::filesystem::remove(dir.Path("chosen.lm"));  // gone: asked again
    answer.reset();
    EXPECT_FALSE(doc.DoFileSave());
    EXPECT_EQ(asked, 3);
}

}  // namespace
