#pragma once
// A scratch folder with one language pack naming defs.txt, which holds the given
// definition lines, and the parameter module loaded from them.
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "support/DataFiles.h"
#include "support/RecordingPrompts.h"

#include <QTemporaryDir>

struct ScratchParams {
    QTemporaryDir dir;
    RecordingPrompts prompts;
    LangModule lang{dir.path()};
    ParamModule params{lang, prompts};
    ParamModule::DefinitionLoad load;

    explicit ScratchParams(const QStringList& definitions) {
        writePack(dir.path(), "t.lng", "Test",
                  {"0#defs.txt", "53#Replace %1?", "114# too large, max ", "115# too small, min ",
                   "116#!", "118#Warn"});
        writeCodePageFile(dir.filePath("defs.txt"), definitions);
        lang.LoadLanguagePack("t.lng");
        params.setTitle("Main");
        load = params.LoadParamDefinitions(dir.path());
    }
};
