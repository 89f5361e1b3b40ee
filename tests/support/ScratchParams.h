#pragma once
// A scratch folder with one language pack naming defs.txt, which holds the given
// definition lines (completed with placeholders unless `complete` is false), and the
// parameter module loaded from them.
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

    explicit ScratchParams(const QStringList& definitions, bool complete = true) {
        writePack(dir.path(), "t.lng", "Test", QStringList{"0#defs.txt"} + kMessageTexts);
        writeCodePageFile(dir.filePath("defs.txt"),
                          complete ? completeDefinitions(definitions) : definitions);
        lang.LoadLanguagePack("t.lng");
        params.setTitle("Main");
        load = params.LoadParamDefinitions(dir.path());
    }
};
