#pragma once
// Asks the temperature of the charge and shows the propellant's temperature coefficients, from
// the library row picked last or as the user types them.
#include "core/input/ChargeTemperature.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace kalvex::ui {

struct ChargeTemperatureChoice {
    double celsius = kDefaultReferenceTemperature;
    TemperatureCoefficients coefficients;
};

class ChargeTemperatureDialog : public QDialog {
    Q_OBJECT
public:
    // `coefficients`: the current ones, none when the user is to type them; `origin`: where
    // they come from, shown above them.
    ChargeTemperatureDialog(double celsius, const std::optional<TemperatureCoefficients>& coefficients,
                            const QString& origin, QWidget* parent = nullptr);

    // The temperature and coefficients accepted; none before OK.
    const std::optional<ChargeTemperatureChoice>& choice() const { return choice_; }

    // Reads and checks the fields: a text that is no number, coefficients that break their
    // rules or a temperature outside their range is shown, and the dialog stays open.
    void accept() override;

private:
    ChargeTemperatureChoice readFields() const;

    QLineEdit* temperature_;
    QLineEdit* force_;
    QLineEdit* burningRate_;
    QLineEdit* reference_;
    QLineEdit* lowest_;
    QLineEdit* highest_;
    std::optional<ChargeTemperatureChoice> choice_;
};

}  // namespace kalvex::ui
