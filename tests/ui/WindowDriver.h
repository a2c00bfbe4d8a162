#pragma once
// Drives the real widgets of the main window in tests: recorded prompts instead of modal
// boxes, clicks on buttons and radio items, input cases from the test data.
#include "ui/Prompts.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace kalvex::ui {
class Tvstup;
}

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace kalvex::test {

// Answers every prompt without a modal loop and remembers what was asked.
class RecordingPrompts : public ui::Prompts {
public:
    void showMessage(QWidget*, const QString& text) override { messages.push_back(text); }
    QString openFileName(QWidget*, const ui::OpenFileRequest& request) override
    {
        openRequests.push_back(request);
        return openAnswer;
    }
    QString saveFileName(QWidget*, const ui::SaveFileRequest& request) override
    {
        saveRequests.push_back(request);
        return saveAnswer;
    }
    int imageWidth(QWidget*, int, int) override { return imageWidthAnswer; }

    std::vector<QString> messages;
    std::vector<ui::OpenFileRequest> openRequests;
    std::vector<ui::SaveFileRequest> saveRequests;
    QString openAnswer;  // empty: the user cancels
    QString saveAnswer;
    int imageWidthAnswer = 0;  // 0: the user cancels
};

// An input case: the field texts as typed and the options.
struct InputCase {
    int grainType = 2;
    bool showEnergy = false;
    bool showGrains = true;
    bool heatTransfer = true;
    std::map<std::string, QString> fields;
};

InputCase loadCase(const QString& name);    // tests/data/<name>.case.txt
QString expectedMemo(const QString& name);  // tests/data/<name>.memo.txt, as Memo1 shows it
QString testDataPath(const QString& relative);
// The bytes of a file (empty when it cannot be read), and a file made of given bytes.
QByteArray bytesOf(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);

QLineEdit* field(const ui::Tvstup& window, const char* name);
QAbstractButton* button(const ui::Tvstup& window, const char* name);
void click(QAbstractButton* button);
// Clicks inside the part of a radio item that reacts to the mouse.
void clickRadio(QRadioButton* radio);
void showInputPage(ui::Tvstup& window, int page);
// Types the case into the window as a user would (page by page), with its grain type.
void enterCase(ui::Tvstup& window, const InputCase& input);
QString memoText(const ui::Tvstup& window);

// A shown main window with recorded prompts, fresh for each test.
struct WindowUnderTest {
    WindowUnderTest();
    ~WindowUnderTest();
    RecordingPrompts prompts;
    std::unique_ptr<ui::Tvstup> window;
};

// The main window after a completed run of the rifle case, with a folder for its files.
struct SavedRun : WindowUnderTest {
    SavedRun();
    ui::Tvstup& w() { return *window; }
    QString save(const QString& path);  // Save, answering the dialog with `path`
    void load(const QString& path);     // Load, answering the dialog with `path`
    QTemporaryDir folder;
};

}  // namespace kalvex::test
