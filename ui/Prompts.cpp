#include "ui/Prompts.h"

#include <QFileDialog>
#include <QInputDialog>
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

    int imageWidth(QWidget* parent, int smallest, int proposed) override
    {
        constexpr int kLargestWidth = 16000;  // px; a poster, and well within QImage's limits
        bool accepted = false;
        const int width = QInputDialog::getInt(parent, QStringLiteral("Plot Image"),
                                               QStringLiteral("Width of the image [px]:"), proposed,
                                               smallest, kLargestWidth, 100, &accepted);
        return accepted ? width : 0;
    }

    CloseAnswer askBeforeClosing(QWidget* parent, const QString& text, bool canSave) override
    {
        const QMessageBox::StandardButtons buttons =
            canSave ? QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel
                    : QMessageBox::Discard | QMessageBox::Cancel;
        switch (QMessageBox::question(parent, QStringLiteral("Close"), text, buttons, QMessageBox::Cancel)) {
        case QMessageBox::Save: return CloseAnswer::save;
        case QMessageBox::Discard: return CloseAnswer::discard;
        default: return CloseAnswer::keepOpen;
        }
    }
};

Prompts*& installed()
{
    static Prompts* current = nullptr;
    return current;
}

}  // namespace

int Prompts::imageWidth(QWidget*, int, int)
{
    return 0;
}

CloseAnswer Prompts::askBeforeClosing(QWidget*, const QString&, bool)
{
    return CloseAnswer::discard;
}

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
