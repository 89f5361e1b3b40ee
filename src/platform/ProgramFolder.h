#pragma once
// The folder the program runs from; data files are looked up there, never in the
// working directory.
#include <QString>

namespace ProgramFolder {
QString path();
// `name` joined to the program folder.
QString file(const QString& name);
// The existing file `relative` (a path with "/" separators) under `folder`, each part
// of the path matched without regard to case when no part matches exactly, so a
// picture named "Selvik-logo.jpg" is found as "selvik-logo.jpg" on a case-sensitive
// file system. Empty when there is none.
QString findIgnoringCase(const QString& folder, const QString& relative);
// A picture or other file beside the program: looked up in the program's folder,
// then in the working directory.
QString findBeside(const QString& relative);
} // namespace ProgramFolder
