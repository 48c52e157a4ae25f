// The playback toolbar: its timer steps through the cached frames, the slider and the index
// move through them by hand, and the play action refuses an empty source unless live.

#include "component_logoperate.h"
#include "modalrecorder.h"
#include "userpointdata.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QTimer>

namespace {

struct Bar {
    Component_LogOperate tb;
    QSignalSpy progress{&tb, &Component_LogOperate::sig_playprogress};
    QSignalSpy data{&tb, &Component_LogOperate::sig_data};

    QSlider *slider() const { return tb.findChild<QSlider *>(); }
    QComboBox *rate() const { return tb.findChild<QComboBox *>(); }
    const QTimer *timer() const { return &tb.playTimer(); }
    QString percent() const
    {
        for (const QLabel *l : tb.findChildren<QLabel *>())
            if (l->text().startsWith('%') || l->text().endsWith('%'))
                return l->text();
        return "<none>";
    }
    QAction *action(const QString &text) const
    {
        for (QAction *a : tb.actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }
    QList<int> progressIndexes()
    {
        QList<int> out;
        for (const auto &args : progress)
            out << args.at(0).toInt();
        progress.clear();
        return out;
    }
    QStringList messages()
    {
        QStringList out;
        for (const auto &args : data)
            out << QString("%1 %2").arg(args.at(0).toInt()).arg(QString::fromLocal8Bit(args.at(1).toByteArray()));
        data.clear();
        return out;
    }
    bool showsPause() const
    {
        const QImage shown = action("play")->icon().pixmap(24).toImage();
        return shown == QIcon(":/resource/playback/pauseCircle.png").pixmap(24).toImage();
    }
};

} // namespace

TEST(ComponentLogOperate, LayoutAndInitialState)
{
    Bar b;
    EXPECT_EQ(b.tb.objectName(), "Component_LogOperate");
    EXPECT_EQ(b.tb.windowTitle(), "Form");
    QStringList texts;
    for (const QAction *a : b.tb.actions())
        if (!a->isSeparator() && !a->text().isEmpty())
            texts << a->text();
    EXPECT_EQ(texts.mid(0, 7), QStringList({"first", "previous", "play", "next", "last", "videoCamera", "camera"}));
    EXPECT_TRUE(b.action("videoCamera")->isCheckable());
    EXPECT_EQ(b.slider()->minimum(), 0);
    EXPECT_EQ(b.slider()->maximum(), 100);
    EXPECT_EQ(b.slider()->maximumWidth(), 200);
    EXPECT_EQ(b.slider()->toolTip(), "playback progress value");
    EXPECT_EQ(b.percent(), "%0");
    QStringList rates;
    for (int i = 0; i < b.rate()->count(); ++i)
        rates << b.rate()->itemText(i);
    EXPECT_EQ(rates, QStringList({"1", "2", "5", "10", "20"}));
    EXPECT_EQ(b.rate()->currentText(), "10");
    EXPECT_FALSE(b.tb.isPlaying());
    EXPECT_EQ(b.tb.frameCount, 0u);
    EXPECT_FALSE(b.tb.liveSource);
    EXPECT_FALSE(b.action("play")->icon().isNull());
}

TEST(ComponentLogOperate, ActionsReachTheirSignals)
{
    Bar b;
    b.tb.frameCount = 2;
    b.tb.setSourcePath("/data/a.dump");
    const struct {
        const char *action;
        void (Component_LogOperate::*signal)(bool);
    } wiring[] = {
        {"first", &Component_LogOperate::sig_actionFirst},
        {"previous", &Component_LogOperate::sig_actionPrevious},
        {"play", &Component_LogOperate::sig_actionPlayCircle},
        {"next", &Component_LogOperate::sig_actionNext},
        {"last", &Component_LogOperate::sig_actionLast},
        {"videoCamera", &Component_LogOperate::sig_actionVideoCamera},
        {"camera", &Component_LogOperate::sig_actionCamera},
    };
    for (const auto &w : wiring) {
        SCOPED_TRACE(w.action);
        QSignalSpy spy(&b.tb, w.signal);
        b.action(w.action)->trigger();
        EXPECT_EQ(spy.count(), 1);
    }
}

// Eleven frames at rate 10: ticks show frames 0 to 9, the eleventh tick ends the run.
TEST(ComponentLogOperate, TimerStepsThroughTheCache)
{
    Bar b;
    b.tb.setSourcePath("/data/a.dump");
    b.tb.frameCount = 11;
    b.tb.setPlayState(true);
    EXPECT_TRUE(b.tb.isPlaying());
    EXPECT_TRUE(b.showsPause());
    EXPECT_TRUE(b.timer()->isActive());
    EXPECT_EQ(b.timer()->interval(), 100);
    EXPECT_TRUE(b.progressIndexes().isEmpty()) << "index 0 is not at the end";

    QList<int> sliders;
    for (int tick = 0; tick < 10; ++tick) {
        b.tb.recv_timeout();
        sliders << b.slider()->value();
    }
    EXPECT_EQ(b.progressIndexes(), QList<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(sliders, QList<int>({0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_EQ(b.percent(), "90%");
    EXPECT_TRUE(b.messages().isEmpty());

    b.tb.recv_timeout();
    EXPECT_TRUE(b.progressIndexes().isEmpty());
    EXPECT_EQ(b.messages(), QStringList({"22 Playback is end!"}));
    EXPECT_EQ(b.slider()->value(), 100);
    EXPECT_EQ(b.percent(), "100%");
    EXPECT_FALSE(b.tb.isPlaying());
    EXPECT_FALSE(b.showsPause());
    EXPECT_FALSE(b.timer()->isActive());

    // Playing again starts over from frame 0.
    b.tb.setPlayState(true);
    EXPECT_EQ(b.progressIndexes(), QList<int>({0}));
    EXPECT_EQ(b.percent(), "0%");
}

TEST(ComponentLogOperate, OneFrameEndsOnTheFirstTick)
{
    Bar b;
    b.tb.setSourcePath("/data/one.las");
    b.tb.frameCount = 1;
    b.tb.setPlayState(true);
    EXPECT_EQ(b.progressIndexes(), QList<int>({0})) << "frame 0 is shown at once";
    b.tb.recv_timeout();
    EXPECT_EQ(b.messages(), QStringList({"22 Playback is end!"}));
    EXPECT_FALSE(b.tb.isPlaying());

    // Without frames the ticks do nothing.
    Bar empty;
    empty.tb.setPlayState(true);
    empty.tb.recv_timeout();
    EXPECT_TRUE(empty.progressIndexes().isEmpty());
    EXPECT_TRUE(empty.messages().isEmpty());
    EXPECT_TRUE(empty.tb.isPlaying());
}

TEST(ComponentLogOperate, SliderAndIndex)
{
    testsupport::ModalRecorder modal;
    Bar b;
    b.tb.setSourcePath("/data/a.dump");
    b.tb.frameCount = 11;
    // Dragged by the user: sliderMoved comes only while the handle is held.
    b.slider()->setSliderDown(true);
    b.slider()->setSliderPosition(50);
    b.slider()->setSliderDown(false);
    EXPECT_EQ(b.progressIndexes(), QList<int>({5}));
    EXPECT_EQ(b.percent(), "50%");
    EXPECT_EQ(b.tb.playIndex(), 5u);

    b.tb.setPlayIndex(4);
    EXPECT_EQ(b.slider()->value(), 40);
    EXPECT_EQ(b.percent(), "40%");
    EXPECT_TRUE(b.messages().isEmpty());

    b.tb.setPlayState(true);
    b.tb.setPlayIndex(10);
    EXPECT_EQ(b.tb.playIndex(), 10u);
    EXPECT_EQ(b.messages(), QStringList({"22 Playback is end!"}));
    EXPECT_FALSE(b.tb.isPlaying());
    EXPECT_FALSE(b.timer()->isActive());
    EXPECT_EQ(b.slider()->value(), 100);
    EXPECT_TRUE(modal.warnings.empty());
}

TEST(ComponentLogOperate, NothingToPlay)
{
    testsupport::ModalRecorder modal;
    Bar b;
    QSignalSpy play(&b.tb, &Component_LogOperate::sig_actionPlayCircle);
    b.action("play")->trigger();
    b.tb.frameCount = 3;
    b.action("play")->trigger();
    b.tb.recv_sliderMoved(30);
    EXPECT_EQ(modal.warningLines(), QStringList({"error|No data can be playeback!",
                                                 "error|Not available Valid data sources can be playeback!",
                                                 "error|Not available Valid data sources can be playeback!"}));
    EXPECT_EQ(play.count(), 0);
    EXPECT_TRUE(b.progressIndexes().isEmpty());

    // A live session only pauses and resumes: no source needed.
    modal.clear();
    b.tb.resetPlay();
    b.tb.liveSource = true;
    b.action("play")->trigger();
    b.action("play")->trigger();
    EXPECT_TRUE(modal.warnings.empty());
    ASSERT_EQ(play.count(), 2);
    EXPECT_TRUE(play.at(0).at(0).toBool());
    EXPECT_FALSE(play.at(1).at(0).toBool());
}

TEST(ComponentLogOperate, RateCountsAtTheNextStartAndResetClearsAll)
{
    Bar b;
    b.tb.setSourcePath("/data/a.dump");
    b.tb.frameCount = 5;
    b.tb.setPlayState(true);
    b.rate()->setCurrentText("2");
    EXPECT_EQ(b.timer()->interval(), 100) << "a running play keeps its rate";
    b.tb.setPlayState(false);
    EXPECT_FALSE(b.timer()->isActive());
    b.tb.setPlayState(true);
    EXPECT_EQ(b.timer()->interval(), 500);
    b.rate()->setCurrentText("20");
    b.tb.setPlayState(true);
    EXPECT_EQ(b.timer()->interval(), 50);

    b.tb.recv_timeout();
    b.tb.liveSource = true;
    b.tb.resetPlay();
    EXPECT_EQ(b.tb.playIndex(), 0u);
    EXPECT_EQ(b.tb.frameCount, 0u);
    EXPECT_FALSE(b.tb.liveSource);
    EXPECT_FALSE(b.tb.isPlaying());
    EXPECT_FALSE(b.showsPause());
    EXPECT_FALSE(b.timer()->isActive());
    EXPECT_EQ(b.slider()->value(), 0);
    EXPECT_EQ(b.percent(), "0%");
}
