#include "batch/BatchHost.h"

namespace kalvex::batch {

std::string BatchHost::fieldText(std::string_view control) const
{
    const auto it = fields_.find(control);
    return it == fields_.end() ? std::string() : it->second;  // an empty field, as in the window
}

void BatchHost::setFieldText(std::string_view control, const std::string& text)
{
    fields_.insert_or_assign(std::string(control), text);
}

}  // namespace kalvex::batch
