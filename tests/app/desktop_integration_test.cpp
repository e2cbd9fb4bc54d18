// The file type on a freedesktop.org desktop, per user: the files written
// under XDG_DATA_HOME, what the desktop's own tools make of them, that a
// normal start writes nothing, and that failures stay quiet. And the toolbar
// images, which must draw at the toolbar's size.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <tuple>

#include "app/desktop_integration.h"
#include "app/toolbar_icons.h"

namespace {

const char* const kMimePackage = "mime/packages/lumo.xml";
const char* const kDesktopEntry = "applications/lumo.desktop";
const char* const kAppIcon = "icons/hicolor/scalable/apps/lumo.svg";
const char* const kMimeIcon = "icons/hicolor/scalable/mimetypes/application-x-lumo-document.svg";
const char* const kOwnFiles[] = {kMimePackage, kDesktopEntry, kAppIcon, kMimeIcon};

bool HasTool(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// A file's identity and last write: a file rewritten in place or replaced
// by a new one (as QSaveFile and the updaters do) compares unequal.
using Stamp = std::tuple<ino_t, qint64, long, qint64>;
using Snapshot = QMap<QString, Stamp>;

// Each test gets a data folder of its own, which QStandardPaths reads from
// the environment at every call.
class DesktopIntegration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        m_data = m_tmp.path() + "/data";
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data));
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_oldDataHome); }

    QString Path(const QString& relative) const { return m_data + '/' + relative; }

    QByteArray Read(const QString& relative) const {
        QFile file(Path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void Write(const QString& relative, const QByteArray& content) const {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Path(relative)).absolutePath()));
        QFile file(Path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // The [Desktop Entry] group of our desktop entry, keys to raw values.
    QMap<QString, QString> DesktopKeys() const {
        QMap<QString, QString> keys;
        bool inGroup = false;
        for (const QByteArray& line : Read(kDesktopEntry).split('\n')) {
            if (line.startsWith('[')) {
                inGroup = line == "[Desktop Entry]";
            } else if (inGroup && line.contains('=')) {
                const int eq = line.indexOf('=');
                keys.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
            }
        }
        return keys;
    }

    Snapshot Take() const {
        Snapshot snapshot;
        QDirIterator it(m_data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            struct stat st {};
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
                snapshot.insert(
                    path, Stamp{st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_size});
            }
        }
        return snapshot;
    }

    // Runs desktop-file-validate on our entry, when it is installed.
    void ExpectValidDesktopEntry() const {
        if (!HasTool("desktop-file-validate")) {
            return;
        }
        QProcess validate;
        validate.start("desktop-file-validate", {Path(kDesktopEntry)});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
    }

    QTemporaryDir m_tmp;
    QString m_data;
    QByteArray m_oldDataHome;
};

TEST_F(DesktopIntegration, RegistrationDeclaresTheTypeTheProgramAndTheIcons) {
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));

    // The MIME package, read as shared-mime-info reads it.
    QXmlStreamReader xml(Read(kMimePackage));
    QString type, glob, comment, icon;
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (!xml.isStartElement()) {
            continue;
        }
        const auto name = xml.name();
        if (name == QLatin1String("mime-type")) {
            type = xml.attributes().value("type").toString();
        } else if (name == QLatin1String("glob")) {
            glob = xml.attributes().value("pattern").toString();
        } else if (name == QLatin1String("icon")) {
            icon = xml.attributes().value("name").toString();
        } else if (name == QLatin1String("comment")) {
            comment = xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(type, kLumoMimeType);
    EXPECT_EQ(glob, "*.lm");
    EXPECT_EQ(comment, "Lumo Document");
    EXPECT_EQ(icon, "application-x-lumo-document");

    const QMap<QString, QString> keys = DesktopKeys();
    EXPECT_EQ(keys.value("Type"), "Application");
    EXPECT_EQ(keys.value("Name"), "Lumo");
    EXPECT_EQ(keys.value("Exec"), "/opt/lumo/bin/lumo %f");
    EXPECT_EQ(keys.value("MimeType"), "application/x-lumo-document;");
    EXPECT_EQ(keys.value("Icon"), "lumo");
    EXPECT_EQ(keys.value("Terminal"), "false");
    ExpectValidDesktopEntry();

    for (const char* svg : {kAppIcon, kMimeIcon}) {
        EXPECT_FALSE(QIcon(Path(svg)).pixmap(48, 48).isNull()) << svg;
    }

    // What the desktop's tools built from the files: the type parsed, and
    // tied to our entry.
    if (HasTool("update-mime-database")) {
        EXPECT_TRUE(QFile::exists(Path("mime/application/x-lumo-document.xml")));
    }
    if (HasTool("update-desktop-database")) {
        EXPECT_TRUE(Read("applications/mimeinfo.cache")
                        .contains("application/x-lumo-document=lumo.desktop;"));
    }
}

