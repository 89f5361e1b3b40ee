// Language packs: a pack can come from anywhere, and text 0 names the definition file
// that is then loaded as the catalogue. The input is the pack file.
#include "FuzzTarget.h"
#include "lang/LangModule.h"
#include "params/ParamModule.h"
#include "support/RecordingPrompts.h"

#include <QFileInfo>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The program's folder inside the scratch folder, with a definition file beside
    // it: one that a pack must not reach.
    static const QString root = fuzz::scratchFolder();
    static const QString folder = [] {
        QDir(root).mkpath(QStringLiteral("program"));
        fuzz::writeFile(root, QStringLiteral("outside.def"), "P001:1:Outside:out::0:1:0:1:0\r\n");
        return QDir(root).filePath(QStringLiteral("program"));
    }();
    fuzz::writeFile(folder, QStringLiteral("fuzz.lng"), fuzz::bytes(data, size));

    LangModule lang(folder);
    const LangModule::PackLoad pack = lang.LoadLanguagePack(QStringLiteral("fuzz.lng"));
    if (!pack.isPack())
        return 0;
    pack.problem(lang);
    for (int i = -1; i <= LangModule::TextCount; ++i)
        lang.LangText(i);

    RecordingPrompts prompts;
    ParamModule params(lang, prompts);
    const ParamModule::DefinitionLoad definitions = params.LoadParamDefinitions(folder);
    definitions.problem(lang);
    if (definitions) {
        // Only a file of the program's own folder is ever taken as the catalogue.
        const QString name = lang.LangText(0);
        const QFileInfo loaded(QDir(folder).filePath(name));
        FUZZ_CHECK(loaded.isFile());
        FUZZ_CHECK(loaded.absoluteDir() == QDir(folder));
        FUZZ_CHECK(!name.contains(u'/') && !name.contains(u'\\') && !name.contains(u':'));
        params.LoadDefaultParameters();
    }
    return 0;
}
