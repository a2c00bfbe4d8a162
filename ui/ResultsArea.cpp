#include "ui/ResultsArea.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kalvex::ui {
namespace {

QFont fixedPitchFont()
{
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

constexpr QSize kClearButtonSize{44, 20};
constexpr int kCornerGap = 2;  // between the button and the scroll bars

}  // namespace

ResultsArea::ResultsArea(QWidget* parent)
    : QWidget(parent), memo_(new QPlainTextEdit(this)), clear_(new QPushButton("Clear", this))
{
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setFont(fixedPitchFont());
    memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    clear_->setObjectName(QStringLiteral("Button2"));
    clear_->setAutoDefault(false);
    clear_->setFixedSize(kClearButtonSize);
    clear_->raise();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memo_);
}

void ResultsArea::appendLine(const QString& line)
{
    QTextDocument* text = memo_->document();
    QTextCursor end(text);
    end.movePosition(QTextCursor::End);
    const bool endsOpenLine = !text->isEmpty() && !text->lastBlock().text().isEmpty();
    end.insertText(endsOpenLine ? QChar('\n') + line + QChar('\n') : line + QChar('\n'));
    memo_->verticalScrollBar()->setValue(memo_->verticalScrollBar()->maximum());
}

void ResultsArea::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // inside the text, just clear of both scroll bars
    const int right = event->size().width() - memo_->verticalScrollBar()->sizeHint().width();
    const int bottom = event->size().height() - memo_->horizontalScrollBar()->sizeHint().height();
    clear_->move(right - kClearButtonSize.width() - kCornerGap,
                 bottom - kClearButtonSize.height() - kCornerGap);
}

}  // namespace kalvex::ui
