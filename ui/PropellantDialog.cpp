#include "ui/PropellantDialog.h"

#include "ui/FieldNumbers.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kalvex::ui {

namespace {

const char* const kHeadings[] = {"Name",         "Family",          "F [J/kg]",
                                 "T0 [K]",       "b [m^3/kg]",      "gamma",
                                 "rho [kg/m^3]", "beta [m/s/Pa^alpha]", "alpha",
                                 "Source"};

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

}  // namespace

PropellantDialog::PropellantDialog(PropellantLibrary library, QWidget* parent)
    : QDialog(parent), library_(std::move(library))
{
    setObjectName(QStringLiteral("PropellantDialog"));
    setWindowTitle(QStringLiteral("Propellant"));
    auto* layout = new QVBoxLayout(this);

    table_ = new QTableWidget(static_cast<int>(library_.rows.size()), std::size(kHeadings), this);
    table_->setObjectName(QStringLiteral("PropellantTable"));
    QStringList headings;
    for (const char* h : kHeadings)
        headings << QString::fromUtf8(h);
    table_->setHorizontalHeaderLabels(headings);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const Propellant& p = library_.rows[static_cast<std::size_t>(r)];
        const double seven[] = {p.F, p.T0, p.b, p.gamma, p.rho, p.beta, p.alpha};
        table_->setItem(r, 0, cell(QString::fromStdString(p.name)));
        table_->setItem(r, 1, cell(QString::fromStdString(p.family)));
        for (int i = 0; i < 7; ++i)
            table_->setItem(r, 2 + i, cell(numberText(seven[i])));
        table_->setItem(r, 9, cell(QString::fromStdString(propellantSourceText(p))));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setMinimumSize(900, 320);
    layout->addWidget(table_);

    // The whole source and how it was read: a table cell cuts long texts.
    details_ = new QLabel(this);
    details_->setObjectName(QStringLiteral("PropellantDetails"));
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(details_);

    if (!library_.problems.empty()) {
        QString text = QStringLiteral("Rows left out of the library:");
        for (const std::string& problem : library_.problems)
            text += QLatin1Char('\n') + QString::fromStdString(problem);
        auto* problems = new QLabel(text, this);
        problems->setObjectName(QStringLiteral("PropellantProblems"));
        problems->setWordWrap(true);
        problems->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(problems);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemSelectionChanged, this, [this, ok] {
        ok->setEnabled(chosen() != nullptr);
        showDetails();
    });
    connect(table_, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
}

const Propellant* PropellantDialog::chosen() const
{
    const QList<QTableWidgetItem*> selected = table_->selectedItems();
    if (selected.isEmpty())
        return nullptr;
    return &library_.rows[static_cast<std::size_t>(selected.front()->row())];
}

void PropellantDialog::showDetails()
{
    const Propellant* p = chosen();
    if (p == nullptr) {
        details_->clear();
        return;
    }
    QString text = QString::fromStdString(p->name + ": " + propellantSourceText(*p));
    if (!p->composition.empty())
        text += QStringLiteral("\nComposition: ") + QString::fromStdString(p->composition);
    if (!p->transcription.empty())
        text += QLatin1Char('\n') + QString::fromStdString(p->transcription);
    details_->setText(text);
}

std::optional<Propellant> choosePropellant(const PropellantLibrary& library, QWidget* parent)
{
    PropellantDialog dialog(library, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.chosen() == nullptr)
        return std::nullopt;
    return *dialog.chosen();
}

}  // namespace kalvex::ui
