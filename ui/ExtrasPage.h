#pragma once

class QCheckBox;
class QLineEdit;
class QWidget;

namespace kalvex::ui {

class FieldRegistry;

// The "Extras" page: the options of the run summary and the model, and the interval of the
// report's time table (Edit49).
struct ExtrasPage {
    QWidget* page = nullptr;
    QCheckBox* showEnergy = nullptr;    // CheckBox1
    QCheckBox* showGrains = nullptr;    // CheckBox2
    QCheckBox* heatTransfer = nullptr;  // CheckBox3
    QCheckBox* errorEstimate = nullptr; // run again at half the step; off, not in the report
    // Start runs the adaptive integrator instead of the fixed step; off, not an input value
    QCheckBox* adaptive = nullptr;
    // its relative tolerance (the absolute one follows it, as kalvex-batch's default); usable
    // while the adaptive integrator is chosen
    QLineEdit* tolerance = nullptr;
};

ExtrasPage buildExtrasPage(FieldRegistry& fields);

}  // namespace kalvex::ui
