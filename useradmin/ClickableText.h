#pragma once

// A static text that reports a click of the left mouse button, as the class
// library's static text does through its OnClick event. A disabled text
// gets no clicks.

#include <QLabel>

class ClickableText : public QLabel {
    Q_OBJECT
public:
    explicit ClickableText(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
