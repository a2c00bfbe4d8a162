#pragma once
#include "ui/Prompts.h"

#include <QString>
#include <QStringList>

namespace kalvex::ui::test_support {

// Prompts that answer without a modal loop and remember every message shown.
class RecordingPrompts final : public Prompts {
public:
    RecordingPrompts() { setPrompts(this); }
    ~RecordingPrompts() override { setPrompts(nullptr); }
    RecordingPrompts(const RecordingPrompts&) = delete;
    RecordingPrompts& operator=(const RecordingPrompts&) = delete;

    void showMessage(QWidget*, const QString& text) override { messages << text; }
    QString openFileName(QWidget*, const OpenFileRequest&) override { return {}; }
    QString saveFileName(QWidget*, const SaveFileRequest&) override { return {}; }

    QStringList messages;
};

}  // namespace kalvex::ui::test_support
