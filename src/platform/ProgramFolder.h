#pragma once
// The folder the program runs from; data files are looked up there, never in the
// working directory.
#include <QString>

namespace ProgramFolder {
QString path();
// `name` joined to the program folder.
QString file(const QString& name);
} // namespace ProgramFolder
