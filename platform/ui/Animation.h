#pragma once

// The animation control with the system's file-copy clip, drawn by hand: a
// sheet flies from one folder to the other, one frame at every tick.

#include <QTimer>
#include <QWidget>

namespace platform {

class Animation : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClipFrames = 20;

    explicit Animation(QWidget *parent = nullptr);

    void play();
    void stop();
    bool isPlaying() const { return timer_.isActive(); }

public slots:
    void stepFrame();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer timer_;
    int frame_ = 0; // 0 .. ClipFrames - 1
};

} // namespace platform
