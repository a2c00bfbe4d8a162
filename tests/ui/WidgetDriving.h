#pragma once
#include <QAbstractButton>
#include <QLineEdit>
#include <QString>
#include <QTest>

#include <stdexcept>
#include <string>

namespace kalvex::ui::test_support {

// Replaces a field's text the way a user does: empty it, then type.
inline void typeInto(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// A window's control by the name the program's design gives it; a missing one is a test fault.
template <typename Widget>
Widget* child(const QWidget& window, const char* name)
{
    auto* widget = window.findChild<Widget*>(QString::fromUtf8(name));
    if (!widget)
        throw std::runtime_error(std::string("no control named ") + name);
    return widget;
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
