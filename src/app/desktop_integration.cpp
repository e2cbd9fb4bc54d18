#include "app/desktop_integration.h"

#include "app/app_icon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>

namespace {

// Where each file goes, under the data folder.
const char* const kMimePackage = "mime/packages/lumo.xml";
const char* const kDesktopEntry = "applications/lumo.desktop";
const char* const kAppIcon = "icons/hicolor/scalable/apps/lumo.svg";
const char* const kMimeIcon = "icons/hicolor/scalable/mimetypes/application-x-lumo-document.svg";
const char* const kOwnFiles[] = {kMimePackage, kDesktopEntry, kAppIcon, kMimeIcon};

// What update-mime-database and update-desktop-database make of our files:
// missing, they were never run on them (not installed then, or timed out).
const char* const kMimeDatabaseEntry = "mime/application/x-lumo-document.xml";
const char* const kDesktopMimeCache = "applications/mimeinfo.cache";

QString DataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The escapes of a desktop entry's string values.
QString EscapeString(QString value) {
    value.replace('\\', QLatin1String("\\\\"));
    value.replace('\n', QLatin1String("\\n"));
    value.replace('\t', QLatin1String("\\t"));
    value.replace('\r', QLatin1String("\\r"));
    return value;
}

// The program as the Exec key's first word. Quoting and the string escapes
// are two layers, undone one after the other, so a backslash in the path
// ends up as four. A path holding '=' has no valid form at all; it is
// written as it is, which launchers that split like a shell still run.
QString ExecProgram(const QString& path) {
    static const QString kReserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool quote = path.isEmpty() || std::any_of(path.begin(), path.end(),
                                                     [](QChar c) { return kReserved.contains(c); });
    QString word;
    for (const QChar c : path) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            word += '\\';
        }
        // A lone '%' would read as a field code.
        if (c == '%') {
            word += '%';
        }
        word += c;
    }
    if (quote) {
        word = '"' + word + '"';
    }
    return EscapeString(word);
}

QByteArray DesktopEntry(const QString& program) {
    InitLumoResources();
    QByteArray entry = ReadFile(QStringLiteral(":/desktop/lumo.desktop.in"));
    // The install fills the same placeholders (cmake/LumoInstall.cmake).
    entry.replace("@LUMO_DESKTOP_EXEC@", (ExecProgram(program) + " %f").toUtf8());
    entry.replace("@LUMO_DESKTOP_TRYEXEC@", EscapeString(program).toUtf8());
    return entry;
}

QByteArray Resource(const char* path) {
    InitLumoResources();
    return ReadFile(QString::fromLatin1(path));
}

enum class Write { Unchanged, Written, Failed };

Write WriteIfChanged(const QString& path, const QByteArray& content) {
    // Compared first, so a normal start touches no file: no mtime changes,
    // no cache rebuilds, nothing for a file manager to notice.
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() == content.size() &&
        existing.readAll() == content) {
        return Write::Unchanged;
    }
    existing.close();
    if (content.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        return Write::Failed;
    }
    // Whole or not at all: a desktop reading the folder meanwhile never sees
    // half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() ||
        !file.commit()) {
        return Write::Failed;
    }
    return Write::Written;
}

// Starts a cache updater when it is installed, and lets it run on its own:
// a start-up never waits for the desktop's caches, which the updater brings
// up to date meanwhile. True when it is not installed, or started.
bool RunUpdater(const QString& program, const QString& folder) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty() || !QFileInfo(folder).isDir()) {
        return true;
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments({folder});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

// Whether update-desktop-database has tied our type to our entry, in a line
// like "application/x-lumo-document=other.desktop;lumo.desktop;".
bool DesktopCacheListsUs(const QString& data) {
    const QByteArray prefix = QByteArray(kLumoMimeType) + '=';
    for (const QByteArray& line : ReadFile(data + '/' + kDesktopMimeCache).split('\n')) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size()).split(';').contains("lumo.desktop");
        }
    }
    return false;
}

bool UpdateMimeDatabase(const QString& data) {
    return RunUpdater(QStringLiteral("update-mime-database"), data + QStringLiteral("/mime"));
}

bool UpdateDesktopDatabase(const QString& data) {
    return RunUpdater(QStringLiteral("update-desktop-database"),
                      data + QStringLiteral("/applications"));
}

}  // namespace

bool RegisterFileType(const QString& programPath) {
    const QString data = DataFolder();
    if (data.isEmpty()) {
        return false;
    }
    const QString program = QFileInfo(programPath).absoluteFilePath();
    bool mimeChanged = false;
    bool desktopChanged = false;
    // Icons have no updater to run: theme lookups read the icon folders,
    // which carry no cache unless a user built one.
    const struct {
        const char* path;
        QByteArray content;
        bool* changed;
    } files[] = {
        {kMimePackage, Resource(":/desktop/lumo.xml"), &mimeChanged},
        {kDesktopEntry, DesktopEntry(program), &desktopChanged},
        {kAppIcon, Resource(":/icons/lumo.svg"), nullptr},
        {kMimeIcon, Resource(":/desktop/application-x-lumo-document.svg"), nullptr},
    };
    bool ok = true;
    for (const auto& file : files) {
        const Write result = WriteIfChanged(data + '/' + file.path, file.content);
        ok = ok && result != Write::Failed;
        if (result == Write::Written && file.changed != nullptr) {
            *file.changed = true;
        }
    }
    // The caches are also rebuilt when they lack us although our files are
    // unchanged: an updater installed since, or one that timed out last time.
    if (mimeChanged || !QFileInfo::exists(data + '/' + kMimeDatabaseEntry)) {
        ok = UpdateMimeDatabase(data) && ok;
    }
    if (desktopChanged || !DesktopCacheListsUs(data)) {
        ok = UpdateDesktopDatabase(data) && ok;
    }
    return ok;
}

bool UnregisterFileType() {
    const QString data = DataFolder();
    if (data.isEmpty()) {
        return false;
    }
    bool allGone = true;
    bool removedAny = false;
    for (const char* path : kOwnFiles) {
        const QString file = data + '/' + path;
        // A dangling link is gone for exists(), yet still ours to delete.
        const QFileInfo info(file);
        if (!info.exists() && !info.isSymLink()) {
            continue;
        }
        if (QFile::remove(file)) {
            removedAny = true;
        } else {
            allGone = false;
        }
    }
    if (removedAny) {
        UpdateMimeDatabase(data);
        UpdateDesktopDatabase(data);
    }
    return allGone;
}
