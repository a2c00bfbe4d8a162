// The texts that Load writes into the input fields, in the units each field shows.

#include "core/input/InputFields.h"
#include "core/format/NumberFormat.h"
#include "report/Report.h"

namespace kalvex::report {

std::vector<std::pair<std::string, std::string>> fieldTextsFor(const BallisticInput& input,
                                                                char decimalSeparator)
{
    std::vector<std::pair<std::string, std::string>> texts;
    texts.reserve(kInputFields.size());
    for (const InputField& field : kInputFields) {
        texts.emplace_back(field.name,
                           formatGeneral(input.*field.quantity * field.toShown, decimalSeparator));
    }
    return texts;
}

}  // namespace kalvex::report
