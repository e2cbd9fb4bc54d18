// Saving replaces a file whole or not at all.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "child.h"
#include "support/grammar_builder.h"
#include "support/message_capture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using lumo_test::ReadFile;
using lumo_test::RunInChild;
using lumo_test::TempDir;
using lumo_test::WriteFile;

std::ptrdiff_t EntriesIn(const std::string& dir) {
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

TEST(AtomicSave, KeepsPermissionsAndSymbolicLinksAndLeavesNoTemporaryFile) {
    TempDir dir;
    for (const char* name : {"g.lm", "real.lm"}) {
        WriteFile(dir.Path(name), "old");
        ::chmod(dir.Path(name).c_str(), 0640);
    }
    fs::create_symlink("real.lm", dir.Path("link.lm"));
    CGrammer doc;
    const mode_t old = ::umask(027);  // a new file's mode; the others keep theirs
    const bool saved = doc.OnSaveDocument(dir.Path("g.lm")) &&
                       doc.OnSaveDocument(dir.Path("link.lm")) &&
                       doc.OnSaveDocument(dir.Path("new.lm"));
    ::umask(old);
    ASSERT_TRUE(saved);
    for (const char* name : {"g.lm", "real.lm", "new.lm"}) {
        EXPECT_EQ(ReadFile(dir.Path(name)), lumo_test::Store(doc)) << name;
        EXPECT_EQ(fs::status(dir.Path(name)).permissions(), fs::perms(0640)) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir.Path("link.lm")));
    EXPECT_EQ(EntriesIn(dir.Root()), 4);
    EXPECT_EQ(doc.GetPathName(), dir.Path("new.lm"));
}

TEST(AtomicSave, WriteFailingPartWayLeavesTheOldFileByteIdentical) {
    TempDir dir;
    const std::string old(3000, 'o');
    WriteFile(dir.Path("g.lm"), old);
    EXPECT_EQ(RunInChild([&] {
                  // Files may grow to 4 KiB only; the write past it fails with EFBIG.
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{4096, 4096};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  CGrammer doc;
                  lumo_test::Build(doc, {{1, 2, std::string(40000, 'x')}});
                  return !doc.OnSaveDocument(dir.Path("g.lm")) && doc.IsModified() &&
                                 doc.GetPathName().empty() &&
                                 doc.GetLastErrorMessage() == "File too large"
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(ReadFile(dir.Path("g.lm")), old);
    EXPECT_EQ(EntriesIn(dir.Root()), 1);
}

// A writable file in a folder that takes no new files is written in place.
TEST(AtomicSave, WritesInPlaceInAFolderThatTakesNoNewFiles) {
    TempDir dir;
    const std::string folder = dir.Path("ro"), path = folder + "/g.lm";
    fs::create_directory(folder);
    WriteFile(path, "old");
    ::chmod(dir.Root().c_str(), 0755);
    ::chmod(path.c_str(), 0666);
    ::chmod(folder.c_str(), 0555);
    EXPECT_EQ(RunInChild([&] {
                  if (::geteuid() == 0 && ::setuid(65534) != 0) {  // root may write anything
                      return 77;
                  }
                  CGrammer doc;
                  return doc.OnSaveDocument(path) && ReadFile(path) == lumo_test::Store(doc) ? 0
                                                                                             : 1;
              }),
              0);
    ::chmod(folder.c_str(), 0755);
}

// Cancelled, or a folder that does not exist, and the document stays
// unnamed and modified; saved, it is named; its file gone, it asks again.
TEST(FileSave, AsksForANameWhenTheDocumentHasNone) {
    TempDir dir;
    lumo_test::MessageCapture messages;
    CGrammer doc;
    doc.AddNode({300, 300});
    int asked = 0;
    std::optional<std::string> answer;
    doc.SetSaveAsPrompt([&](CDocument&) {
        ++asked;
        return answer;
    });
    EXPECT_FALSE(doc.DoFileSave());
    answer = "/nonexistent-folder/x/g.lm";
    EXPECT_TRUE(!doc.DoFileSave() && doc.IsModified());
    answer = dir.Path("chosen.lm");
    EXPECT_TRUE(doc.DoFileSave());
    EXPECT_TRUE(doc.GetTitle() == "chosen.lm" && !doc.IsModified());
    EXPECT_TRUE(doc.DoFileSave());  // now under its own name
    EXPECT_EQ(asked, 3);
    fs::remove(dir.Path("chosen.lm"));
    answer.reset();
    EXPECT_FALSE(doc.DoFileSave());
    EXPECT_EQ(asked, 4);
}

}  // namespace
