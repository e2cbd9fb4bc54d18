#pragma once

#include <QString>

// Lumo's file type on freedesktop.org desktops, for the current user: a
// shared-mime-info package declaring application/x-lumo-document (*.lm), a
// desktop entry that opens such files with the program, and the icons of both.
// The files go under the user's data folder (XDG_DATA_HOME, ~/.local/share
// by default):
//   mime/packages/lumo.xml
//   applications/lumo.desktop
//   icons/hicolor/scalable/apps/lumo.svg
//   icons/hicolor/scalable/mimetypes/application-x-lumo-document.svg
// The system-wide install puts the same files under its data folder
// (cmake/LumoInstall.cmake).

inline constexpr char kLumoMimeType[] = "application/x-lumo-document";

// What the application reports after UnregisterFileType() succeeded or not.
inline constexpr char kUnregisterDone[] =
    "System registry entries have been removed and the INI file (if any) was deleted.";
inline constexpr char kUnregisterFailed[] =
    "Not all of the system registry entries (or INI file) were removed.";

// Writes the files, for *.lm to open with programPath (made absolute), and
// starts update-mime-database and update-desktop-database where installed,
// without waiting for them: the caches follow a moment later. Meant for
// every start: a file is written only when its content differs, so a normal
// start writes nothing. Nothing but these files is touched: a user's choice
// of another program for *.lm (mimeapps.list) stays. Returns whether the
// files were written and the updaters started; a missing updater is no
// failure. Never throws.
bool RegisterFileType(const QString& programPath);

// Deletes exactly the files RegisterFileType() writes and starts the cache
// updaters again. Returns whether none of them is left; a file that was never
// there counts as removed.
bool UnregisterFileType();
