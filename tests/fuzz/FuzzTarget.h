#pragma once
// What every fuzz target shares: the libFuzzer entry point, a check that ends the run
// as a finding (libFuzzer and the replay both report an abort), and a scratch folder
// for the inputs that the program only reads from files.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__,          \
                         __LINE__);                                                                \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace fuzz {

inline QByteArray bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A folder that lives as long as the process.
inline QString scratchFolder() {
    static QTemporaryDir dir;
    return dir.path();
}

inline QString writeFile(const QString& folder, const QString& name, const QByteArray& contents) {
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(contents) == contents.size());
    return path;
}

// The shipped definition files and packs in the source tree.
inline QString dataFolder() {
    return QStringLiteral(LIFTDRIVE_DATA_DIR);
}

} // namespace fuzz
