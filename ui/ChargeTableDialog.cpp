#include "ui/ChargeTableDialog.h"

#include "core/format/NumberFormat.h"
#include "core/input/ChargeList.h"
#include "core/input/InputFields.h"
#include "core/model/GrainTypes.h"
#include "core/propellant/PropellantValues.h"
#include "core/results/Errors.h"
#include "plot/UserLocale.h"
#include "ui/BurningLawDialog.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"
#include "ui/Pictures.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <string>

namespace kalvex::ui {
namespace {

// Columns: the propellant's values and factors (kComponentFields up to fbetaT), the grain
// type, the grain's sizes (D, L, P, SW), and the number of burning-law segments.
constexpr std::size_t kPropellantColumns = 11;
constexpr int kGrainTypeColumn = static_cast<int>(kPropellantColumns);
constexpr int kSegmentsColumn = static_cast<int>(kComponentFields.size()) + 1;
constexpr int kColumnCount = kSegmentsColumn + 1;
constexpr int kGrainSketchHeight = 60;  // px, beside the selected row's grain type

int columnOf(std::size_t field)
{
    return static_cast<int>(field < kPropellantColumns ? field : field + 1);
}

const InputField& inputFieldOf(const ComponentField& value)
{
    return *findInputField(value.name);
}

// A value as its cell shows it, in the unit of the page's field.
QString cellText(const ChargeComponent& component, const ComponentField& value)
{
    return numberText(component.*value.ofComponent * inputFieldOf(value).toShown);
}

QStringList headerLabels()
{
    QStringList labels;
    for (const ComponentField& value : kComponentFields) {
        const InputField& field = inputFieldOf(value);
        const QString unit = QString::fromUtf8(field.unit);
        labels << (unit == QStringLiteral("-") ? QString::fromUtf8(field.name)
                                               : QStringLiteral("%1 [%2]").arg(QString::fromUtf8(field.name), unit));
    }
    labels.insert(kGrainTypeColumn, QStringLiteral("Grain Type"));
    labels << QStringLiteral("Segments");
    return labels;
}

QString componentName(int row)
{
    return QStringLiteral("Component %1").arg(row + 1);
}

// The propellant's seven values of a library row, its coefficients, and its law of one segment;
// the mass, the factors and the grain stay.
void applyLibraryRow(const Propellant& propellant, ChargeComponent& component)
{
    BallisticInput values;
    applyPropellant(propellant, values);
    for (const PropellantValue& value : kPropellantValues)
        component.*findComponentField(value.name)->ofComponent = values.*value.quantity;
    component.temperatureCoefficients = propellant.temperatureCoefficients;
    component.upperSegments.clear();
}

}  // namespace

ChargeTableDialog::ChargeTableDialog(const std::vector<ChargeComponent>& charge, std::size_t selected,
                                     Actions actions, QWidget* parent)
    : QDialog(parent), actions_(std::move(actions)), charge_(charge)
{
    setObjectName(QStringLiteral("ChargeTableDialog"));
    setWindowTitle(QStringLiteral("Charge Components"));
    table_ = new QTableWidget(0, kColumnCount, this);
    table_->setObjectName(QStringLiteral("ChargeTable"));
    table_->setHorizontalHeaderLabels(headerLabels());
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(table_, &QTableWidget::itemSelectionChanged, this, &ChargeTableDialog::showSelectedGrain);
    connect(table_, &QTableWidget::itemChanged, this, &ChargeTableDialog::showTotalMass);

    const auto makeButton = [this](const char* name, const char* caption, void (ChargeTableDialog::*slot)()) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromUtf8(name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        return button;
    };
    add_ = makeButton("AddComponentButton", "Add Component", &ChargeTableDialog::addComponent);
    remove_ = makeButton("RemoveComponentButton", "Remove Component", &ChargeTableDialog::removeComponent);
    up_ = makeButton("MoveComponentUpButton", "Move Up", &ChargeTableDialog::moveUp);
    down_ = makeButton("MoveComponentDownButton", "Move Down", &ChargeTableDialog::moveDown);
    QPushButton* library = makeButton("ComponentPropellantButton", "Propellant\u2026", &ChargeTableDialog::fillFromLibrary);
    QPushButton* law = makeButton("ComponentBurningLawButton", "Burning Law\u2026", &ChargeTableDialog::editBurningLaw);
    grain_ = new QLabel(this);
    grain_->setObjectName(QStringLiteral("ComponentGrain"));
    grainName_ = new QLabel(this);
    grainName_->setObjectName(QStringLiteral("ComponentGrainName"));
    totalMass_ = new QLabel(this);
    totalMass_->setObjectName(QStringLiteral("ChargeMass"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ChargeTableDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ChargeTableDialog::reject);

    auto* editing = new QHBoxLayout;
    for (QPushButton* b : {add_, remove_, up_, down_, library, law})
        editing->addWidget(b);
    editing->addStretch(1);
    auto* selection = new QHBoxLayout;
    selection->addWidget(grain_);
    selection->addWidget(grainName_);
    selection->addStretch(1);
    selection->addWidget(totalMass_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(table_, 1);
    column->addLayout(editing);
    column->addLayout(selection);
    column->addWidget(buttons);
    showCharge(charge, static_cast<int>(selected < charge.size() ? selected : 0));
    resize(1100, 360);
}

void ChargeTableDialog::showCharge(const std::vector<ChargeComponent>& charge, int selectedRow)
{
    rows_ = charge;
    table_->setRowCount(static_cast<int>(charge.size()));
    for (int row = 0; row < table_->rowCount(); ++row)
        setRow(row, charge[static_cast<std::size_t>(row)]);
    table_->selectRow(selectedRow);
    showTotalMass();
    enableButtons();
    showSelectedGrain();
}

void ChargeTableDialog::setRow(int row, const ChargeComponent& component)
{
    for (std::size_t f = 0; f < kComponentFields.size(); ++f)
        table_->setItem(row, columnOf(f), new QTableWidgetItem(cellText(component, kComponentFields[f])));
    auto* type = new QComboBox(table_);
    for (const GrainTypeInfo& info : kGrainTypes)
        type->addItem(QStringLiteral("%1 %2").arg(static_cast<int>(info.type)).arg(QString::fromUtf8(info.name)));
    type->setCurrentIndex(component.grainType - kFirstGrainType);
    connect(type, &QComboBox::currentIndexChanged, this, &ChargeTableDialog::showSelectedGrain);
    table_->setCellWidget(row, kGrainTypeColumn, type);
    auto* segments = new QTableWidgetItem(QString::number(component.upperSegments.size() + 1));
    segments->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);  // the Burning Law… table edits them
    table_->setItem(row, kSegmentsColumn, segments);
}

std::vector<ChargeComponent> ChargeTableDialog::readTable()
{
    const char separator = userDecimalSeparator();
    std::vector<ChargeComponent> read = rows_;
    for (int row = 0; row < table_->rowCount(); ++row) {
        ChargeComponent& component = read[static_cast<std::size_t>(row)];
        const ChargeComponent& before = rows_[static_cast<std::size_t>(row)];
        for (std::size_t f = 0; f < kComponentFields.size(); ++f) {
            const ComponentField& value = kComponentFields[f];
            const QTableWidgetItem* item = table_->item(row, columnOf(f));
            const QString text = item ? item->text().trimmed() : QString();
            if (text == cellText(before, value))
                continue;  // an unchanged cell keeps every digit of its value
            try {
                component.*value.ofComponent = parseFloatField(text.toStdString(), separator) * inputFieldOf(value).toStored;
            } catch (const InputError& e) {
                table_->selectRow(row);
                throw InputError(componentName(row).toStdString() + ": " + e.what());
            }
        }
        const auto* type = qobject_cast<const QComboBox*>(table_->cellWidget(row, kGrainTypeColumn));
        component.grainType = type->currentIndex() + kFirstGrainType;
    }
    return read;
}

int ChargeTableDialog::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = table_->selectedRanges();
    return ranges.isEmpty() ? table_->rowCount() - 1 : ranges.front().topRow();
}

void ChargeTableDialog::enableButtons()
{
    const int rows = table_->rowCount();
    const int row = selectedRow();
    add_->setEnabled(rows < static_cast<int>(kMaxChargeComponents));
    remove_->setEnabled(rows > 1);
    up_->setEnabled(row > 0);
    down_->setEnabled(row < rows - 1);
}

void ChargeTableDialog::showSelectedGrain()
{
    const int row = selectedRow();
    const auto* type = qobject_cast<const QComboBox*>(table_->cellWidget(row, kGrainTypeColumn));
    if (!type)
        return;
    const int grainType = type->currentIndex() + kFirstGrainType;
    const QImage sketch = grainPicture(grainType);
    if (!sketch.isNull())
        grain_->setPixmap(QPixmap::fromImage(sketch.scaledToHeight(kGrainSketchHeight, Qt::SmoothTransformation)));
    grainName_->setText(QStringLiteral("Grain of %1: %2").arg(componentName(row), type->currentText()));
    enableButtons();
}

void ChargeTableDialog::showTotalMass()
{
    const char separator = userDecimalSeparator();
    double total = 0;
    try {
        for (int row = 0; row < table_->rowCount(); ++row) {
            const QTableWidgetItem* mass = table_->item(row, columnOf(0));
            total += mass ? parseFloatField(mass->text().trimmed().toStdString(), separator) : 0;
        }
    } catch (const InputError&) {
        totalMass_->setText(QStringLiteral("Mass of the whole charge: a mass is no number"));
        return;
    }
    totalMass_->setText(QStringLiteral("Mass of the whole charge: %1 kg").arg(numberText(total)));
}

void ChargeTableDialog::addComponent()
{
    runCommand(this, [this] {
        std::vector<ChargeComponent> charge = readTable();
        const int row = selectedRow();
        charge.insert(charge.begin() + row + 1, charge[static_cast<std::size_t>(row)]);
        showCharge(charge, row + 1);
    });
}

void ChargeTableDialog::removeComponent()
{
    runCommand(this, [this] {
        std::vector<ChargeComponent> charge = readTable();
        if (charge.size() < 2)
            return;
        const int row = selectedRow();
        charge.erase(charge.begin() + row);
        showCharge(charge, row < static_cast<int>(charge.size()) ? row : row - 1);
    });
}

void ChargeTableDialog::moveUp()
{
    moveSelected(-1);
}

void ChargeTableDialog::moveDown()
{
    moveSelected(+1);
}

void ChargeTableDialog::moveSelected(int step)
{
    runCommand(this, [this, step] {
        std::vector<ChargeComponent> charge = readTable();
        const int row = selectedRow();
        const int to = row + step;
        if (to < 0 || to >= static_cast<int>(charge.size()))
            return;
        std::swap(charge[static_cast<std::size_t>(row)], charge[static_cast<std::size_t>(to)]);
        showCharge(charge, to);
    });
}

void ChargeTableDialog::fillFromLibrary()
{
    runCommand(this, [this] {
        std::vector<ChargeComponent> charge = readTable();
        if (!actions_.choosePropellant)
            return;
        const std::optional<Propellant> chosen = actions_.choosePropellant(this);
        if (!chosen)
            return;
        const int row = selectedRow();
        applyLibraryRow(*chosen, charge[static_cast<std::size_t>(row)]);
        showCharge(charge, row);
    });
}

void ChargeTableDialog::editBurningLaw()
{
    runCommand(this, [this] {
        std::vector<ChargeComponent> charge = readTable();
        const int row = selectedRow();
        ChargeComponent& component = charge[static_cast<std::size_t>(row)];
        BurningLawDialog dialog(BurningLaw{component.beta, component.alpha, component.upperSegments},
                                checkBurningLaw, this);
        dialog.setWindowTitle(QStringLiteral("Burning Law of %1").arg(componentName(row)));
        if (dialog.exec() != QDialog::Accepted)
            return;
        component.beta = dialog.law().beta;
        component.alpha = dialog.law().alpha;
        component.upperSegments = dialog.law().upperSegments;
        showCharge(charge, row);
    });
}

void ChargeTableDialog::accept()
{
    runCommand(this, [this] {
        const std::vector<ChargeComponent> read = readTable();
        for (std::size_t row = 0; row < read.size(); ++row) {
            try {
                if (actions_.check)
                    actions_.check(read, row);
            } catch (const InputError&) {
                table_->selectRow(static_cast<int>(row));
                throw;
            }
        }
        charge_ = read;
        QDialog::accept();
    });
}

}  // namespace kalvex::ui
