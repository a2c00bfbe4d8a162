#pragma once
#include <QString>

class QWidget;

namespace kalvex::ui {

struct OpenFileRequest {
    QString caption;
    QString folder;  // where the dialog starts
    QString filter;  // Qt filter syntax; empty for all files
};

struct SaveFileRequest {
    QString caption;
    QString proposedPath;      // folder and proposed file name
    QString filter;            // Qt filter syntax
    QString defaultExtension;  // appended when the user types a name without one
};

// What the user wants done with unsaved work before a window closes.
enum class CloseAnswer { save, discard, keepOpen };

// Modal messages and file dialogs of every window go through this seam, so that tests
// can answer them without a modal loop.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // The chosen file, or an empty text when the user cancels.
    virtual QString openFileName(QWidget* parent, const OpenFileRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const SaveFileRequest& request) = 0;
    // The width in pixels of an exported plot image larger than the window's plot (at least
    // `smallest`); 0 when the user cancels. Prompts that do not ask cancel.
    virtual int imageWidth(QWidget* parent, int smallest, int proposed);
    // Asks before a window with unsaved work closes; offers Save only when `canSave`.
    // Prompts that do not ask let the window close.
    virtual CloseAnswer askBeforeClosing(QWidget* parent, const QString& text, bool canSave);
};

// The prompts in use: the real dialogs unless a test installed its own.
Prompts& prompts();
// Installs replacement prompts (not owned); nullptr restores the real dialogs.
void setPrompts(Prompts* replacement);

}  // namespace kalvex::ui
