// Definition files: the catalogue (limits, scales, versions) that every value is
// checked and converted with. The input is the file; the program's factory set then
// goes through the setter and is converted to words as a write would.
#include "FuzzTarget.h"
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "support/RecordingPrompts.h"
#include "transfer/ParamTransfer.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QString folder = fuzz::scratchFolder();
    const QByteArray bytes = fuzz::bytes(data, size);
    fuzz::writeFile(folder, QStringLiteral("fuzz.def"), bytes);

    RecordingPrompts prompts;
    LangModule lang(folder);
    lang.setText(0, QStringLiteral("fuzz.def"));
    ParamModule params(lang, prompts);
    const ParamModule::DefinitionLoad definitions = params.LoadParamDefinitions(folder);
    FUZZ_CHECK(definitions.loaded);
    // A line over 64 KiB is a bad line, and bad lines are reported.
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].size() > 65536)
            FUZZ_CHECK(definitions.firstBadLine != 0 && !definitions.problem(lang).isEmpty());

    params.LoadDefaultParameters();
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = params.ParamCatalogue[std::size_t(k)];
        params.SetParameter(k, def.maxValue);
        params.SetParameter(k, def.minValue);
        params.ValidateParamText(k, def.name);
        std::uint16_t word = 0;
        if (ParamTransfer::rawWord(params.GetParameter(k), def.scale, &word)) {
            const float back = ParamTransfer::valueOfWord(word, def.scale, true);
            FUZZ_CHECK(!std::isnan(back));
        }
        params.FindParamById(def.id);
    }
    return 0;
}
