#include "ui/Command.h"

#include "core/results/Errors.h"
#include "ui/Prompts.h"

#include <QString>

#include <exception>

namespace kalvex::ui {

void runCommand(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const RunAbandoned&) {
        // the silent end of a command
    } catch (const std::exception& e) {
        prompts().showMessage(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        prompts().showMessage(parent, QString());
    }
}

void endCommandWithMessage(QWidget* parent, const QString& text)
{
    prompts().showMessage(parent, text);
    throw RunAbandoned();
}

}  // namespace kalvex::ui
