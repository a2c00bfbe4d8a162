// The charge temperature law: the factors it gives and the messages that refuse a temperature.
#include "core/input/ChargeTemperature.h"
#include "core/input/BallisticInput.h"
#include "core/propellant/TemperatureCoefficientsJson.h"
#include "core/results/Errors.h"

#include <gtest/gtest.h>

namespace kalvex {
namespace {

const TemperatureCoefficients kIllustrative{0.0003, 0.0016, 20};

TEST(ChargeTemperature, FactorsAreExactlyOneAtTheReferenceAndLinearAboutIt)
{
    struct Case { double celsius, force, burningRate; };
    // 1 + k * (T - Tref), written out: a wrong sign or a wrong reference fails.
    const Case cases[] = {{20, 1, 1}, {63, 1 + 0.0003 * 43, 1 + 0.0016 * 43}, {-46, 1 - 0.0003 * 66, 1 - 0.0016 * 66}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.celsius);
        const TemperatureFactors f = temperatureFactors(c.celsius, kIllustrative);
        EXPECT_DOUBLE_EQ(f.force, c.force);
        EXPECT_DOUBLE_EQ(f.burningRate, c.burningRate);
    }
    const TemperatureFactors atReference = temperatureFactors(20, kIllustrative);
    EXPECT_EQ(atReference.force, 1.0);  // bit for bit: the plain run's factors
    EXPECT_EQ(atReference.burningRate, 1.0);

    BallisticInput input;
    applyChargeTemperature(63, kIllustrative, input);
    EXPECT_EQ(input.fFT, temperatureFactors(63, kIllustrative).force);
    EXPECT_EQ(input.fbetaT, temperatureFactors(63, kIllustrative).burningRate);
    EXPECT_EQ(input.chargeTemperature, 63.0);
}

TEST(ChargeTemperature, MessagesNameTheTemperature)
{
    TemperatureCoefficients measured = kIllustrative;
    measured.lowest = -40;
    measured.highest = 60;
    TemperatureCoefficients steep = kIllustrative;
    steep.burningRate = 0.02;  // fbetaT = 0.1 at -25 °C
    TemperatureCoefficients upsideDown = kIllustrative;
    upsideDown.lowest = 50;
    upsideDown.highest = 10;
    TemperatureCoefficients farReference = kIllustrative;
    farReference.reference = 90;
    struct Case { double celsius; TemperatureCoefficients coefficients; const char* message; };
    const Case cases[] = {
        {-60.5, kIllustrative, "Charge Temperature -60.5 \u00b0C outside the range -60 \u00b0C to 80 \u00b0C"},
        {80.5, kIllustrative, "Charge Temperature 80.5 \u00b0C outside the range -60 \u00b0C to 80 \u00b0C"},
        {61, measured, "Charge Temperature 61 \u00b0C outside the range -40 \u00b0C to 60 \u00b0C"},
        {-26, steep, "Charge Temperature -26 \u00b0C gives a Burning Rate Temperature Factor fbetaT less than 0.1"},
        {20, upsideDown, "Charge Temperature range: the lowest temperature must be below the highest"},
        {20, farReference, "Reference Temperature 90 \u00b0C outside the range -60 \u00b0C to 80 \u00b0C"},
    };
    for (const Case& c : cases) {
        try {
            temperatureFactors(c.celsius, c.coefficients);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    // The boundaries themselves are inside.
    EXPECT_NO_THROW(temperatureFactors(-60, kIllustrative));
    EXPECT_NO_THROW(temperatureFactors(80, kIllustrative));
    EXPECT_NO_THROW(temperatureFactors(-24, steep));  // fbetaT 0.12
    TemperatureCoefficients steepForce = kIllustrative;
    steepForce.force = -0.02;
    try {
        temperatureFactors(66, steepForce);
        ADD_FAILURE() << "fFT below 0.1 accepted";
    } catch (const InputError& e) {
        EXPECT_EQ(std::string(e.what()), "Charge Temperature 66 \u00b0C gives a Force Temperature Factor fFT less than 0.1");
    }
}

TEST(ChargeTemperature, CoefficientsReadAndWriteAsTheirJsonObject)
{
    TemperatureCoefficients read;
    const auto object = temperatureCoefficientsJson(kIllustrative);
    EXPECT_EQ(readTemperatureCoefficients(object, "k", read), "");
    EXPECT_EQ(read.force, kIllustrative.force);
    EXPECT_EQ(read.burningRate, kIllustrative.burningRate);
    EXPECT_EQ(read.reference, 20);
    EXPECT_FALSE(object.contains("lowest"));  // the default range is not written

    struct Case { const char* json; const char* message; };
    const Case cases[] = {
        {R"({"force": 0.0003})", "k.burningRate is missing"},
        {R"({"force": 0.0003, "burningRate": "fast"})", "k.burningRate is not a number"},
        {R"({"force": 0.0003, "burningRate": 0.001, "refrence": 21})", "k: unknown key \"refrence\""},
        {R"({"force": 0.0003, "burningRate": 0.001, "lowest": 30})",
         "k: Reference Temperature 21 \u00b0C outside the range 30 \u00b0C to 80 \u00b0C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(readTemperatureCoefficients(nlohmann::json::parse(c.json), "k", read), c.message);
}

}  // namespace
}  // namespace kalvex
