#pragma once

// The radio button under the shared library's own class name.

#include <QRadioButton>

class TARadioButton : public QRadioButton {
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;
};
