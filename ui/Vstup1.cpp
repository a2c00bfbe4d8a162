#include "ui/Vstup1.h"

#include "core/format/NumberFormat.h"
#include "core/format/Units.h"
#include "core/propellant/DataFolders.h"
#include "core/results/Errors.h"
#include "core/stepping/StepErrorEstimate.h"
#include "plot/MouseZoom.h"
#include "plot/SeriesSelection.h"
#include "ui/ButtonPages.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"
#include "ui/GrainPage.h"
#include "ui/InputHistory.h"
#include "ui/InputPages.h"
#include "ui/PlotView.h"
#include "ui/Prompts.h"
#include "ui/RadioGroup.h"
#include "ui/ReportExport.h"
#include "ui/ResultsArea.h"
#include "ui/RubberBandOverlay.h"
#include "ui/StartOffThread.h"
#include "ui/ToolWindow.h"
#include "ui/WindowFont.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

namespace kalvex::ui {
namespace {

// The client area at the window's design size, without the menu bar.
constexpr int kDesignClientWidth = 783;
constexpr int kDesignClientHeight = 514;
constexpr int kOuterMargin = 4;
constexpr int kGap = 4;
// Memo1 keeps the width it has at the design size; only Graf0 widens with the window.
constexpr int kMemoWidth = kDesignClientWidth - 2 * kOuterMargin - kGap - PlotView::kDesignWidth;
constexpr QSize kCommandButtonSize{66, 28};
// Height of the row of input pages, commands and plot choices: what the weapon name and Graf0
// at its design height leave of the client area.
constexpr int kTopRowHeight = 250;
constexpr int kStartCaptionGrowth = 3;  // points added to the Start caption
// What the next session starts with (QSettings keys).
const QString kRememberedQuantity = QStringLiteral("plot/quantity");
const QString kRememberedAxis = QStringLiteral("plot/axis");
const QString kRememberedSize = QStringLiteral("window/size");
// Small enough for two columns of captioned fields beside the commands and plot choices.
constexpr double kWindowFontPoints = 7.5;

// The caption carries its mnemonic ("&Load"): the underlined letter with Alt presses it.
QPushButton* makeCommandButton(const char* name, const char* caption, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setAutoDefault(false);
    button->setFixedSize(kCommandButtonSize);
    return button;
}

QLineEdit* makeReadOutField(const char* name, QWidget* parent)
{
    auto* field = new QLineEdit(QStringLiteral("0"), parent);
    field->setObjectName(QString::fromUtf8(name));
    return field;
}

}  // namespace

const QString Tvstup::kCaption = QStringLiteral("Interior Ballistics: Stanag 4367");

Tvstup::Tvstup(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("vstup"));
    setWindowTitle(kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    QFont windowFont(kWindowFontFamily);
    windowFont.setPointSizeF(kWindowFontPoints);
    setFont(windowFont);
    createContents();
}

Tvstup::~Tvstup()
{
    // QDialog's destructor hides the window and takes the focus out of a field, which ends its
    // editing: by then the window's members are gone, so the fields tell it nothing more.
    for (QLineEdit* field : fields_.all()) {
        disconnect(field, nullptr, this, nullptr);
        field->removeEventFilter(this);
    }
}

void Tvstup::createContents()
{
    // the plot first: Graf0 shows its bitmap from the moment it exists
    plot::InitPlot(plot_, PlotView::kDesignWidth, PlotView::kDesignHeight);
    // The examples ship beside the program in a build folder and in ../share/kalvex once
    // installed: Load's first dialog opens where they are.
    openFolder_ = QString::fromStdString(shippedFilesFolder(QCoreApplication::applicationDirPath().toStdString()).string());
    reportFolder_ = openFolder_;
    buildLayout();
    buildMenu();
    buildShortcuts();
    connectHandlers();
    watchInputs();
    resize(kDesignClientWidth, kDesignClientHeight + layout()->menuBar()->sizeHint().height());
    keepTopRowAtDesignWidths();
    restoreRememberedChoices();
}

void Tvstup::keepTopRowAtDesignWidths()
{
    // At the design size the plot choices reach the right edge, above Graf0. A larger window
    // gives its extra room to Graf0 and Memo1 only; the row above stays as it was.
    layout()->activate();
    plotPages_.control->setFixedWidth(plotPages_.control->width());
    top_->addStretch(1);
}

void Tvstup::buildLayout()
{
    weaponName_ = fields_.create("Edit33", QStringLiteral("Weapon"), this);

    plotPages_ = buildPlotPages(this);
    top_ = new QHBoxLayout;
    top_->setSpacing(kGap);
    top_->addWidget(buildInputPages());
    top_->addWidget(buildCommandColumn());
    top_->addWidget(plotPages_.control, 1);  // reaches the right edge, as Graf0 below it
    inputPages_->setFixedHeight(kTopRowHeight);
    plotPages_.control->setFixedHeight(kTopRowHeight);

    // Memo1 and Graf0 share the width a larger window adds, so that the summary's long lines
    // can be read; the user moves the border between them. At the design size Memo1 has its
    // design width and the handle is the gap between the two.
    resultsAndPlot_ = new QSplitter(Qt::Horizontal, this);
    resultsAndPlot_->setObjectName(QStringLiteral("ResultsAndPlot"));
    resultsAndPlot_->setHandleWidth(kGap);
    resultsAndPlot_->setChildrenCollapsible(false);
    results_ = new ResultsArea(resultsAndPlot_);
    results_->setMinimumWidth(kMemoWidth / 2);
    memo_ = results_->memo();
    graf0_ = new PlotView(plot_, resultsAndPlot_);
    resultsAndPlot_->addWidget(results_);
    resultsAndPlot_->addWidget(graf0_);
    resultsAndPlot_->setStretchFactor(0, 1);
    resultsAndPlot_->setStretchFactor(1, 1);
    resultsAndPlot_->setSizes({kMemoWidth, PlotView::kDesignWidth});
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(0);
    bottom->addWidget(resultsAndPlot_, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(kOuterMargin, kOuterMargin, kOuterMargin, kOuterMargin);
    column->setSpacing(kGap);
    column->addWidget(weaponName_);
    column->addLayout(top_, 0);
    column->addLayout(bottom, 1);

    overlay_ = new RubberBandOverlay(this);
}

QWidget* Tvstup::buildInputPages()
{
    inputPages_ = new ButtonPages(this);
    inputPages_->setObjectName(QStringLiteral("PageControl1"));
    inputPages_->addPage(QStringLiteral("Weapon and Cartridge"), buildWeaponPage(fields_));
    // the propellant fill names the propellant last: the fill is one step to undo
    PowderPageActions powder;
    powder.say = [this](const std::string& line) {
        appendLine(line);
        recordInputStep(QStringLiteral("Propellant"));
    };
    powder.propellantChosen = [this](const Propellant& propellant) { notePropellantChosen(propellant); };
    powder.chooseChargeTemperature = [this] { chooseChargeTemperature(); };
    powder.editBurningLaw = [this] { editBurningLaw(); };
    powder.editCharge = [this] { editCharge(); };
    inputPages_->addPage(QStringLiteral("Powder and Igniter"), buildPowderPage(fields_, std::move(powder)));
    grainPage_ = new GrainPage(fields_);
    connect(grainPage_, &GrainPage::editComponentRequested, this, [this](std::size_t c) {
        selectedComponent_ = c;
        editCharge();
    });
    inputPages_->addPage(QStringLiteral("Grains Sizes"), grainPage_);
    inputPages_->addPage(QStringLiteral("Friction"), buildFrictionPage(fields_));
    extras_ = buildExtrasPage(fields_);
    inputPages_->addPage(QStringLiteral("Extras"), extras_.page);
    return inputPages_;
}

QWidget* Tvstup::buildCommandColumn()
{
    auto* commandColumn = new QWidget(this);
    auto* position = new QGroupBox(QStringLiteral("X, Y Position"), commandColumn);
    position->setObjectName(QStringLiteral("GroupBox10"));
    readOutX_ = makeReadOutField("Edit17", position);
    readOutY_ = makeReadOutField("Edit18", position);
    auto* positionColumn = new QVBoxLayout(position);
    positionColumn->setContentsMargins(4, 2, 4, 4);
    positionColumn->addWidget(readOutX_);
    positionColumn->addWidget(readOutY_);

    auto* commands = new QGroupBox(commandColumn);
    loadButton_ = makeCommandButton("Button6", "&Load", commands);
    saveButton_ = makeCommandButton("Button5", "&Save", commands);
    saveButton_->setEnabled(false);  // there is nothing to save before the first run
    startButton_ = makeCommandButton("Button4", "S&tart", commands);
    QFont startFont = startButton_->font();
    startFont.setBold(true);
    startFont.setPointSizeF(startFont.pointSizeF() + kStartCaptionGrowth);
    startButton_->setFont(startFont);
    auto* commandList = new QVBoxLayout(commands);
    commandList->setContentsMargins(5, 5, 5, 5);
    commandList->addWidget(loadButton_);
    commandList->addWidget(saveButton_);
    commandList->addWidget(startButton_);

    auto* column = new QVBoxLayout(commandColumn);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(position);
    column->addWidget(commands);
    column->addStretch(1);
    commandColumn->setFixedWidth(kCommandButtonSize.width() + 12);
    return commandColumn;
}

void Tvstup::buildMenu()
{
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    const auto addItem = [this, menu](const char* name, const char* caption, void (Tvstup::*slot)()) {
        QAction* item = menu->addAction(QString::fromUtf8(caption));
        item->setObjectName(QString::fromUtf8(name));
        connect(item, &QAction::triggered, this, slot);
    };
    addItem("UnitConversion1", "&Unit Conversion", &Tvstup::showUnitConversion);
    addItem("Area1", "&Area", &Tvstup::showAreaTool);
    addItem("BurnRate1", "&Burn. Rate", &Tvstup::showBurningRateTool);
    addItem("About1", "Ab&out", &Tvstup::showAbout);
    // added after the items of the design, so that those keep their places
    addItem("Study1", "Stud&y...", &Tvstup::showStudy);
    addItem("Runs1", "Ru&ns...", &Tvstup::showRuns);
    addItem("ClosedVessel1", "Closed &Vessel...", &Tvstup::showClosedVessel);
    buildDataMenu(menu->addMenu(QStringLiteral("&Data")));
    buildInputHistory(menu->addMenu(QStringLiteral("&Edit")));
    recentMenu_ = menu->addMenu(QStringLiteral("&Recent"));
    recentMenu_->setObjectName(QStringLiteral("RecentReports"));
    connect(recentMenu_, &QMenu::aboutToShow, this, &Tvstup::fillRecentMenu);
    layout()->setMenuBar(menu);
}

void Tvstup::buildDataMenu(QMenu* menu)
{
    menu->setObjectName(QStringLiteral("DataMenu"));
    const auto addItem = [this, menu](const char* name, const char* caption, void (Tvstup::*slot)()) {
        QAction* item = menu->addAction(QString::fromUtf8(caption));
        item->setObjectName(QString::fromUtf8(name));
        connect(item, &QAction::triggered, this, slot);
        return item;
    };
    addItem("ExportSeries1", "Export &Series as CSV...", &Tvstup::exportSeries);
    addItem("ExportPlot1", "Export &Plot as PNG...", &Tvstup::exportPlotPng);
    addItem("ExportLargerPlot1", "Export Plot as PNG, &Larger...", &Tvstup::exportLargerPlotPng);
    addItem("ExportPlotSvg1", "Export Plot as S&VG...", &Tvstup::exportPlotSvg);
    addItem("ExportPlotPdf1", "Export Plot as P&DF...", &Tvstup::exportPlotPdf);
    addItem("ExportReportPdf1", "Export &Report as PDF...", &Tvstup::exportReportPdf);
    QAction* print = addItem("PrintReport1", "Pr&int Report...", &Tvstup::printReport);
    print->setEnabled(printerAvailable());  // the system's dialog needs a printer to offer
    addItem("CopySummary1", "&Copy Summary", &Tvstup::copySummary);
    addItem("SaveInputSet1", "Save &Input Set As...", &Tvstup::saveInputSet);
    menu->addSeparator();
    addItem("SavedRun1", "Show Saved &Run from Report...", &Tvstup::showSavedRunFromReport);
    removeSavedRun_ = addItem("RemoveSavedRun1", "Remove Saved Run", &Tvstup::removeSavedRun);
    removeSavedRun_->setEnabled(false);
}

void Tvstup::buildInputHistory(QMenu* menu)
{
    menu->setObjectName(QStringLiteral("EditMenu"));
    const auto take = [this] {
        InputSnapshot snapshot;
        for (QLineEdit* field : fields_.all())
            snapshot.texts.emplace_back(field->objectName().toStdString(), field->text());
        snapshot.grainType = grainType_;
        snapshot.heatTransfer = extras_.heatTransfer->isChecked();
        snapshot.extended = extendedInputsOf(state_.stored);
        return snapshot;
    };
    const auto apply = [this](const InputSnapshot& snapshot) {
        for (const auto& [control, text] : snapshot.texts)
            fields_.setText(control, text.toStdString());
        grainPage_->selector()->setItemIndex(snapshot.grainType - 1);
        chooseGrainType();
        extras_.heatTransfer->setChecked(snapshot.heatTransfer);
        // after the texts, whose edits one by one may have dropped the charge temperature
        setExtendedInputs(state_.stored, snapshot.extended);
        noteInputsChanged();
    };
    history_ = std::make_unique<InputHistory>(take, apply);
    QAction* undo = menu->addAction(QStringLiteral("&Undo"), this, &Tvstup::undoInputs);
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = menu->addAction(QStringLiteral("&Redo"), this, &Tvstup::redoInputs);
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    for (QAction* action : {undo, redo})
        action->setShortcutContext(Qt::WindowShortcut);
}

void Tvstup::recordInputStep(const QString& what)
{
    if (history_)
        history_->record(what);
}

void Tvstup::undoInputs()
{
    runCommand(this, [this] {
        recordInputStep(QStringLiteral("Edit"));  // a field being typed in is a step of its own
        history_->stack().undo();
    });
}

void Tvstup::redoInputs()
{
    runCommand(this, [this] { history_->stack().redo(); });
}

bool Tvstup::eventFilter(QObject* watched, QEvent* event)
{
    // A field would take Ctrl+Z for its own text: the window's undo takes the whole input set.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tvstup::buildShortcuts()
{
    const auto bind = [this](const QKeySequence& keys, QPushButton* target) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, target, [target] {
            if (target->isEnabled())
                target->click();
        });
    };
    bind(QKeySequence::Open, loadButton_);
    bind(QKeySequence::Save, saveButton_);
    bind(QKeySequence(Qt::Key_F5), startButton_);
    // the input pages as tabs of any editor: Ctrl+Tab and Ctrl+PgDn forward, with Shift or PgUp back
    const auto page = [this](const QKeySequence& keys, int step) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, step] { showNeighbouringInputPage(step); });
    };
    page(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
    page(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
    page(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
    page(QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1);
    page(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
}

void Tvstup::showNeighbouringInputPage(int step)
{
    const int count = inputPages_->pageCount();
    inputPages_->setCurrentIndex((inputPages_->currentIndex() + step + count) % count);
}

void Tvstup::restoreRememberedChoices()
{
    const QSettings settings;
    const int y = settings.value(kRememberedQuantity, -1).toInt();
    const int x = settings.value(kRememberedAxis, -1).toInt();
    if (y >= 0 && y < plot::kYChoiceCount)
        plotPages_.yChoice->setItemIndex(y);
    if (x >= 0 && x < static_cast<int>(plot::kXAxisCaptions.size()))
        plotPages_.xChoice->setItemIndex(x);
    const QSize size = settings.value(kRememberedSize).toSize();
    if (size.isValid())
        resize(size.expandedTo(minimumSizeHint()));
}

void Tvstup::rememberChoices() const
{
    QSettings settings;
    settings.setValue(kRememberedQuantity, plotPages_.yChoice->itemIndex());
    settings.setValue(kRememberedAxis, plotPages_.xChoice->itemIndex());
    settings.setValue(kRememberedSize, size());
}

void Tvstup::closeEvent(QCloseEvent* event)
{
    if (!settleUnsavedWork()) {
        event->ignore();
        return;
    }
    rememberChoices();
    QDialog::closeEvent(event);
}

bool Tvstup::settleUnsavedWork()
{
    // Save writes the report of a completed run with its inputs: it can keep the work only
    // while the fields still show those inputs.
    const bool runGoesWithInputs = state_.runs.completed && state_.unreadable.empty() &&
                                   sameInputs(state_.shown, state_.completedInput);
    const bool runUnsaved = state_.runs.completed && !completedRunSaved_;
    if (runGoesWithInputs && (runUnsaved || inputsModified(state_))) {
        switch (prompts().askBeforeClosing(this, QStringLiteral("Save the report of the last run before closing?"), true)) {
        case CloseAnswer::save:
            save();
            return completedRunSaved_ && !inputsModified(state_);
        case CloseAnswer::discard: return true;
        case CloseAnswer::keepOpen: return false;
        }
    }
    if (!runGoesWithInputs && (inputsModified(state_) || runUnsaved))
        return prompts().askBeforeClosing(
                   this, QStringLiteral("The inputs differ from the last run and from the report, and a report is "
                                        "saved only with a completed run. Close without saving?"),
                   false) == CloseAnswer::discard;
    return true;
}

void Tvstup::watchInputs()
{
    for (QLineEdit* field : fields_.all()) {
        connect(field, &QLineEdit::textChanged, this, &Tvstup::noteInputsChanged);
        connect(field, &QLineEdit::editingFinished, this, [this] { recordInputStep(QStringLiteral("Edit")); });
        field->installEventFilter(this);
    }
    connect(extras_.heatTransfer, &QCheckBox::toggled, this, &Tvstup::noteInputsChanged);
    connect(extras_.heatTransfer, &QCheckBox::clicked, this, [this] { recordInputStep(QStringLiteral("Heat Transfer")); });
    connect(grainPage_->selector(), &RadioGroup::itemClicked, this, [this] { recordInputStep(QStringLiteral("Grain Type")); });
    noteInputsChanged();
    history_->startFrom();
}

void Tvstup::connectHandlers()
{
    connect(startButton_, &QPushButton::clicked, this, &Tvstup::start);
    connect(results_->clearButton(), &QPushButton::clicked, this, &Tvstup::clearResults);
    connect(saveButton_, &QPushButton::clicked, this, &Tvstup::save);
    connect(loadButton_, &QPushButton::clicked, this, &Tvstup::load);
    connect(grainPage_->selector(), &RadioGroup::itemClicked, this, &Tvstup::chooseGrainType);
    connect(plotPages_.yChoice, &RadioGroup::itemClicked, this, &Tvstup::plotChosenQuantity);
    connect(plotPages_.xChoice, &RadioGroup::itemClicked, this, &Tvstup::plotOverChosenAxis);
    connect(plotPages_.surfaceOverBurned, &QPushButton::clicked, this, &Tvstup::plotSurfaceOverBurned);
    connect(plotPages_.pressuresOverTime, &QPushButton::clicked, this, &Tvstup::plotPressuresOverTime);
    connect(plotPages_.pressuresOverTravel, &QPushButton::clicked, this, &Tvstup::plotPressuresOverTravel);
    connect(plotPages_.cloneOne, &QPushButton::clicked, this, &Tvstup::cloneCurveOne);
    connect(plotPages_.cloneTwo, &QPushButton::clicked, this, &Tvstup::cloneCurveTwo);
    connect(plotPages_.clearClones, &QPushButton::clicked, this, &Tvstup::clearClones);
    connect(graf0_, &PlotView::pressed, this, &Tvstup::pressOnPlot);
    connect(graf0_, &PlotView::moved, this, &Tvstup::dragOnPlot);
    connect(graf0_, &PlotView::released, this, &Tvstup::releaseOnPlot);
    connect(graf0_, &PlotView::doubleClicked, this, &Tvstup::restorePlotRanges);
    connect(graf0_, &PlotView::resized, this, &Tvstup::resizePlot);
}

void Tvstup::setToolWindows(const ToolWindows& windows)
{
    tools_ = windows;
}

void Tvstup::showEvent(QShowEvent* event)
{
    static constexpr const char* kPlacedProperty = "kalvexPlaced";
    if (!property(kPlacedProperty).toBool()) {
        setProperty(kPlacedProperty, true);
        if (const QScreen* desktop = screen())
            move(desktop->availableGeometry().center() - rect().center());
        // moved to a screen of another pixel density, the plot is drawn again for it
        if (QWindow* window = windowHandle())
            connect(window, &QWindow::screenChanged, this,
                    [this] { resizePlot(graf0_->width(), graf0_->height()); });
    }
    QDialog::showEvent(event);
}

void Tvstup::keyPressEvent(QKeyEvent* event)
{
    // The working window has no Cancel: Escape does not close it (the close box does), and
    // Return in a field runs no command, since no button is the default one.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tvstup::resizePlot(int plotWidth, int plotHeight)
{
    runCommand(this, [&] {
        // drawn at the screen's pixel ratio: sharp on a high-density screen
        if (plot::ResizePlot(plot_, plotWidth, plotHeight, graf0_->devicePixelRatioF()))
            redrawPlot();
    });
}

void Tvstup::redrawPlot()
{
    graf0_->update();
}

// --- Start and Clear -------------------------------------------------------------------

void Tvstup::start()
{
    runCommand(this, [this] {
        const double typedStep = state_.shown.dt;
        const IntegratorChoice integrator = chosenIntegrator();
        const bool estimate = extras_.errorEstimate->isChecked();
        // The run goes off the GUI thread on copies; the window shows what it asked for after.
        DeferredStartHost deferred(startSnapshot());
        BallisticInput stored = state_.stored;
        RunStore runs;
        runs.scratch = std::move(state_.runs.scratch);  // the buffer of the run before, reused
        std::exception_ptr commandFailure;
        std::exception_ptr estimateFailure;
        std::vector<std::string> estimateLines;
        const std::exception_ptr failure = runOffGuiThread([&] {
            try {
                runStartCommand(deferred, stored, runs, integrator);
            } catch (...) {
                commandFailure = std::current_exception();
                return;
            }
            if (!estimate)
                return;
            const auto toLines = [&estimateLines](const std::string& line) { estimateLines.push_back(line); };
            try {
                if (integrator.method == IntegratorMethod::adaptive)
                    writeStepErrorEstimate(estimateToleranceError(stored, integrator.adaptive, *runs.completed), toLines);
                else  // `stored` holds the step the run finally used
                    writeStepErrorEstimate(estimateStepError(stored, stored.dt, *runs.completed), toLines);
            } catch (...) {
                estimateFailure = std::current_exception();
            }
        });
        state_.stored = stored;
        deferred.replay(*this, [this, &runs]() -> const RunResults& {
            // as the command's own swap: the run before becomes the buffer of the next
            state_.runs.scratch = std::move(state_.runs.completed);
            state_.runs.completed = std::move(runs.completed);
            return *state_.runs.completed;
        });
        if (runs.scratch)
            state_.runs.scratch = std::move(runs.scratch);
        if (failure)
            std::rethrow_exception(failure);
        try {
            if (commandFailure)
                std::rethrow_exception(commandFailure);
        } catch (const InputError& e) {
            collectingSummary_ = false;
            // The doubled step stays in its field for the next Start; say so, since that run
            // will not be the one asked for.
            if (state_.unreadable.empty() && state_.stored.dt != typedStep)
                appendLine("The next Start uses the step now in its field: " +
                           formatGeneral(state_.stored.dt * kSecondToMillisecond, decimalSeparator()) + " ms.");
            showBadField(e.what());
            throw;
        }
        state_.completedInput = state_.stored;
        state_.completedIntegrator = integrator;
        for (const std::string& line : integrationNotes(integrator))
            appendLine(line);
        for (const std::string& line : estimateLines)
            appendLine(line);
        if (estimateFailure)
            std::rethrow_exception(estimateFailure);
        collectingSummary_ = false;  // the estimate belongs to the run's summary too
        completedRunSaved_ = false;
        keepRun(state_, weaponName_->text().toStdString(), state_.completedInput, *state_.runs.completed);
        emit runsChanged();
        noteInputsChanged();
        // from the first completed run on there is always a run to save and to plot
        saveButton_->setEnabled(true);
        plotPages_.control->setEnabled(true);
    });
}

DeferredStartHost::Snapshot Tvstup::startSnapshot() const
{
    DeferredStartHost::Snapshot snapshot;
    for (const InputField& field : kInputFields)
        snapshot.fieldTexts.emplace(field.name, fields_.text(field.control));
    snapshot.grainType = grainType();
    snapshot.heatTransfer = heatTransfer();
    snapshot.summaryOptions = summaryOptions();
    snapshot.decimalSeparator = decimalSeparator();
    return snapshot;
}

IntegratorChoice Tvstup::chosenIntegrator()
{
    IntegratorChoice choice;  // the absolute tolerance follows the relative one, as kalvex-batch's default
    if (!extras_.adaptive->isChecked())
        return choice;
    choice.method = IntegratorMethod::adaptive;
    QLineEdit& tolerance = *extras_.tolerance;
    try {
        choice.adaptive.relativeTolerance = fieldNumber(tolerance);
        if (!(choice.adaptive.relativeTolerance > 0 && choice.adaptive.relativeTolerance < 1))
            throw InputError("Relative Tolerance of the adaptive integration must lie between 0 and 1.");
    } catch (const InputError&) {
        focusField(tolerance);
        throw;
    }
    return choice;
}

void Tvstup::clearResults()
{
    runCommand(this, [this] { memo_->clear(); });
}

// --- Grain type ------------------------------------------------------------------------

void Tvstup::chooseGrainType()
{
    runCommand(this, [this] {
        grainType_ = grainPage_->selector()->itemIndex() + 1;
        grainPage_->showGrainType(grainType_);
        noteInputsChanged();
    });
}

// --- Plot selection --------------------------------------------------------------------

void Tvstup::plotCurrentSelection(const RunResults& results)
{
    plot::plotSelection(plot_, results, plotPages_.yChoice->itemIndex(),
                        plotPages_.xChoice->itemIndex());
    showSavedRun();
    redrawPlot();
}

void Tvstup::plotChosenQuantity()
{
    runCommand(this, [this] {
        if (state_.runs.completed)
            plotCurrentSelection(*state_.runs.completed);
    });
}

void Tvstup::plotOverChosenAxis()
{
    plotChosenQuantity();
}

void Tvstup::plotSurfaceOverBurned()
{
    runCommand(this, [this] {
        if (state_.runs.completed) {
            plot::plotRelativeSurface(plot_, *state_.runs.completed);
            plot::hideSavedRun(plot_);
        }
        redrawPlot();
    });
}

void Tvstup::plotPressuresOverTime()
{
    runCommand(this, [this] {
        if (state_.runs.completed) {
            plot::plotPressuresOverTime(plot_, *state_.runs.completed);
            plot::hideSavedRun(plot_);
        }
        redrawPlot();
    });
}

void Tvstup::plotPressuresOverTravel()
{
    runCommand(this, [this] {
        if (state_.runs.completed) {
            plot::plotPressuresOverTravel(plot_, *state_.runs.completed);
            plot::hideSavedRun(plot_);
        }
        redrawPlot();
    });
}

void Tvstup::cloneCurveOne()
{
    runCommand(this, [this] {
        plot::cloneCurve(plot_, 1);
        redrawPlot();
    });
}

void Tvstup::cloneCurveTwo()
{
    runCommand(this, [this] {
        plot::cloneCurve(plot_, 2);
        redrawPlot();
    });
}

void Tvstup::clearClones()
{
    runCommand(this, [this] {
        plot::clearOverlays(plot_);
        redrawPlot();
    });
}

// --- Mouse on the plot -----------------------------------------------------------------

void Tvstup::pressOnPlot(int x, int y)
{
    runCommand(this, [&] {
        const plot::ReadOut readOut = plot::mousePress(plot_, x, y, decimalSeparator());
        showText(*readOutX_, QString::fromStdString(readOut.x));
        showText(*readOutY_, QString::fromStdString(readOut.y));
    });
}

void Tvstup::dragOnPlot(int x, int y)
{
    runCommand(this, [&] {
        if (!plot_.dragActive)
            return;
        const QPoint plotOrigin = graf0_->mapTo(this, QPoint(0, 0));
        const plot::RubberBand band = plot::rubberBand(plot_, x, y, plotOrigin.x(), plotOrigin.y());
        overlay_->showBand(RubberBandOverlay::Band{QPoint(band.ax, band.ay), QPoint(band.bx, band.by),
                                                   band.belowThreshold});
    });
}

void Tvstup::releaseOnPlot(int x, int y)
{
    runCommand(this, [&] {
        overlay_->showBand(std::nullopt);
        if (plot::mouseRelease(plot_, x, y))
            redrawPlot();
    });
}

void Tvstup::restorePlotRanges(int, int)
{
    runCommand(this, [this] {
        plot::restoreAutomaticRanges(plot_);
        redrawPlot();
    });
}

// --- Menu ------------------------------------------------------------------------------

void Tvstup::showUnitConversion()
{
    runCommand(this, [this] { showToolWindow(tools_.unitConversion, this); });
}

void Tvstup::showAreaTool()
{
    runCommand(this, [this] { showToolWindow(tools_.area, this); });
}

void Tvstup::showBurningRateTool()
{
    runCommand(this, [this] { showToolWindow(tools_.burningRate, this); });
}

void Tvstup::showStudy()
{
    runCommand(this, [this] { showToolWindow(tools_.study, this); });
}

void Tvstup::showRuns()
{
    runCommand(this, [this] { showToolWindow(tools_.runs, this); });
}

void Tvstup::showClosedVessel()
{
    runCommand(this, [this] { showToolWindow(tools_.closedVessel, this); });
}

void Tvstup::showAbout()
{
    runCommand(this, [this] {
        if (tools_.about)
            tools_.about->exec();
    });
}

}  // namespace kalvex::ui