TEST_F(DesktopIntegration, ExecQuotesAProgramPathTheDesktopWouldSplitOrExpand) {
    // Quoted with '"', '`', '$' and '\' escaped inside; then every '\' doubled
    // again by the string escapes; '%' doubled to stay out of field codes.
    const struct {
        const char* program;
        const char* exec;
    } cases[] = {
        {"/opt/My Apps/lumo", R"("/opt/My Apps/lumo" %f)"},
        {"/home/a$b/x\\y/100%/lumo", R"("/home/a\\$b/x\\\\y/100%%/lumo" %f)"},
        {"/opt/100%/lumo", "/opt/100%%/lumo %f"},
        {"/opt/it's/lumo", R"("/opt/it's/lumo" %f)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        ASSERT_TRUE(RegisterFileType(c.program));
        EXPECT_EQ(DesktopKeys().value("Exec"), c.exec);
        ExpectValidDesktopEntry();
    }
}

TEST_F(DesktopIntegration, ARegistrationWithNothingChangedWritesNothing) {
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    const Snapshot before = Take();
    for (const char* file : kOwnFiles) {
        EXPECT_TRUE(before.contains(Path(file))) << file;
    }

    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    // The caches included: the updaters must not run either.
    EXPECT_EQ(Take(), before);
}

TEST_F(DesktopIntegration, AMovedProgramRewritesTheDesktopEntryOnly) {
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    const Snapshot before = Take();

    ASSERT_TRUE(RegisterFileType("/usr/local/bin/lumo"));
    const Snapshot after = Take();
    EXPECT_EQ(DesktopKeys().value("Exec"), "/usr/local/bin/lumo %f");
    EXPECT_NE(after.value(Path(kDesktopEntry)), before.value(Path(kDesktopEntry)));
    for (const char* file : {kMimePackage, kAppIcon, kMimeIcon}) {
        EXPECT_EQ(after.value(Path(file)), before.value(Path(file))) << file;
    }
}

TEST_F(DesktopIntegration, MissingUpdatersFailNothingAndAreRunOnceInstalled) {
    if (!HasTool("update-mime-database") || !HasTool("update-desktop-database")) {
        GTEST_SKIP() << "needs update-mime-database and update-desktop-database";
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_tmp.path() + "/no-tools"));
    const bool registered = RegisterFileType("/opt/lumo/bin/lumo");
    qputenv("PATH", path);
    ASSERT_TRUE(registered);
    EXPECT_TRUE(QFile::exists(Path(kDesktopEntry)));
    EXPECT_FALSE(QFile::exists(Path("mime/application/x-lumo-document.xml")));

    // The files are as they were, but the caches still lack them.
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    EXPECT_TRUE(QFile::exists(Path("mime/application/x-lumo-document.xml")));
    EXPECT_TRUE(
        Read("applications/mimeinfo.cache").contains("application/x-lumo-document=lumo.desktop;"));
}

TEST_F(DesktopIntegration, OthersFilesAreLeftAloneAndUnregisterRemovesOurs) {
    // A user who opens *.lm with another program, and another program's files
    // beside ours.
    const QByteArray choice =
        "[Default Applications]\napplication/x-lumo-document=other.desktop;\n";
    const QByteArray other = "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n";
    Write("applications/mimeapps.list", choice);
    Write("applications/other.desktop", other);
    Write("icons/hicolor/scalable/apps/other.svg", "<svg/>");

    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    ASSERT_TRUE(UnregisterFileType());

    for (const char* file : kOwnFiles) {
        EXPECT_FALSE(QFile::exists(Path(file))) << file;
    }
    EXPECT_EQ(Read("applications/mimeapps.list"), choice);
    EXPECT_EQ(Read("applications/other.desktop"), other);
    EXPECT_EQ(Read("icons/hicolor/scalable/apps/other.svg"), "<svg/>");
    // The caches forget the type too.
    if (HasTool("update-mime-database")) {
        EXPECT_FALSE(QFile::exists(Path("mime/application/x-lumo-document.xml")));
    }
    if (HasTool("update-desktop-database")) {
        EXPECT_FALSE(Read("applications/mimeinfo.cache").contains("lumo.desktop"));
    }
}

TEST_F(DesktopIntegration, UnregisterSucceedsWithNothingToRemove) {
    EXPECT_TRUE(UnregisterFileType());
    EXPECT_FALSE(QFile::exists(m_data));
}

TEST_F(DesktopIntegration, UnregisterReportsAFileItCouldNotRemove) {
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    // A folder where our desktop entry was: no plain delete removes it.
    ASSERT_TRUE(QFile::remove(Path(kDesktopEntry)));
    Write(QString(kDesktopEntry) + "/keep", "x");

    EXPECT_FALSE(UnregisterFileType());
    EXPECT_FALSE(QFile::exists(Path(kMimePackage)));
}

TEST_F(DesktopIntegration, AnUnwritableDataFolderFailsQuietly) {
    // Read-only, and since root writes through permissions, with plain files
    // taking the names of the folders registration would create.
    ASSERT_TRUE(QDir().mkpath(m_data));
    for (const char* name : {"mime", "applications", "icons"}) {
        Write(name, "not a folder");
    }
    QFile::setPermissions(m_data, QFile::ReadOwner | QFile::ExeOwner);

    EXPECT_FALSE(RegisterFileType("/opt/lumo/bin/lumo"));
    for (const char* file : kOwnFiles) {
        EXPECT_FALSE(QFile::exists(Path(file))) << file;
    }
    QFile::setPermissions(m_data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ToolbarIcons, EachDrawsAtTheToolbarSizes) {
    for (const char* name : {"new", "open", "save", "help", "mode", "print"}) {
        SCOPED_TRACE(name);
        const QIcon icon = LumoToolbarIcon(name);
        ASSERT_FALSE(icon.isNull());
        for (const int size : {16, 24}) {
            const QImage image = icon.pixmap(size, size).toImage();
            ASSERT_FALSE(image.isNull()) << size;
            EXPECT_EQ(image.size(), QSize(size, size));
            // Some ink, not an empty frame from an SVG that failed to parse.
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
                }
            }
            EXPECT_GT(opaque, size * size / 10) << size;
        }
    }
}

}  // namespace
