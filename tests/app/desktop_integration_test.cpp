// The file type on a freedesktop.org desktop, per user, under XDG_DATA_HOME.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QIcon>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop_integration.h"

namespace {

const char* const kMimePackage = "mime/packages/lumo.xml";
const char* const kDesktopEntry = "applications/lumo.desktop";
const char* const kOwnFiles[] = {
    kMimePackage, kDesktopEntry, "icons/hicolor/scalable/apps/lumo.svg",
    "icons/hicolor/scalable/mimetypes/application-x-lumo-document.svg"};
const QString kUpdaters[] = {"update-mime-database", "update-desktop-database"};

// Each test gets a data folder of its own (QStandardPaths reads it at every
// call), and a PATH with no cache updaters but the ones it writes.
class DesktopIntegration : public ::testing::Test {
protected:
    DesktopIntegration() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data));
        qputenv("PATH", QFile::encodeName(m_tools));
        QDir().mkpath(m_tools);
    }
    ~DesktopIntegration() override { qputenv("PATH", m_path); }
    QString Path(const QString& relative) const { return m_data + '/' + relative; }
    QByteArray Read(const QString& relative) const {
        QFile file(Path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Writes a file (under the tools or the data folder), executable.
    void Write(const QString& name, const QByteArray& content) const {
        QFile file(name.startsWith(m_tools) ? name : Path(name));
        ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString Exec() const {
        return QString::fromUtf8(Read(kDesktopEntry)).section("\nExec=", 1).section('\n', 0, 0);
    }
    // Each of our files' inode: a write replaces the file with a new one.
    std::vector<ino_t> Stamps() const {
        std::vector<ino_t> stamps;
        for (const char* file : kOwnFiles) {
            struct stat st {};
            EXPECT_EQ(::lstat(QFile::encodeName(Path(file)).constData(), &st), 0) << file;
            stamps.push_back(st.st_ino);
        }
        return stamps;
    }
    QTemporaryDir m_tmp;
    QString m_data = m_tmp.path() + "/data", m_tools = m_tmp.path() + "/tools";
    QByteArray m_path = qgetenv("PATH");
};

TEST_F(DesktopIntegration, RegistrationDeclaresTheTypeAndRewritesOnlyWhatChanged) {
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    // The type as Qt reads it from the MIME package, and a desktop entry for it.
    EXPECT_EQ(QMimeDatabase().mimeTypeForFile("g.lm", QMimeDatabase::MatchExtension).name(),
              kLumoMimeType);
    EXPECT_TRUE(Read(kDesktopEntry).contains(QByteArray("\nMimeType=") + kLumoMimeType + ";\n"));
    for (const char* svg : {kOwnFiles[2], kOwnFiles[3]}) {
        EXPECT_FALSE(QIcon(Path(svg)).pixmap(48, 48).isNull()) << svg;
    }
    // Unchanged: nothing written. A moved program: the desktop entry alone.
    const auto before = Stamps();
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    EXPECT_EQ(Stamps(), before);
    ASSERT_TRUE(RegisterFileType("/usr/local/bin/lumo"));
    EXPECT_EQ(Exec(), "/usr/local/bin/lumo %f");
    const auto after = Stamps();
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i] == before[i], kOwnFiles[i] != kDesktopEntry) << kOwnFiles[i];
    }
}

// Registration runs at every start: with our files in place it still starts updaters
// installed since, never waiting for them; unregistering starts them again.
TEST_F(DesktopIntegration, RegistrationStartsTheUpdatersAndDoesNotWaitForThem) {
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    for (const QString& name : kUpdaters) {
        Write(m_tools + '/' + name,
              "#!/bin/sh\n/bin/touch \"$1.started\"; /bin/sleep 3; /bin/touch \"$1.done\"\n");
    }
    const auto started = [this] {
        return QFile::exists(Path("mime.started")) && QFile::exists(Path("applications.started"));
    };
    EXPECT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    EXPECT_TRUE(QTest::qWaitFor(started));
    EXPECT_FALSE(QFile::exists(Path("mime.done")) || QFile::exists(Path("applications.done")));
    QFile::remove(Path("mime.started"));
    QFile::remove(Path("applications.started"));
    EXPECT_TRUE(UnregisterFileType());
    EXPECT_TRUE(QTest::qWaitFor(started));
}

TEST_F(DesktopIntegration, ExecQuotesAProgramPathTheDesktopWouldSplitOrExpand) {
    // Quoted and escaped, then escaped again as a string; '%' doubled.
    const char* const cases[][2] = {
        {"/opt/My Apps/lumo", R"("/opt/My Apps/lumo" %f)"},
        {"/home/a$b/x\\y/100%/lumo", R"("/home/a\\$b/x\\\\y/100%%/lumo" %f)"},
    };
    for (const auto& [program, exec] : cases) {
        ASSERT_TRUE(RegisterFileType(program));
        EXPECT_EQ(Exec(), exec) << program;
    }
}

TEST_F(DesktopIntegration, UnregisterRemovesOursOnlyAndFailuresAreReported) {
    EXPECT_TRUE(UnregisterFileType()) << "with nothing to remove";
    EXPECT_FALSE(QFile::exists(m_data));
    // The user's choice of program for *.lm, another program's files.
    const char* const others[] = {"applications/mimeapps.list",
                                  "icons/hicolor/scalable/apps/o.svg"};
    for (const char* other : others) {
        Write(other, other);
    }
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    ASSERT_TRUE(UnregisterFileType());
    for (const char* other : others) {
        EXPECT_EQ(Read(other), other);
    }
    EXPECT_FALSE(QFile::exists(Path(kMimePackage)) || QFile::exists(Path(kDesktopEntry)) ||
                 QFile::exists(Path(kOwnFiles[2])) || QFile::exists(Path(kOwnFiles[3])));
    // A folder where our desktop entry was: no plain delete removes it.
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    ASSERT_TRUE(QFile::remove(Path(kDesktopEntry)));
    Write(QString(kDesktopEntry) + "/keep", "x");
    EXPECT_FALSE(UnregisterFileType());
    EXPECT_FALSE(QFile::exists(Path(kMimePackage)));
}

}  // namespace
