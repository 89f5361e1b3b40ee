// Runs a fuzz target over its stored inputs without libFuzzer: every file in the
// folders (or the files) named on the command line, in sorted order. A fault found
// once stays found: its reproducer is one of these files.
#include "FuzzTarget.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

int main(int argc, char* argv[]) {
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << it.next();
        } else if (QFileInfo(arg).isFile()) {
            files << arg;
        }
    }
    std::sort(files.begin(), files.end());
    if (files.isEmpty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    for (const QString& path : files) {
        QFile file(path);
        std::fprintf(stderr, "%s\n", qPrintable(path));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QByteArray data = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.constData()),
                               std::size_t(data.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(files.size()));
    return 0;
}
