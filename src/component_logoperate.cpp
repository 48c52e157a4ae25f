#include "component_logoperate.h"

#include "appresources.h"
#include "messagebox.h"
#include "userpointdata.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QSlider>

namespace {

const char kPlayIcon[] = ":/resource/playback/playCircle.png";
const char kPauseIcon[] = ":/resource/playback/pauseCircle.png";

QLabel *fixedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    return label;
}

} // namespace

Component_LogOperate::Component_LogOperate(QWidget *parent) : QToolBar(parent)
{
    init_app_resources();
    if (objectName().isEmpty())
        setObjectName("Component_LogOperate");
    resize(323, 27);
    setWindowTitle(tr("Form"));

    connect(addAction(QIcon(":/resource/playback/first.png"), tr("first")), &QAction::triggered,
            this, &Component_LogOperate::sig_actionFirst);
    connect(addAction(QIcon(":/resource/playback/previous.png"), tr("previous")),
            &QAction::triggered, this, &Component_LogOperate::sig_actionPrevious);
    actionPlay_ = addAction(QIcon(kPlayIcon), tr("play"));
    connect(actionPlay_, &QAction::triggered, this, &Component_LogOperate::recv_actionPlayCircle);
    connect(addAction(QIcon(":/resource/playback/next.png"), tr("next")), &QAction::triggered,
            this, &Component_LogOperate::sig_actionNext);
    connect(addAction(QIcon(":/resource/playback/last.png"), tr("last")), &QAction::triggered,
            this, &Component_LogOperate::sig_actionLast);
    QAction *record = addAction(QIcon(":/resource/playback/videoCamera.png"), tr("videoCamera"));
    record->setCheckable(true);
    actionRecord_ = record;
    connect(record, &QAction::triggered, this, &Component_LogOperate::sig_actionVideoCamera);
    connect(addAction(QIcon(":/resource/playback/camera.png"), tr("camera")), &QAction::triggered,
            this, &Component_LogOperate::sig_actionCamera);
    addSeparator();

    QLabel *progress = fixedLabel(tr("progress"), this);
    addWidget(progress);
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setRange(0, 100);
    slider_->setToolTip(tr("playback progress value"));
    slider_->setAccessibleName(slider_->toolTip());
    slider_->setMaximumWidth(200);
    slider_->setStyleSheet(
        "QSlider::groove:horizontal {height: 8px; background: rgb(200, 200, 200); border-radius: 4px;}"
        "QSlider::handle:horizontal {width: 14px; background: rgb(207, 207, 207);"
        " border: 1px solid #5c5c5c; margin: -4px 0; border-radius: 8px;}"
        "QSlider::handle:horizontal:hover {width: 12px; border: 2px solid #5c5c5c;}");
    progress->setBuddy(slider_);
    connect(slider_, &QSlider::sliderMoved, this, &Component_LogOperate::recv_sliderMoved);
    addWidget(slider_);
    lb_percent_ = fixedLabel("%0", this);
    addWidget(lb_percent_);
    addSeparator();

    QLabel *rate = fixedLabel(tr("play rate"), this);
    addWidget(rate);
    cb_rate_ = new QComboBox(this);
    cb_rate_->addItems({"1", "2", "5", "10", "20"});
    cb_rate_->setCurrentText("10");
    rate->setBuddy(cb_rate_);
    addWidget(cb_rate_);
    addSeparator();

    addWidget(fixedLabel(tr("play source path:"), this));
    lb_sourcepath_ = new QLabel(this);
    addWidget(lb_sourcepath_);
    addSeparator();

    connect(&timer_, &QTimer::timeout, this, &Component_LogOperate::recv_timeout);
}

Component_LogOperate::~Component_LogOperate()
{
    timer_.stop();
}

void Component_LogOperate::setPlayIcon(bool playing)
{
    actionPlay_->setIcon(QIcon(playing ? kPauseIcon : kPlayIcon));
}

void Component_LogOperate::showPercent(uint32_t percent)
{
    lb_percent_->setText(QString("%1%").arg(percent));
}

void Component_LogOperate::setPlayState(bool run)
{
    playing_ = run;
    setPlayIcon(run);
    if (!run) {
        timer_.stop();
        return;
    }
    const int rate = cb_rate_->currentText().toInt();
    timer_.setInterval(1000 / (rate > 0 ? rate : 1));
    timer_.start();
    // Unsigned on purpose: with no frame the run never restarts from 0.
    if (playIndex_ >= frameCount - 1) {
        playIndex_ = 0;
        showPercent(0);
        emit sig_playprogress(0);
    }
}

void Component_LogOperate::endRun()
{
    timer_.stop();
    playing_ = false;
    setPlayIcon(false);
    showPercent(100);
    slider_->setValue(100);
    emit sig_data(MSG_LOG, tr("Playback is end!").toLocal8Bit());
}

void Component_LogOperate::recv_timeout()
{
    if (frameCount == 0)
        return;
    if (playIndex_ < frameCount - 1) {
        const uint32_t p = uint32_t(uint64_t(playIndex_) * 100 / (frameCount - 1));
        slider_->setValue(int(p));
        showPercent(p);
        emit sig_playprogress(int(playIndex_));
        ++playIndex_;
        return;
    }
    endRun();
}

bool Component_LogOperate::canPlay()
{
    if (frameCount == 0) {
        show_warning(this, tr("error"), tr("No data can be playeback!"));
        return false;
    }
    if (lb_sourcepath_->text().isEmpty()) {
        show_warning(this, tr("error"), tr("Not available Valid data sources can be playeback!"));
        return false;
    }
    return true;
}

void Component_LogOperate::recv_actionPlayCircle(bool)
{
    if (!liveSource && !canPlay())
        return;
    playing_ = !playing_;
    setPlayState(playing_);
    emit sig_actionPlayCircle(playing_);
}

void Component_LogOperate::recv_sliderMoved(int postion)
{
    if (!canPlay())
        return;
    const uint32_t pos = uint32_t(postion);
    playIndex_ = uint32_t(uint64_t(pos) * (frameCount - 1) / 100);
    showPercent(pos);
    emit sig_playprogress(int(playIndex_));
}

void Component_LogOperate::setPlayIndex(uint32_t index)
{
    const uint32_t last = frameCount - 1;
    if (index >= last) {
        playIndex_ = last;
        endRun();
        return;
    }
    playIndex_ = index;
    const uint32_t p = uint32_t(uint64_t(index) * 100 / last);
    slider_->setValue(int(p));
    showPercent(p);
}

void Component_LogOperate::resetPlay()
{
    playIndex_ = 0;
    showPercent(0);
    frameCount = 0;
    liveSource = false;
    slider_->setValue(0);
    playing_ = false;
    setPlayIcon(false);
    timer_.stop();
}

void Component_LogOperate::setSourcePath(QString path)
{
    lb_sourcepath_->setText(path);
}
