#pragma once
#include <QAbstractButton>
#include <QLineEdit>
#include <QString>
#include <QTest>

namespace kalvex::ui::test_support {

// Replaces a field's text the way a user does: empty it, then type.
inline void typeInto(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

inline void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Shows a window and waits until it can take input.
template <typename Window>
void showAndWait(Window& window)
{
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
}

}  // namespace kalvex::ui::test_support
