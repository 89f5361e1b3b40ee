// Parameter files (*.quv): 128 lines read through the setter with the shipped
// catalogue, then every value converted to the word a write would send. The virtual
// drive reads the same file with its own strict reader.
#include "ShippedCatalogue.h"
#include "emulator/DriveEmulator.h"
#include "params/ParamFiles.h"
#include "transfer/ParamTransfer.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString folder = fuzz::scratchFolder();
    const QString path =
        fuzz::writeFile(folder, QStringLiteral("fuzz.quv"), fuzz::bytes(data, size));

    RecordingPrompts prompts;
    LangModule lang(folder);
    ParamModule params(lang, prompts);
    params.ParamCatalogue = fuzz::shippedCatalogue();
    params.LoadDefaultParameters();
    ParamFiles files(params);
    const ParamFiles::Result result = files.load(path);
    FUZZ_CHECK(result != ParamFiles::Result::Cancelled);

    QHash<int, double> scales;
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        scales.insert(k, double(def.scale));
        std::uint16_t word = 0;
        // "Write to the drive" converts every value, placeholders and the version too.
        if (ParamTransfer::rawWord(params.GetParameter(k), def.scale, &word))
            FUZZ_CHECK(std::isfinite(params.GetParameter(k)));
    }
    if (result == ParamFiles::Result::Done) {
        // Saving what was loaded gives a file that loads.
        const QString again =
            fuzz::writeFile(folder, QStringLiteral("again.quv"), files.fileText());
        FUZZ_CHECK(files.load(again) == ParamFiles::Result::Done);
    }

    DriveEmulator drive;
    const auto before = drive.words();
    QString why;
    if (!drive.loadQuv(path, scales, &why)) {
        FUZZ_CHECK(!why.isEmpty());
        FUZZ_CHECK(drive.words() == before); // refused whole
    }
    return 0;
}
