#pragma once
// The settings of the four kinds of study on pages of the Study window, read into a study
// record and filled from one. Parameters and outputs are picked by caption and unit.
#include "study/Study.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;
class QWidget;

namespace kalvex::ui {

struct SweepAxisFields {
    QComboBox* parameter = nullptr;
    QLineEdit* from = nullptr;
    QLineEdit* to = nullptr;
    QLineEdit* count = nullptr;
    QCheckBox* logarithmic = nullptr;
};

struct ToleranceRow {
    QCheckBox* use = nullptr;
    QComboBox* parameter = nullptr;
    QComboBox* distribution = nullptr;  // normal (sigma), uniform (half-width)
    QLineEdit* spread = nullptr;
};

struct StudyPages {
    QWidget* sweep = nullptr;
    SweepAxisFields firstAxis, secondAxis;
    QCheckBox* useSecondAxis = nullptr;

    QWidget* solve = nullptr;
    QComboBox* solveParameter = nullptr;
    QLineEdit* lower = nullptr;
    QLineEdit* upper = nullptr;
    QComboBox* solveOutput = nullptr;
    QLineEdit* target = nullptr;
    QLineEdit* tolerance = nullptr;
    QCheckBox* useConstraint = nullptr;
    QComboBox* constraintOutput = nullptr;
    QLineEdit* constraintMax = nullptr;

    QWidget* fit = nullptr;
    QComboBox* fitParameter = nullptr;
    QCheckBox* useSecondFitParameter = nullptr;
    QComboBox* secondFitParameter = nullptr;
    QComboBox* firingParameter = nullptr;  // the input each firing changes
    QTableWidget* firings = nullptr;       // its value, measured velocity, measured pressure

    QWidget* tolerancePage = nullptr;
    std::array<ToleranceRow, 4> scattered;
    QLineEdit* samples = nullptr;
    QLineEdit* seed = nullptr;
    QCheckBox* useLimit = nullptr;
    QComboBox* limitOutput = nullptr;
    QLineEdit* limitValue = nullptr;
};

StudyPages buildStudyPages(QWidget* parent);

// The record of the pages' settings for `kind` (base and heat transfer are the caller's).
// InputError for a field that is not a number.
study::Study readStudyPages(const StudyPages& pages, study::StudyKind kind);
void fillStudyPages(StudyPages& pages, const study::Study& study);

// A parameter box's parameter name ("C"); the parameters are listed by caption and unit.
std::string chosenName(const QComboBox& box);

// A box of the study outputs by caption and unit, the output's name ("vMuzzle") as each
// item's data; only those a solve or fit may aim at when `solvableOnly`.
QComboBox* outputBox(QWidget* parent, bool solvableOnly, const char* name);

// Sets the range of the parameter chosen in `box` around its value in the base input set, in
// the parameter's unit; without `high`, sets its spread into `low`. A parameter picked from a
// list (the grain type, the propellant) changes nothing.
void proposeRange(const QComboBox& box, QLineEdit* low, QLineEdit* high, const BallisticInput& base);

// Sets every parameter's bracket, range and (where none is typed) spread around its base value.
void proposeAround(StudyPages& pages, const BallisticInput& base);

}  // namespace kalvex::ui
