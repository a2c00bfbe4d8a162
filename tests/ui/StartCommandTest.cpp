// The Start command driven through the window: fields in, message or summary and plot out.
#include "SeriesHashes.h"
#include "WindowDriver.h"

#include "core/input/StartSequence.h"
#include "core/results/RunResults.h"
#include "ui/PlotView.h"
#include "ui/Vstup1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace kalvex;
using namespace kalvex::test;

namespace {

bool plotPagesEnabled(const ui::Tvstup& w)
{
    return w.findChild<QTabWidget*>("PageControl2")->isEnabled();
}

void start(ui::Tvstup& w)
{
    click(button(w, "Button4"));
}

}  // namespace

TEST(StartCommand, DefaultsStopAtTheFirstRuleAndLeaveSaveDisabled)
{
    WindowUnderTest ui;
    start(*ui.window);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], "Area of Base of Projectile A less than or equal to 0 m^2");
    EXPECT_FALSE(button(*ui.window, "Button5")->isEnabled());
    EXPECT_FALSE(plotPagesEnabled(*ui.window));
    EXPECT_TRUE(memoText(*ui.window).isEmpty());
    EXPECT_EQ(ui.window->completedRun(), nullptr);
}

TEST(StartCommand, TextThatIsNotANumberIsNamed)
{
    WindowUnderTest ui;
    enterCase(*ui.window, loadCase("rifle_tube"));
    field(*ui.window, "Edit15")->setText("0.5x");
    start(*ui.window);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], "'0.5x' is not a valid floating point value");
    EXPECT_FALSE(button(*ui.window, "Button5")->isEnabled());
}

TEST(StartCommand, ValidRunAppendsOneSummaryAndEnablesSaveAndPlotPages)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    enterCase(w, loadCase("rifle_tube"));
    start(w);
    EXPECT_TRUE(ui.prompts.messages.empty());
    EXPECT_EQ(memoText(w), expectedMemo("rifle_tube"));
    EXPECT_TRUE(button(w, "Button5")->isEnabled());
    EXPECT_TRUE(plotPagesEnabled(w));
    ASSERT_NE(w.completedRun(), nullptr);
    // slot 0 holds the mean pressure over time, the selection at start
    const auto& slot0 = w.plotState().series[0];
    EXPECT_EQ(slot0.active, 1);
    EXPECT_GT(w.plotState().yMax, 300.0);  // the peak pressure of a rifle, MPa

    // a second run appends a second block under the first
    start(w);
    EXPECT_EQ(memoText(w), expectedMemo("rifle_tube") + expectedMemo("rifle_tube"));
}

TEST(StartCommand, RunThatDoublesItsStepTwiceShowsBothNotesAndTheFinalStep)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    enterCase(w, loadCase("rifle_small_step"));
    start(w);
    EXPECT_TRUE(ui.prompts.messages.empty());
    EXPECT_EQ(memoText(w), expectedMemo("rifle_small_step"));
    EXPECT_EQ(field(w, "Edit15")->text(), "4E-5");
    EXPECT_TRUE(button(w, "Button5")->isEnabled());
}

TEST(StartCommand, FailingStartAfterAGoodRunKeepsPlotSaveAndResults)
{
    struct Case {
        const char* field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"Edit2", "0", "Mass of Projectile mp less than or equal to 0 kg"},  // a rule
        {"Edit25", "4.7e-8", "Mean Pressure over 2000 MPa."},  // burning ten times as fast
    };
    for (const Case& c : cases) {
        WindowUnderTest ui;
        ui::Tvstup& w = *ui.window;
        enterCase(w, loadCase("rifle_tube"));
        start(w);
        ASSERT_TRUE(button(w, "Button5")->isEnabled());
        const QImage plotBefore = w.plotState().surface.copy();
        const QString memoBefore = memoText(w);
        const int stepsBefore = w.completedRun()->stepCount;
        const auto peakRow = static_cast<std::size_t>(w.completedRun()->pmaxRow);
        const double peakBefore = (*w.completedRun())[SeriesId::meanPressure][peakRow];

        field(w, c.field)->setText(c.text);
        start(w);
        ASSERT_EQ(ui.prompts.messages.size(), 1u) << c.field;
        EXPECT_EQ(ui.prompts.messages[0], c.message);
        EXPECT_TRUE(button(w, "Button5")->isEnabled());
        EXPECT_TRUE(plotPagesEnabled(w));
        EXPECT_EQ(w.plotState().surface, plotBefore);
        EXPECT_EQ(memoText(w), memoBefore);
        EXPECT_EQ(w.completedRun()->stepCount, stepsBefore);
        EXPECT_EQ((*w.completedRun())[SeriesId::meanPressure][peakRow], peakBefore);
    }
}

TEST(StartCommand, ClearAfterARunKeepsSaveAndThePlot)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    enterCase(w, loadCase("rifle_tube"));
    start(w);
    const QImage plotBefore = w.plotState().surface.copy();
    click(button(w, "Button2"));
    EXPECT_TRUE(memoText(w).isEmpty());
    EXPECT_TRUE(button(w, "Button5")->isEnabled());
    EXPECT_EQ(w.plotState().surface, plotBefore);
}

TEST(StartCommand, TheErrorEstimateIsOffUntilCheckedAndThenFollowsTheSummary)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    auto* estimate = w.findChild<QAbstractButton*>("CheckBoxErrorEstimate");
    ASSERT_NE(estimate, nullptr);
    EXPECT_FALSE(estimate->isChecked());
    enterCase(w, loadCase("rifle_tube"));
    estimate->setChecked(true);
    start(w);
    const QString memo = memoText(w);
    ASSERT_TRUE(memo.startsWith(expectedMemo("rifle_tube"))) << memo.toStdString();
    EXPECT_TRUE(memo.mid(expectedMemo("rifle_tube").size()).startsWith("\n Step-Size Error Estimate |f(h) - f(h/2)|"))
        << memo.toStdString();
}

