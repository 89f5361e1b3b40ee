#pragma once
// The parameter catalogue as the program loads it, for the command line: the first
// language pack beside the tool, its definition file, the factory set and an optional
// parameter file over it. Every message goes to stderr; nothing is asked.
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "platform/StderrPrompts.h"

#include <QString>

class ProfileCatalogue {
public:
    ProfileCatalogue();

    // Loads pack, definitions and the factory set; `listener` (may be null) hears the
    // defaults being set. False, with the message on stderr, when the data files fail.
    // `packFile` names the pack; without it the first one is taken, as the program does.
    bool open(ParamListener* listener = nullptr, const QString& packFile = QString());
    // Loads a parameter file over the set; false when it could not be loaded.
    bool loadFile(const QString& path);

    StderrPrompts prompts;
    LangModule lang;
    ParamModule params;
};
