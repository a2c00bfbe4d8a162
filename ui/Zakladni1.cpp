#include "ui/Zakladni1.h"

#include "ui/Command.h"
#include "ui/PictureLabel.h"
#include "ui/Pictures.h"
#include "ui/WindowFont.h"

#include <QCoreApplication>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace kalvex::ui {
namespace {

constexpr int kClientWidth = 601;
constexpr int kClientHeight = 208;
constexpr int kMargin = 8;
constexpr QSize kPictureSize(265, 105);
constexpr QSize kButtonSize(129, 42);
constexpr int kPanelPadding = 8;

QPushButton* commandButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    QFont font(kWindowFontFamily);
    font.setBold(true);
    font.setPointSize(10);
    button->setFont(font);
    button->setFixedSize(kButtonSize);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

Tzakladni::Tzakladni(QWidget* parent) : QDialog(parent)
{
    setObjectName("zakladni");
    setWindowTitle("Interior Ballistics");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    image1_ = pictureLabel(titlePicture(), "Image1", kPictureSize, this);
    image1_->move(kMargin, kMargin);

    auto* title = new QLabel(this);
    title->setObjectName("Label1");
    title->setText("<div style='font-family: Arial'>"
                   "<p style='font-size: 20pt; font-weight: bold; color: #103070'>Kalvex</p>"
                   "<p style='font-size: 11pt'>Interior Ballistics of Guns</p>"
                   "<p style='font-size: 9pt; color: #404040'>Lumped-parameter model, Stanag 4367</p>"
                   "</div>");
    title->setGeometry(kMargin + kPictureSize.width() + 24, kMargin, 290, kPictureSize.height());
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    panel1_ = new QFrame(this);
    panel1_->setObjectName("Panel1");
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    const int panelWidth = 2 * kButtonSize.width() + 3 * kPanelPadding;
    const int panelHeight = kButtonSize.height() + 2 * kPanelPadding;
    panel1_->setGeometry(kMargin, kClientHeight - kMargin - panelHeight, panelWidth, panelHeight);
    button1_ = commandButton("START", "Button1", panel1_);
    button1_->move(kPanelPadding, kPanelPadding);
    button2_ = commandButton("CLOSE", "Button2", panel1_);
    button2_->move(2 * kPanelPadding + kButtonSize.width(), kPanelPadding);

    connect(button1_, &QPushButton::clicked, this, &Tzakladni::openMainWindow);
    connect(button2_, &QPushButton::clicked, this, &Tzakladni::closeProgram);
}

void Tzakladni::setMainWindow(QDialog* vstup)
{
    vstup_ = vstup;
}

void Tzakladni::openMainWindow()
{
    runCommand(this, [this] {
        if (vstup_)
            vstup_->exec();  // the start window takes no input until the working window closes
    });
}

void Tzakladni::closeProgram()
{
    runCommand(this, [this] { close(); });
}

void Tzakladni::done(int result)
{
    QDialog::done(result);
    QCoreApplication::quit();
}

}  // namespace kalvex::ui
