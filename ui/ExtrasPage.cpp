#include "ui/ExtrasPage.h"

#include "ui/FieldRegistry.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace kalvex::ui {
namespace {

const QString kOutputLead = QStringLiteral("Output: every");
const QString kOutputGap = QStringLiteral("                  ");  // where Edit49 stands
const QString kOutputTail = QStringLiteral("th value ");
constexpr int kGapMargin = 3;
constexpr int kToleranceIndent = 20;  // px: under the check box's caption, as a part of it

// The sentence "Output: every ... th value" with its number field standing in the gap.
class OutputEveryLine : public QLabel {
public:
    OutputEveryLine(QLineEdit* field, QWidget* parent)
        : QLabel(kOutputLead + kOutputGap + kOutputTail, parent), field_(field)
    {
        field_->setParent(this);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setMinimumHeight(field_->sizeHint().height());
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        const QFontMetrics metrics(font());
        // inside the gap, clear of the words on both sides
        const int left = metrics.horizontalAdvance(kOutputLead) + kGapMargin;
        const int width = metrics.horizontalAdvance(kOutputGap) - 2 * kGapMargin;
        const int height = field_->sizeHint().height();
        field_->setGeometry(left, (event->size().height() - height) / 2, width, height);
    }

private:
    QLineEdit* field_;
};

}  // namespace

ExtrasPage buildExtrasPage(FieldRegistry& fields)
{
    ExtrasPage extras;
    extras.page = new QWidget;
    auto* options = new QGroupBox(QStringLiteral("Options"), extras.page);
    options->setObjectName(QStringLiteral("GroupBoxOptions"));
    extras.showEnergy = new QCheckBox(QStringLiteral("Show Energy Losses"), options);
    extras.showEnergy->setObjectName(QStringLiteral("CheckBox1"));
    extras.showGrains = new QCheckBox(QStringLiteral("Show Number of Powder Grains"), options);
    extras.showGrains->setObjectName(QStringLiteral("CheckBox2"));
    extras.showGrains->setChecked(true);
    extras.heatTransfer = new QCheckBox(QStringLiteral("Including Heat Transfer"), options);
    extras.heatTransfer->setObjectName(QStringLiteral("CheckBox3"));
    extras.heatTransfer->setChecked(true);
    extras.errorEstimate = new QCheckBox(QStringLiteral("Estimate Step-Size Error"), options);
    extras.errorEstimate->setObjectName(QStringLiteral("CheckBoxErrorEstimate"));
    extras.adaptive = new QCheckBox(QStringLiteral("Adaptive Integration"), options);
    extras.adaptive->setObjectName(QStringLiteral("CheckBoxAdaptive"));
    extras.adaptive->setToolTip(QStringLiteral("Dormand-Prince 5(4) with error control, its steps ended on the "
                                               "model's events; the computation step is not used"));
    extras.tolerance = new QLineEdit(QStringLiteral("1E-8"), options);
    extras.tolerance->setObjectName(QStringLiteral("AdaptiveTolerance"));
    extras.tolerance->setEnabled(false);
    QObject::connect(extras.adaptive, &QCheckBox::toggled, extras.tolerance, &QLineEdit::setEnabled);
    auto* toleranceRow = new QHBoxLayout;
    toleranceRow->setContentsMargins(kToleranceIndent, 0, 0, 0);
    toleranceRow->addWidget(new QLabel(QStringLiteral("Relative Tolerance:"), options));
    toleranceRow->addWidget(extras.tolerance);
    toleranceRow->addStretch(1);
    auto* optionColumn = new QVBoxLayout(options);
    optionColumn->addWidget(extras.showEnergy);
    optionColumn->addWidget(extras.showGrains);
    optionColumn->addWidget(extras.heatTransfer);
    optionColumn->addWidget(extras.errorEstimate);
    optionColumn->addWidget(extras.adaptive);
    optionColumn->addLayout(toleranceRow);

    QLineEdit* every = fields.create("Edit49", QStringLiteral("20"), extras.page);
    auto* line = new OutputEveryLine(every, extras.page);

    auto* column = new QVBoxLayout(extras.page);
    column->setContentsMargins(6, 6, 6, 6);
    column->addWidget(options, 0, Qt::AlignLeft);
    column->addSpacing(8);
    column->addWidget(line, 0, Qt::AlignLeft);
    column->addStretch(1);
    return extras;
}

}  // namespace kalvex::ui
