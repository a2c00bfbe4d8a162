#include "core/input/RuleField.h"

#include <string>

namespace kalvex {

namespace {

// The grain-size rules name the size by its letter, not by the field's caption.
const InputField* grainSizeField(std::string_view message)
{
    constexpr std::string_view kSize = "Size of Grain ";
    constexpr std::string_view kPerforation = "Diameter of Perforation P ";
    if (message.starts_with(kPerforation))
        return findInputField("P");
    if (!message.starts_with(kSize))
        return nullptr;
    const std::string_view rest = message.substr(kSize.size());
    return findInputField(rest.substr(0, rest.find(' ')));
}

}  // namespace

const InputField* fieldOfRuleMessage(std::string_view message)
{
    // The first component of a mixed charge is what the fields show.
    constexpr std::string_view kFirstComponent = "Component 1: ";
    if (message.starts_with(kFirstComponent))
        message.remove_prefix(kFirstComponent.size());
    while (message.starts_with(' '))
        message.remove_prefix(1);
    if (const InputField* size = grainSizeField(message))
        return size;
    // Every other rule begins with its field's caption; the longest one that fits is the
    // field ("Travel of Projectile at xe0" before "... at xe").
    const InputField* best = nullptr;
    for (const InputField& field : kInputFields) {
        const std::string caption = std::string(field.caption) + ' ';
        if (message.starts_with(caption) && (!best || std::string_view(field.caption).size() >
                                                          std::string_view(best->caption).size()))
            best = &field;
    }
    return best;
}

}  // namespace kalvex