TEST(StartCommand, AdaptiveIntegrationIgnoresTheStepAndSaysSoInResultsAndReport)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    enterCase(w, loadCase("rifle_small_step"));  // a step the fixed run doubles twice
    const QString typedStep = field(w, "Edit15")->text();
    auto* adaptive = w.findChild<QAbstractButton*>("CheckBoxAdaptive");
    ASSERT_NE(adaptive, nullptr);
    EXPECT_FALSE(adaptive->isChecked());
    adaptive->setChecked(true);
    w.findChild<QAbstractButton*>("CheckBoxErrorEstimate")->setChecked(true);
    start(w);
    ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
    const QString memo = memoText(w);
    EXPECT_FALSE(memo.contains("Step was increased")) << memo.toStdString();
    EXPECT_TRUE(memo.contains(" Adaptive Integration (Dormand-Prince 5(4)): relative tolerance 1E-8")) << memo.toStdString();
    EXPECT_TRUE(memo.contains("Tolerance Error Estimate |f(tol) - f(tol/100)|")) << memo.toStdString();
    EXPECT_EQ(field(w, "Edit15")->text(), typedStep);

    // the very run the core's adaptive integrator makes of the same inputs
    IntegratorChoice choice;
    choice.method = IntegratorMethod::adaptive;
    auto reference = std::make_unique_for_overwrite<RunResults>();
    ASSERT_EQ(runStart(w.completedInput(), choice, *reference, [](const std::string&) {}).end, RunEnd::MuzzleReached);
    ASSERT_NE(w.completedRun(), nullptr);
    const RunResults& run = *w.completedRun();
    ASSERT_EQ(run.stepCount, reference->stepCount);
    const auto last = static_cast<std::size_t>(run.stepCount);
    EXPECT_EQ(run[SeriesId::velocity][last], (*reference)[SeriesId::velocity][last]);

    QTemporaryDir folder;
    ui.prompts.saveAnswer = folder.filePath("adaptive.txt");
    click(button(w, "Button5"));
    EXPECT_TRUE(bytesOf(ui.prompts.saveAnswer).contains(" Adaptive Integration (Dormand-Prince 5(4))"));

    // the tolerance typed on the Extras page is the run's; one out of range is refused at its field
    auto* tolerance = w.findChild<QLineEdit*>("AdaptiveTolerance");
    tolerance->setText("1E-6");
    start(w);
    choice.adaptive.relativeTolerance = 1e-6;
    ASSERT_EQ(runStart(w.completedInput(), choice, *reference, [](const std::string&) {}).end, RunEnd::MuzzleReached);
    EXPECT_EQ(w.completedRun()->stepCount, reference->stepCount);
    EXPECT_TRUE(memoText(w).contains("relative tolerance 1E-6"));
    tolerance->setText("2");
    start(w);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], "Relative Tolerance of the adaptive integration must lie between 0 and 1.");
    EXPECT_EQ(QApplication::focusWidget(), tolerance);
    adaptive->setChecked(false);
    EXPECT_FALSE(tolerance->isEnabled());
}

TEST(StartCommand, AStopAfterTheStepWasDoubledSaysWhichStepTheNextStartUses)
{
    WindowUnderTest ui;
    ui::Tvstup& w = *ui.window;
    enterCase(w, loadCase("rifle_small_step"));
    field(w, "Edit19")->setText("0.0001");  // too little charge: doubled five times, then stuck
    start(w);
    ASSERT_EQ(ui.prompts.messages.size(), 1u);
    EXPECT_EQ(ui.prompts.messages[0], "Projectile stopped in the barrel.");
    EXPECT_TRUE(memoText(w).endsWith(" Step was increased 2x.\n\nThe next Start uses the step now in its field: 0.00032 ms.\n"))
        << memoText(w).toStdString();
    EXPECT_EQ(field(w, "Edit15")->text().toDouble(), 0.00032);
}

// The run goes off the GUI thread: the window's timers (painting, a study's progress) keep
// running while it goes, and the results come back into the window as a run on the GUI thread
// would leave them, twice in a row (the second run reuses the first one's buffer).
TEST(StartCommand, TheRunLeavesTheGuiThreadFreeAndItsResultsAreThoseOfTheCore)
{
    WindowUnderTest ui;
    enterCase(*ui.window, loadCase("gun155_7perf"));
    for (int run = 0; run < 2; ++run) {
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(0);
        start(*ui.window);
        ticker.stop();
        EXPECT_GT(ticks, 0) << "the GUI thread waited on the run";
        ASSERT_TRUE(ui.prompts.messages.empty()) << ui.prompts.messages[0].toStdString();
        ASSERT_NE(ui.window->completedRun(), nullptr);
        auto alone = std::make_unique_for_overwrite<RunResults>();
        const StartOutcome outcome = runStartSequence(ui.window->storedInput(), *alone, [](const std::string&) {});
        ASSERT_EQ(outcome.end, RunEnd::MuzzleReached);
        EXPECT_EQ(ui.window->completedRun()->stepCount, alone->stepCount);
        EXPECT_EQ(seriesHash(*ui.window->completedRun(), StartOutcome{}), seriesHash(*alone, StartOutcome{}));
    }
    EXPECT_EQ(memoText(*ui.window).count(" Muzzle:"), 2);
}
