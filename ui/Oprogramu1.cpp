#include "ui/Oprogramu1.h"

#include "ui/PictureLabel.h"
#include "ui/Pictures.h"
#include "ui/WindowFont.h"

#include <QFont>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kalvex::ui {
namespace {

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 340;
constexpr QSize kPictureSize(265, 105);

const char* const kNotice =
    "Kalvex computes the interior ballistics of a gun with the thermodynamic lumped-parameter "
    "model of Stanag 4367. From the weapon, the propellant charge with its igniter, the shape "
    "and sizes of the grains and the bore resistance it follows pressure, temperature, "
    "velocity and travel of the projectile in time, from ignition until the projectile "
    "leaves the muzzle.\n\n"
    "The results are only as good as the input data. Propellant properties, burning-rate "
    "laws, heat losses and bore resistance are model values: check every result against "
    "measurements or other trusted sources before you rely on it, and never use it as the "
    "only basis for decisions on the safety of a weapon or its ammunition.\n\n"
    "The program is provided as it is, without warranty of any kind, express or implied. "
    "No liability is accepted for any damage or loss that may arise from its use.";

QFrame* panel(const QString& name, QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return frame;
}

QLabel* textLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

Toprogramu::Toprogramu(QWidget* parent) : QDialog(parent)
{
    setObjectName("oprogramu");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);

    QFrame* titlePanel = panel("Panel1", this);
    auto* titleLayout = new QHBoxLayout(titlePanel);
    label3_ = textLabel("Kalvex - Interior Ballistics: Stanag 4367", "Label3", titlePanel);
    QFont titleFont(kWindowFontFamily);
    titleFont.setBold(true);
    titleFont.setPointSize(11);
    label3_->setFont(titleFont);
    label3_->setAlignment(Qt::AlignCenter);
    titleLayout->addWidget(label3_);
    outer->addWidget(titlePanel);

    QFrame* infoPanel = panel("Panel2", this);
    auto* infoLayout = new QHBoxLayout(infoPanel);
    image1_ = pictureLabel(titlePicture(), "Image1", kPictureSize, infoPanel);
    infoLayout->addWidget(image1_);
    auto* facts = new QVBoxLayout;
    label8_ = textLabel("Version:  1.0", "Label8", infoPanel);
    label1_ = textLabel("Date:      2. 6. 2010", "Label1", infoPanel);
    facts->addStretch();
    facts->addWidget(label8_);
    facts->addWidget(label1_);
    facts->addStretch();
    infoLayout->addLayout(facts);
    outer->addWidget(infoPanel);

    memo1_ = new QPlainTextEdit(this);
    memo1_->setObjectName("Memo1");
    memo1_->setReadOnly(true);
    memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1_->setPlainText(kNotice);
    outer->addWidget(memo1_, 1);
}

}  // namespace kalvex::ui
