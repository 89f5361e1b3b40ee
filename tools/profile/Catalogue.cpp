#include "Catalogue.h"

#include "lang/FixedTexts.h"
#include "params/ParamFiles.h"

#include <QCoreApplication>

namespace {
const QString kTitle = QStringLiteral("liftdrive-profile");
}

ProfileCatalogue::ProfileCatalogue()
    : lang(QCoreApplication::applicationDirPath()), params(lang, prompts) {
    params.setTitle(kTitle);
}

bool ProfileCatalogue::open(ParamListener* listener, const QString& packFile) {
    if (!lang.FindLanguagePacks()) {
        prompts.critical(kTitle, FixedTexts::noLanguagePack());
        return false;
    }
    const LangModule::PackLoad pack =
        lang.LoadLanguagePack(packFile.isEmpty() ? lang.packs().first().fileName : packFile);
    if (pack.firstBadLine != 0)
        prompts.warning(kTitle, pack.problem(lang));
    const ParamModule::DefinitionLoad definitions =
        params.LoadParamDefinitions(QCoreApplication::applicationDirPath());
    if (!definitions.problem(lang).isEmpty())
        prompts.warning(kTitle, definitions.problem(lang));
    if (!definitions)
        return false;
    if (listener)
        params.addListener(listener);
    params.LoadDefaultParameters();
    return true;
}

bool ProfileCatalogue::loadFile(const QString& path) {
    if (ParamFiles(params).load(path) == ParamFiles::Result::Done)
        return true;
    prompts.critical(kTitle, ParamFiles::failureText(path));
    return false;
}
