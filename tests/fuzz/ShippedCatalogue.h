#pragma once
// The catalogue of the shipped English definition file, read once per process, for
// the targets whose input is checked against the real limits and scales.
#include "FuzzTarget.h"
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "support/RecordingPrompts.h"

#include <array>

namespace fuzz {

inline const std::array<ParamDef, ParamModule::Count>& shippedCatalogue() {
    static const std::array<ParamDef, ParamModule::Count> catalogue = [] {
        RecordingPrompts prompts;
        LangModule lang(dataFolder());
        lang.setText(0, QStringLiteral("params-en.def"));
        ParamModule params(lang, prompts);
        const ParamModule::DefinitionLoad definitions = params.LoadParamDefinitions(dataFolder());
        FUZZ_CHECK(definitions && definitions.firstBadLine == 0);
        return params.ParamCatalogue;
    }();
    return catalogue;
}

} // namespace fuzz
