#include "ui/FieldRegistry.h"

#include "ui/FieldNumbers.h"

#include <QLineEdit>

#include <stdexcept>

namespace kalvex::ui {

QLineEdit* FieldRegistry::create(const std::string& control, const QString& startText,
                                 QWidget* parent)
{
    auto* edit = new QLineEdit(startText, parent);
    edit->setObjectName(QString::fromStdString(control));
    fields_[control] = edit;
    return edit;
}

QLineEdit* FieldRegistry::field(std::string_view control) const
{
    const auto found = fields_.find(control);
    return found == fields_.end() ? nullptr : found->second;
}

QLineEdit* FieldRegistry::require(std::string_view control) const
{
    QLineEdit* edit = field(control);
    if (!edit)
        throw std::out_of_range("no input field named " + std::string(control));
    return edit;
}

std::string FieldRegistry::text(std::string_view control) const
{
    return require(control)->text().toStdString();
}

void FieldRegistry::setText(std::string_view control, const std::string& text)
{
    showText(*require(control), QString::fromStdString(text));
}

std::vector<QLineEdit*> FieldRegistry::all() const
{
    std::vector<QLineEdit*> edits;
    for (const auto& entry : fields_)
        edits.push_back(entry.second);
    return edits;
}

}  // namespace kalvex::ui
