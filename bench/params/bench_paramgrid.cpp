// Cost of the parameter grid with all 128 parameters named: a full rebuild with
// every row coloured, and a parameter file loaded through the setter into the
// shown grid. Each figure includes the repaint that follows.
#include "Median.h"
#include "lang/LangModule.h"
#include "params/ParamFiles.h"
#include "params/ParamGrid.h"
#include "params/ParamModule.h"
#include "platform/Prompts.h"
#include "platform/StderrPrompts.h"
#include "support/DataFiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class GridUpdate final : public ParamListener {
public:
    explicit GridUpdate(ParamGrid& grid) : m_grid(grid) {}
    void parameterStored(int index, const ParamDef&, float value) override {
        m_grid.showStoredValue(index, value);
    }

private:
    ParamGrid& m_grid;
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    QStringList definitions;
    for (int i = 0; i < ParamModule::Count; ++i)
        definitions << QStringLiteral("P%1:%1:Parameter %1:p%1:m/s:-100000:100000:0:1:0").arg(i);
    writeCodePageFile(dir.filePath("defs.txt"), definitions);
    writePack(dir.path(), "t.lng", "Test", {"0#defs.txt", "93#Name", "94#Drive", "95#Program"});
    QByteArray files[2];
    for (int i = 0; i < ParamModule::Count; ++i) {
        files[0] += QByteArray::number(i * 1.25) + "\r\n";
        files[1] += QByteArray::number(-i * 0.5 - 1e-3) + "\r\n";
    }
    const QString paths[2] = {dir.filePath("a.quv"), dir.filePath("b.quv")};
    for (int k = 0; k < 2; ++k) {
        QFile file(paths[k]);
        if (!file.open(QIODevice::WriteOnly) || file.write(files[k]) != files[k].size())
            return 1;
    }

    StderrPrompts prompts;
    LangModule lang(dir.path());
    lang.LoadLanguagePack("t.lng");
    ParamModule params(lang, prompts);
    if (!params.LoadParamDefinitions(dir.path()))
        return 1;
    ParamGrid grid(params);
    GridUpdate update(grid);
    params.addListener(&update);
    grid.resize(800, 600);
    grid.show();
    grid.FillParamGrid();
    QCoreApplication::processEvents();

    const int runs = 51;
    // What the work changed is painted within its time, as the user sees it.
    const auto paint = [] { QCoreApplication::processEvents(); };
    const double fill = medianMs(
        runs, [&](int) { grid.FillParamGrid(); }, paint);
    ParamFiles quv(params);
    const double load = medianMs(
        runs, [&](int run) { quv.load(paths[run % 2]); }, paint);
    params.removeListener(&update);

    std::printf("BENCH grid_fill_ms %.3f ms\n", fill);
    std::printf("BENCH quv_load_ms %.3f ms\n", load);
    return 0;
}
