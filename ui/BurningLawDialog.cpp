#include "ui/BurningLawDialog.h"

#include "core/format/NumberFormat.h"
#include "core/input/InputSet.h"
#include "core/results/Errors.h"
#include "plot/UserLocale.h"
#include "ui/Command.h"
#include "ui/FieldNumbers.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kalvex::ui {
namespace {

enum Column { lowerBound, coefficient, exponent, columnCount };
constexpr double kNextBoundStep = 100;  // MPa above the last bound, for a segment added

}  // namespace

void checkBurningLaw(const BurningLaw& law)
{
    BallisticInput input;
    input.beta = law.beta;
    input.alpha = law.alpha;
    input.upperSegments = law.upperSegments;
    validateBurningLaw(input);
}

BurningLawDialog::BurningLawDialog(const BurningLaw& law, Check check, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), law_(law)
{
    setObjectName(QStringLiteral("BurningLawDialog"));
    setWindowTitle(QStringLiteral("Burning Law"));
    table_ = new QTableWidget(0, columnCount, this);
    table_->setObjectName(QStringLiteral("BurningLawTable"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Lower Bound [MPa]"), QStringLiteral("beta [m/s/Pa^alpha]"),
                                       QStringLiteral("alpha")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    setRow(0, BurningSegment{0, law.beta, law.alpha});
    for (std::size_t i = 0; i < law.upperSegments.size(); ++i)
        setRow(static_cast<int>(i) + 1, law.upperSegments[i]);

    add_ = new QPushButton(QStringLiteral("Add Segment"), this);
    add_->setObjectName(QStringLiteral("AddSegmentButton"));
    remove_ = new QPushButton(QStringLiteral("Remove Segment"), this);
    remove_->setObjectName(QStringLiteral("RemoveSegmentButton"));
    connect(add_, &QPushButton::clicked, this, &BurningLawDialog::addSegment);
    connect(remove_, &QPushButton::clicked, this, &BurningLawDialog::removeSegment);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &BurningLawDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BurningLawDialog::reject);
    for (QPushButton* b : {add_, remove_})
        b->setAutoDefault(false);

    auto* editing = new QHBoxLayout;
    editing->addWidget(add_);
    editing->addWidget(remove_);
    editing->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(table_);
    column->addLayout(editing);
    column->addWidget(buttons);
    resize(460, 300);
    enableButtons();
}

void BurningLawDialog::setRow(int row, const BurningSegment& segment)
{
    if (row >= table_->rowCount())
        table_->setRowCount(row + 1);
    const double values[columnCount] = {segment.pLow, segment.beta, segment.alpha};
    for (int c = 0; c < columnCount; ++c)
        table_->setItem(row, c, new QTableWidgetItem(exactNumberText(values[c])));
    if (row == 0)  // the first segment starts at 0 MPa
        table_->item(0, lowerBound)->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

void BurningLawDialog::addSegment()
{
    runCommand(this, [this] {
        const BurningLaw now = readTable();
        const BurningSegment last =
            now.upperSegments.empty() ? BurningSegment{0, now.beta, now.alpha} : now.upperSegments.back();
        setRow(table_->rowCount(), {last.pLow + kNextBoundStep, last.beta, last.alpha});
        enableButtons();
    });
}

void BurningLawDialog::removeSegment()
{
    const QList<QTableWidgetItem*> selected = table_->selectedItems();
    const int row = selected.isEmpty() ? table_->rowCount() - 1 : selected.front()->row();
    if (row > 0)
        table_->removeRow(row);
    enableButtons();
}

void BurningLawDialog::enableButtons()
{
    add_->setEnabled(table_->rowCount() < static_cast<int>(kMaxBurningSegments));
    remove_->setEnabled(table_->rowCount() > 1);
}

BurningLaw BurningLawDialog::readTable() const
{
    const char separator = userDecimalSeparator();
    BurningLaw read;
    for (int row = 0; row < table_->rowCount(); ++row) {
        double values[columnCount] = {};
        for (int c = 0; c < columnCount; ++c) {
            const QTableWidgetItem* item = table_->item(row, c);
            try {
                values[c] = parseFloatField(item ? item->text().toStdString() : std::string(), separator);
            } catch (const InputError& e) {
                throw InputError("Segment " + std::to_string(row + 1) + ": " + e.what());
            }
        }
        if (row == 0) {
            read.beta = values[coefficient];
            read.alpha = values[exponent];
        } else {
            read.upperSegments.push_back({values[lowerBound], values[coefficient], values[exponent]});
        }
    }
    return read;
}

void BurningLawDialog::accept()
{
    runCommand(this, [this] {
        const BurningLaw read = readTable();
        if (check_)
            check_(read);
        law_ = read;
        QDialog::accept();
    });
}

}  // namespace kalvex::ui
