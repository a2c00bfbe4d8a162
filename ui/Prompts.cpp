#include "ui/Prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kalvex::ui {
namespace {

class DialogPrompts final : public Prompts {
public:
    void showMessage(QWidget* parent, const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, parent);
        box.exec();
    }

    QString openFileName(QWidget* parent, const OpenFileRequest& request) override
    {
        return QFileDialog::getOpenFileName(parent, request.caption, request.folder, request.filter);
    }

    QString saveFileName(QWidget* parent, const SaveFileRequest& request) override
    {
        QFileDialog dialog(parent, request.caption, request.proposedPath, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(request.defaultExtension);
        dialog.setOption(QFileDialog::ReadOnly, false);
        dialog.selectFile(request.proposedPath);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().first();
    }
};

Prompts*& installed()
{
    static Prompts* current = nullptr;
    return current;
}

}  // namespace

Prompts& prompts()
{
    static DialogPrompts real;
    Prompts* current = installed();
    return current ? *current : real;
}

void setPrompts(Prompts* replacement)
{
    installed() = replacement;
}

}  // namespace kalvex::ui
