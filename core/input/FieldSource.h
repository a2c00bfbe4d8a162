#pragma once
#include <string>
#include <string_view>

namespace kalvex {

// The text of the input field that holds a parameter of the input set ("A", "C", "dt": the names
// of kInputFields, as studies and scripts use them), as typed by the user. Only the window knows
// which of its controls that is. The main window and the tests each provide one.
class FieldSource {
public:
    virtual ~FieldSource() = default;
    virtual std::string fieldText(std::string_view parameter) const = 0;
};

}  // namespace kalvex
