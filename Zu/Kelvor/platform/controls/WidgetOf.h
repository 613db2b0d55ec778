#pragma once
#include <QWidget>
#include <stdexcept>

// The Qt widget under a control, of the kind the control needs; a template that
// puts another kind of widget under an id is a programming error.
template <class T>
T& WidgetOf(QWidget* widget)
{
    auto* typed = qobject_cast<T*>(widget);
    if (typed == nullptr)
        throw std::invalid_argument("control bound to a widget of another kind");
    return *typed;
}
