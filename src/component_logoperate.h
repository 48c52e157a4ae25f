#pragma once
// The playback toolbar: first, previous, play/pause, next and last over the frame cache, the
// record and snapshot actions, a progress slider with its percentage, the play rate and the
// source being played. Its timer steps through the cached frames; the main window draws
// whichever frame it names through sig_playprogress. Live sessions use the play action as the
// pause switch of the display.

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <QToolBar>

#include <cstdint>

class QAction;
class QComboBox;
class QLabel;
class QSlider;

class Component_LogOperate : public QToolBar {
    Q_OBJECT

public:
    explicit Component_LogOperate(QWidget *parent = nullptr);
    ~Component_LogOperate() override;

    // Starts (timer interval 1000 / rate ms, from frame 0 when at the end) or stops playing.
    void setPlayState(bool run);
    // Moves to frame `index`; at or past the last frame the run ends.
    void setPlayIndex(uint32_t index);
    // Back to the idle state: no frames, index 0, not playing, not live.
    void resetPlay();
    void setSourcePath(QString path);

    bool isPlaying() const { return playing_; }
    uint32_t playIndex() const { return playIndex_; }
    const QTimer &playTimer() const { return timer_; }
    // The checkable record action: the window unchecks it when a recording cannot start.
    QAction *recordAction() const { return actionRecord_; }

    // Written by the main window: frames in its cache.
    uint32_t frameCount = 0;
    // Set by a live session: the play action then only pauses and resumes the display.
    bool liveSource = false;

signals:
    void sig_actionFirst(bool flag);
    void sig_actionPrevious(bool flag);
    void sig_actionPlayCircle(bool flag);
    void sig_actionNext(bool flag);
    void sig_actionLast(bool flag);
    void sig_actionVideoCamera(bool flag);
    void sig_actionCamera(bool flag);
    void sig_sliderMoved(int postion);
    void sig_editingFinished();
    void sig_playprogress(int index);
    void sig_data(int type, QByteArray info);

public slots:
    void recv_sliderMoved(int postion);
    void recv_actionPlayCircle(bool flag);
    void recv_timeout();

private:
    // False, after the warning, when there is nothing to play.
    bool canPlay();
    void showPercent(uint32_t percent);
    void setPlayIcon(bool playing);
    void endRun();

    QAction *actionPlay_ = nullptr;
    QAction *actionRecord_ = nullptr;
    bool playing_ = false;
    QLabel *lb_percent_ = nullptr;
    QSlider *slider_ = nullptr;
    QComboBox *cb_rate_ = nullptr;
    QLabel *lb_sourcepath_ = nullptr;
    QTimer timer_;
    uint32_t playIndex_ = 0;
};
