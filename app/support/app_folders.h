#pragma once
// The program's folders. appDir is the folder of the executable; "Demo", "Textures" and
// the help pages sit beside it in a build tree or a portable copy, and under
// ../share/zefra when the program is installed.

#include <QString>

namespace zefra::app {

// The executable's folder with a trailing '/'.
QString appDir();

// The folder `name` ("Demo", "Textures", "Help") for a program in `programDir`: beside it
// when it exists there, else in ../share/zefra; empty when neither exists.
QString findProgramFolder(const QString& programDir, const QString& name);

// The same for the running program.
QString programFolder(const QString& name);

// The folder that plays the part of the program's folder for stored paths: pictures and
// textures under it are saved relative to it and found through it. Beside the executable
// in a build tree or portable copy; ../share/zefra/ when installed, where "Textures" is.
QString findDataRoot(const QString& programDir);
QString dataRoot();

// Where a file dialog starts: the last folder used when it still exists, else the user's
// Pictures folder, else the home folder (never the program's own folder).
QString startFolder(const QString& lastUsed);

}  // namespace zefra::app
