// Time of the whole Start command in the main window: read and check the 43 fields, run the
// model to the muzzle, re-plot the pressure and append the summary to Memo1. A 7.62 mm rifle
// with tube grains at a step of 0.000027 ms, which takes about 40000 steps.
#include "ui/Prompts.h"
#include "ui/Vstup1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <clocale>
#include <utility>

namespace {

// Field texts as a user types them (mm, ms, MPa, °C where the form asks for them).
constexpr std::pair<const char*, const char*> kRifle[] = {
    {"Edit1", "4.67e-5"}, {"Edit2", "0.0095"}, {"Edit3", "0.55"},    {"Edit4", "3.2e-6"},
    {"Edit5", "32"},      {"Edit6", "0"},      {"Edit7", "20"},      {"Edit8", "10"},
    {"Edit9", "0.00005"}, {"Edit10", "7850"},  {"Edit11", "460"},    {"Edit12", "0.2"},
    {"Edit13", "4"},      {"Edit14", "200"},   {"Edit15", "0.000027"},
    {"Edit19", "0.0029"}, {"Edit20", "1.05e6"}, {"Edit21", "3000"},  {"Edit22", "0.001"},
    {"Edit23", "1.24"},   {"Edit24", "1600"},  {"Edit25", "4.7e-9"}, {"Edit26", "0.9"},
    {"Edit27", "5e-5"},   {"Edit28", "3e5"},   {"Edit29", "2000"},   {"Edit30", "0.0005"},
    {"Edit31", "1.25"},   {"Edit32", "1"},     {"Edit34", "1"},      {"Edit35", "1"},
    {"Edit16", "1"},      {"Edit36", "0.003"}, {"Edit37", "0.02"},   {"Edit38", "20"},
    {"Edit39", "40"},     {"Edit40", "15"},    {"Edit41", "10"},     {"Edit42", "0.85"},
    {"Edit43", "1.5"},    {"Edit44", "0.3"},   {"Edit45", "0"},
};
constexpr int kTubeGrains = 4;

// Any message means the run did not complete: the figure would not be that of a run.
class CountingPrompts : public kalvex::ui::Prompts {
public:
    void showMessage(QWidget*, const QString& text) override { lastMessage = text; ++messages; }
    QString openFileName(QWidget*, const kalvex::ui::OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const kalvex::ui::SaveFileRequest&) override { return {}; }
    int messages = 0;
    QString lastMessage;
};

void selectGrainType(kalvex::ui::Tvstup& window, int grainType)
{
    for (auto* radio : window.findChildren<QAbstractButton*>())
        if (radio->parent() && radio->parent()->objectName() == "RadioGroup1" &&
            radio->text().endsWith(QString::number(grainType)))
            radio->click();
}

void BM_StartCommandInTheWindow(benchmark::State& state)
{
    CountingPrompts prompts;
    kalvex::ui::setPrompts(&prompts);
    kalvex::ui::Tvstup window;
    window.show();
    for (const auto& [name, text] : kRifle)
        window.findChild<QLineEdit*>(name)->setText(text);
    selectGrainType(window, kTubeGrains);
    auto* start = window.findChild<QAbstractButton*>("Button4");
    auto* memo = window.findChild<QPlainTextEdit*>("Memo1");

    for (auto _ : state) {
        start->click();
        state.PauseTiming();
        memo->clear();  // each run on an empty text area, as the first run of a session
        state.ResumeTiming();
    }
    if (prompts.messages > 0)
        state.SkipWithError(prompts.lastMessage.toStdString().c_str());
    else if (window.completedRun())
        state.counters["steps"] = window.completedRun()->stepCount;
    kalvex::ui::setPrompts(nullptr);
}
BENCHMARK(BM_StartCommandInTheWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // the window is drawn off screen: no display needed
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
