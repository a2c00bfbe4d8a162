#pragma once
#include <string>
#include <string_view>

namespace kalvex {

// The text of a named input field ("Edit1" ... "Edit49"), as typed by the user.
// The main window, the batch runner and the tests each provide one.
class FieldSource {
public:
    virtual ~FieldSource() = default;
    virtual std::string fieldText(std::string_view control) const = 0;
};

}  // namespace kalvex
