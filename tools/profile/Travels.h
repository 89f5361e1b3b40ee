#pragma once
// liftdrive-profile --travels: the figures of every travel in a recording, one CSV line
// each, for scripts and for checking the program against other tools.
#include <QStringList>

namespace RecordingFile {
struct Result;
}

namespace ProfileTravels {

// Why a recording could not be read, for the message.
QString why(const RecordingFile::Result& result);

// True when the arguments ask for this mode.
bool wanted(const QStringList& args);
// Runs it; the exit status: 0 done (also with no travel), 1 the recording or the data
// files could not be read, 2 bad arguments.
int run(const QStringList& args);

} // namespace ProfileTravels
