// The file type on a freedesktop.org desktop, per user, under XDG_DATA_HOME;
// and the toolbar images, which must draw at the toolbar's size.

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
#include <QTest>
#include <QXmlStreamReader>
#include <functional>
#include <tuple>

#include "app/desktop_integration.h"
#include "app/toolbar_icons.h"

namespace {

const char* const kMimePackage = "mime/packages/lumo.xml";
const char* const kDesktopEntry = "applications/lumo.desktop";
const char* const kAppIcon = "icons/hicolor/scalable/apps/lumo.svg";
const char* const kMimeIcon = "icons/hicolor/scalable/mimetypes/application-x-lumo-document.svg";
const char* const kOwnFiles[] = {kMimePackage, kDesktopEntry, kAppIcon, kMimeIcon};
const char* const kMimeCache = "mime/application/x-lumo-document.xml";
const char* const kCacheEntry = "application/x-lumo-document=lumo.desktop;";

bool HasTool(const char* name) {
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

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
    bool Exists(const QString& relative) const { return QFile::exists(Path(relative)); }

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

    // Each file's identity and last write: a file rewritten in place or
    // replaced by a new one (as QSaveFile and the updaters do) compares
    // unequal.
    QMap<QString, std::tuple<ino_t, qint64, long, qint64>> Snapshot() const {
        QMap<QString, std::tuple<ino_t, qint64, long, qint64>> snapshot;
        QDirIterator it(m_data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            struct stat st {};
            if (::lstat(QFile::encodeName(path).constData(), &st) == 0) {
                snapshot.insert(path,
                                {st.st_ino, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_size});
            }
        }
        return snapshot;
    }

    // The updaters run on their own: what they do shows up in a while.
    static bool Eventually(const std::function<bool()>& condition) {
        return QTest::qWaitFor(condition, 20000);
    }
    // The files once the updaters have stopped changing them.
    QMap<QString, std::tuple<ino_t, qint64, long, qint64>> Settled() const {
        auto last = Snapshot();
        for (int i = 0; i < 100; ++i) {
            QTest::qWait(200);
            auto now = Snapshot();
            if (now == last) {
                break;
            }
            last = now;
        }
        return last;
    }

    QTemporaryDir m_tmp;
    QString m_data;
    QByteArray m_oldDataHome;
};

TEST_F(DesktopIntegration, RegistrationDeclaresTheTypeAndRewritesOnlyWhatChanged) {
    // Without the desktop's updaters registration succeeds, and the next one
    // with them brings the caches up to date.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_tmp.path() + "/no-tools"));
    const bool registered = RegisterFileType("/opt/lumo/bin/lumo");
    qputenv("PATH", path);
    ASSERT_TRUE(registered);
    EXPECT_TRUE(Exists(kDesktopEntry));
    EXPECT_FALSE(Exists(kMimeCache));
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));

    // The desktop entry's [Desktop Entry] keys, and the MIME package read as
    // shared-mime-info reads it: "element@attribute" to value, and the comment.
    QMap<QString, QString> found = DesktopKeys();
    QXmlStreamReader xml(Read(kMimePackage));
    while (xml.readNext() != QXmlStreamReader::Invalid && !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("comment")) {
            found.insert("comment", xml.readElementText());
        } else if (xml.isStartElement()) {
            for (const QXmlStreamAttribute& a : xml.attributes()) {
                found.insert(xml.name().toString() + '@' + a.name().toString(),
                             a.value().toString());
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(found.value("mime-type@type"), kLumoMimeType);
    for (const QString pair :
         {"glob@pattern=*.lm", "comment=Lumo Document", "icon@name=application-x-lumo-document",
          "Type=Application", "Name=Lumo", "Exec=/opt/lumo/bin/lumo %f",
          "MimeType=application/x-lumo-document;", "Icon=lumo", "Terminal=false"}) {
        const qsizetype eq = pair.indexOf('=');
        EXPECT_EQ(found.value(pair.left(eq)), pair.mid(eq + 1)) << pair.toStdString();
    }
    for (const char* svg : {kAppIcon, kMimeIcon}) {
        EXPECT_FALSE(QIcon(Path(svg)).pixmap(48, 48).isNull()) << svg;
    }
    // What the desktop's tools built: the type parsed, and tied to our entry.
    EXPECT_TRUE(!HasTool("update-mime-database") || Eventually([&] { return Exists(kMimeCache); }));
    EXPECT_TRUE(!HasTool("update-desktop-database") || Eventually([&] {
        return Read("applications/mimeinfo.cache").contains(kCacheEntry);
    }));

    // Again with nothing changed: no file written, the updaters not run.
    const auto before = Settled();
    for (const char* file : kOwnFiles) {
        EXPECT_TRUE(before.contains(Path(file))) << file;
    }
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    EXPECT_EQ(Settled(), before);

    // A moved program: the desktop entry alone is rewritten.
    ASSERT_TRUE(RegisterFileType("/usr/local/bin/lumo"));
    const auto after = Settled();
    EXPECT_EQ(DesktopKeys().value("Exec"), "/usr/local/bin/lumo %f");
    EXPECT_NE(after.value(Path(kDesktopEntry)), before.value(Path(kDesktopEntry)));
    for (const char* file : {kMimePackage, kAppIcon, kMimeIcon}) {
        EXPECT_EQ(after.value(Path(file)), before.value(Path(file))) << file;
    }
}

TEST_F(DesktopIntegration, ExecQuotesAProgramPathTheDesktopWouldSplitOrExpand) {
    // Quoted with '"', '`', '$' and '\' escaped inside; then every '\' doubled
    // again by the string escapes; '%' doubled to stay out of field codes.
    const char* const cases[][2] = {
        {"/opt/lumo/bin/lumo", "/opt/lumo/bin/lumo %f"},
        {"/opt/My Apps/lumo", R"("/opt/My Apps/lumo" %f)"},
        {"/home/a$b/x\\y/100%/lumo", R"("/home/a\\$b/x\\\\y/100%%/lumo" %f)"},
        {"/opt/100%/lumo", "/opt/100%%/lumo %f"},
        {"/opt/it's/lumo", R"("/opt/it's/lumo" %f)"},
    };
    for (const auto& [program, exec] : cases) {
        SCOPED_TRACE(program);
        ASSERT_TRUE(RegisterFileType(program));
        EXPECT_EQ(DesktopKeys().value("Exec"), exec);
        if (HasTool("desktop-file-validate")) {
            QProcess validate;
            validate.start("desktop-file-validate", {Path(kDesktopEntry)});
            ASSERT_TRUE(validate.waitForFinished(10000));
            EXPECT_EQ(validate.exitCode(), 0) << validate.readAll().toStdString();
        }
    }
}

TEST_F(DesktopIntegration, UnregisterRemovesOursOnlyAndReportsWhatItCouldNot) {
    EXPECT_TRUE(UnregisterFileType()) << "with nothing to remove";
    EXPECT_FALSE(QFile::exists(m_data));

    // A user who opens *.lm with another program, and another program's
    // files beside ours.
    const QByteArray choice =
        "[Default Applications]\napplication/x-lumo-document=other.desktop;\n";
    const QByteArray other = "[Desktop Entry]\nType=Application\nName=Other\nExec=other %f\n";
    Write("applications/mimeapps.list", choice);
    Write("applications/other.desktop", other);
    Write("icons/hicolor/scalable/apps/other.svg", "<svg/>");
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    ASSERT_TRUE(UnregisterFileType());
    for (const char* file : kOwnFiles) {
        EXPECT_FALSE(Exists(file)) << file;
    }
    EXPECT_EQ(Read("applications/mimeapps.list"), choice);
    EXPECT_EQ(Read("applications/other.desktop"), other);
    EXPECT_EQ(Read("icons/hicolor/scalable/apps/other.svg"), "<svg/>");
    EXPECT_TRUE(!HasTool("update-mime-database") ||
                Eventually([&] { return !Exists(kMimeCache); }));
    EXPECT_TRUE(!HasTool("update-desktop-database") || Eventually([&] {
        return !Read("applications/mimeinfo.cache").contains("lumo.desktop");
    }));

    // A folder where our desktop entry was: no plain delete removes it.
    ASSERT_TRUE(RegisterFileType("/opt/lumo/bin/lumo"));
    ASSERT_TRUE(QFile::remove(Path(kDesktopEntry)));
    Write(QString(kDesktopEntry) + "/keep", "x");
    EXPECT_FALSE(UnregisterFileType());
    EXPECT_FALSE(Exists(kMimePackage));
}

// Registration runs at every start: it starts the cache updaters and never
// waits for them, however long they take.
TEST_F(DesktopIntegration, RegistrationDoesNotWaitForTheUpdaters) {
    const QString tools = m_tmp.path() + "/slow-tools";
    ASSERT_TRUE(QDir().mkpath(tools));
    for (const QString name : {"update-mime-database", "update-desktop-database"}) {
        // Holds until told to go (or for 20 seconds at most).
        QFile script(tools + '/' + name);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\ntouch '%1/started-%2'\ni=0\n"
                                    "while [ ! -e '%1/go' ] && [ $i -lt 400 ]; do\n"
                                    "  sleep 0.05; i=$((i + 1))\ndone\ntouch '%1/finished-%2'\n")
                         .arg(tools, name)
                         .toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(tools) + ":" + path);
    const bool registered = RegisterFileType("/opt/lumo/bin/lumo");
    qputenv("PATH", path);
    EXPECT_TRUE(registered);
    EXPECT_TRUE(Exists(kDesktopEntry));
    EXPECT_FALSE(QFile::exists(tools + "/finished-update-mime-database"));
    EXPECT_FALSE(QFile::exists(tools + "/finished-update-desktop-database"));
    EXPECT_TRUE(Eventually([&] {
        return QFile::exists(tools + "/started-update-mime-database") &&
               QFile::exists(tools + "/started-update-desktop-database");
    }));
    QFile(tools + "/go").open(QIODevice::WriteOnly);
    EXPECT_TRUE(Eventually([&] {
        return QFile::exists(tools + "/finished-update-mime-database") &&
               QFile::exists(tools + "/finished-update-desktop-database");
    }));
}

TEST_F(DesktopIntegration, AnUnwritableDataFolderFailsQuietly) {
    // Read-only, and since root writes through permissions, with plain files
    // taking the names of the folders registration would create.
    for (const char* name : {"mime", "applications", "icons"}) {
        Write(name, "not a folder");
    }
    QFile::setPermissions(m_data, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(RegisterFileType("/opt/lumo/bin/lumo"));
    for (const char* file : kOwnFiles) {
        EXPECT_FALSE(Exists(file)) << file;
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
            ASSERT_EQ(image.size(), QSize(size, size));
            int opaque = 0;
            for (int i = 0; i < size * size; ++i) {
                opaque += qAlpha(image.pixel(i % size, i / size)) > 128 ? 1 : 0;
            }
            EXPECT_GT(opaque, size * size / 10) << size << ": an SVG that failed to parse";
        }
    }
}

}  // namespace
